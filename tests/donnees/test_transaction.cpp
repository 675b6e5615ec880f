// The one write guard: what it keeps, what it rolls back, and what it says when
// the base refuses (busy, read-only, a constraint checked at the commit).
#include "donnees/transaction.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"

#include <sqlite3.h>

#include <QTest>

#include <optional>

using namespace zapo;
using namespace zapo::donnees;

namespace {

enum class cas {
    validee,
    abandonnee,
    lecture_seule,
    contrainte_differee,
    occupee_a_la_validation,
    occupee_au_debut,
    imbriquee,
    validee_deux_fois,
};

// A child row points at a parent checked only at the commit.
constexpr const char* tables_essai = "CREATE TABLE parent (id INTEGER PRIMARY KEY);"
                                     "CREATE TABLE essai (id INTEGER PRIMARY KEY, parent INTEGER "
                                     "REFERENCES parent (id) DEFERRABLE INITIALLY DEFERRED);"
                                     "INSERT INTO parent (id) VALUES (1);";

void ajouter(base_programmes& b, int id, int parent = 1) {
    requete(b.connexion(), "INSERT INTO essai (id, parent) VALUES (?1, ?2)", b.chemin())
        .lier(1, id)
        .lier(2, parent)
        .executer();
}

qint64 nb_essai(const QString& chemin) {
    essais::base_brute b(chemin);
    requete r(b.poignee(), "SELECT count(*) FROM essai", chemin);
    r.pas();
    return r.entier(0);
}

} // namespace

Q_DECLARE_METATYPE(cas)

class test_transaction : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ecriture_data() {
        QTest::addColumn<cas>("c");
        QTest::addColumn<qint64>("lignes");  // rows of `essai` afterwards
        QTest::addColumn<QString>("erreur"); // part of the French message; empty: none
        QTest::newRow("validée : gardée") << cas::validee << qint64(2) << QString();
        QTest::newRow("détruite sans validation : annulée") << cas::abandonnee << qint64(0) << QString();
        QTest::newRow("base en lecture seule : annulée")
            << cas::lecture_seule << qint64(0) << QStringLiteral("lecture seule");
        QTest::newRow("validation refusée (contrainte) : annulée")
            << cas::contrainte_differee << qint64(0) << QStringLiteral("FOREIGN KEY");
        QTest::newRow("validation refusée (lecteur) : annulée")
            << cas::occupee_a_la_validation << qint64(0) << QStringLiteral("occupée");
        QTest::newRow("base occupée au début : rien d'écrit")
            << cas::occupee_au_debut << qint64(0) << QStringLiteral("occupée");
        QTest::newRow("imbriquée : refusée, la première gardée")
            << cas::imbriquee << qint64(2) << QStringLiteral("déjà ouverte");
        QTest::newRow("validée deux fois : la seconde refusée")
            << cas::validee_deux_fois << qint64(2) << QStringLiteral("déjà close");
    }
    void ecriture() {
        QFETCH(cas, c);
        QFETCH(qint64, lignes);
        QFETCH(QString, erreur);
        essais::dossier_essai d;
        QVERIFY(d.valide());
        essais::executer_script(d.base(), tables_essai);
        if (c == cas::occupee_a_la_validation)
            // A rollback journal: a reader then holds the commit back, which WAL never does.
            essais::executer_sql(d.base(), "PRAGMA journal_mode=DELETE");

        const auto ouverture = c == cas::lecture_seule             ? base_programmes::ouverture::lecture_seule
                               : c == cas::occupee_a_la_validation ? base_programmes::ouverture::verification
                                                                   : base_programmes::ouverture::normale;
        base_programmes b(d.base(), ouverture);
        sqlite3_busy_timeout(b.connexion(), 0); // a busy base answers at once
        if (c == cas::contrainte_differee)
            requete(b.connexion(), "PRAGMA foreign_keys = ON", b.chemin()).executer();
        std::optional<essais::base_brute> autre;
        if (c == cas::occupee_a_la_validation || c == cas::occupee_au_debut) {
            autre.emplace(d.base());
            sqlite3_busy_timeout(autre->poignee(), 0);
            autre->executer(c == cas::occupee_au_debut ? "BEGIN IMMEDIATE" : "BEGIN");
            if (c == cas::occupee_a_la_validation)
                QVERIFY(!requete(autre->poignee(), "SELECT * FROM essai", d.base()).pas());
        }

        QString message;
        try {
            transaction t(b);
            ajouter(b, 1);
            ajouter(b, 2, c == cas::contrainte_differee ? 99 : 1);
            if (c == cas::imbriquee) {
                try {
                    transaction seconde(b);
                    QFAIL("une seconde transaction a été ouverte");
                } catch (const erreur_base& e) {
                    message = e.message();
                }
            }
            if (c != cas::abandonnee)
                t.valider();
            if (c == cas::validee_deux_fois)
                t.valider();
        } catch (const erreur_base& e) {
            message = e.message();
        }
        if (erreur.isEmpty())
            QVERIFY2(message.isEmpty(), qPrintable(message));
        else
            QVERIFY2(message.contains(erreur), qPrintable(message));
        // Whatever happened, the connection is left with no transaction open.
        QVERIFY(sqlite3_get_autocommit(b.connexion()));
        autre.reset();
        QCOMPARE(nb_essai(d.base()), lignes);
    }

    // A read guard: several statements see one state of the file, whatever
    // another connection commits meanwhile.
    void lecture() {
        essais::dossier_essai d;
        QVERIFY(d.valide());
        essais::executer_script(d.base(), tables_essai);
        base_programmes b(d.base());
        const auto compter = [&] {
            requete r(b.connexion(), "SELECT count(*) FROM essai", b.chemin());
            r.pas();
            return r.entier(0);
        };
        {
            transaction t(b, transaction::genre::lecture);
            QCOMPARE(compter(), qint64(0));
            essais::executer_sql(d.base(), "INSERT INTO essai (id, parent) VALUES (1, 1)");
            QCOMPARE(compter(), qint64(0));
            t.valider();
        }
        QCOMPARE(compter(), qint64(1));
        QVERIFY(sqlite3_get_autocommit(b.connexion()));
    }
};

QTEST_GUILESS_MAIN(test_transaction)
#include "test_transaction.moc"
