#pragma once

#include <QByteArray>
#include <QIODevice>

// Where the terminal commands write when it is not a file they replace.
namespace zapo::terminal {

// A file descriptor written as it is: standard output, a pipe, a FIFO, a
// device. A failed write keeps the system's reason, in French, as the error
// string; nothing is written after it.
class sortie_fd : public QIODevice {
public:
    // `fd` is closed at the end when `proprietaire`.
    explicit sortie_fd(int fd, bool proprietaire = false);
    ~sortie_fd() override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* octets, qint64 n) override;

private:
    int fd_;
    bool proprietaire_;
    bool echec_ = false;
};

// Gathers the many small writes of a document into large ones for `cible`.
class tampon_sortie : public QIODevice {
public:
    explicit tampon_sortie(QIODevice& cible);
    bool isSequential() const override { return true; }
    // Hands on what is gathered; false when `cible` failed (errorString() says why).
    bool vider();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* octets, qint64 n) override;

private:
    QIODevice& cible_;
    QByteArray tampon_;
    bool echec_ = false;
};

} // namespace zapo::terminal
