#pragma once

#include <QString>
#include <QTemporaryDir>

namespace zapo::essais {

// A temporary folder holding a fresh copy of the delivered database.
class dossier_essai {
public:
    dossier_essai();
    QString chemin() const { return dir_.path(); }
    QString base() const { return dir_.path() + QStringLiteral("/programmes.mdb"); }
    bool valide() const { return ok_; }

private:
    QTemporaryDir dir_;
    bool ok_ = false;
};

QString chemin_base_livree();

} // namespace zapo::essais
