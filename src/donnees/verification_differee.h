#pragma once

#include <QString>

#include <exception>
#include <mutex>
#include <thread>

namespace zapo::donnees {

// At start, the walk of every page of `liste` (the table that grows with the
// programmes kept) runs on a thread of its own while the main window is built.
// Until its verdict is in, opening any base in this process waits for it, and
// fails with the refusal when the file is refused: a damaged file is neither
// read nor changed, as when the whole check ran first.
class verification_differee {
public:
    explicit verification_differee(const QString& chemin);
    // Waits for the walk.
    ~verification_differee();
    verification_differee(const verification_differee&) = delete;
    verification_differee& operator=(const verification_differee&) = delete;

    // Returns once the walk is over; throws its failure (erreur_base naming the
    // file) as often as asked.
    void attendre();
    // What base_programmes calls before it opens a file.
    static void attendre_en_cours();

private:
    std::once_flag fin_;
    std::thread fil_;
    std::exception_ptr echec_;
};

} // namespace zapo::donnees
