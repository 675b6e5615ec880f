// Reminders across real update runs against the local server: favourite words
// add theirs once, a moved programme takes its reminder along, a vanished one
// leaves it where it was.
#include "outils/banc_maj.h"

#include "donnees/base_rappels.h"

#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

date_heure le_12(int h, int m) {
    return date_heure::depuis_date(QDate(2026, 6, 12), h, m);
}

std::vector<rappel> rappels(const banc_maj& b) {
    donnees::base_programmes base(b.base());
    return donnees::lire_rappels(base);
}

const rappel* trouver(const std::vector<rappel>& v, const QString& titre) {
    for (const auto& r : v)
        if (r.titre == titre)
            return &r;
    return nullptr;
}

} // namespace

class test_rappels_maj : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void a_travers_les_maj() {
        banc_maj b;
        auto chaines = trois_chaines();
        for (const auto& c : chaines)
            b.ajouter(c);
        {
            donnees::base_programmes base(b.base());
            donnees::ecrire_mots_favoris(base, {QStringLiteral("FILM"), QStringLiteral("debat")});
        }
        QCOMPARE(b.lancer(), maj::fin_maj::complete);
        auto v = rappels(b);
        QCOMPARE(v.size(), std::size_t(2));
        QVERIFY(trouver(v, QStringLiteral("Film du soir")));
        QVERIFY(trouver(v, QStringLiteral("Débat")));
        {
            // The user sets one by hand and removes a word's.
            donnees::base_programmes base(b.base());
            rappel r;
            r.chaine = 3;
            r.debut = le_12(20, 45);
            r.fin = le_12(23, 59);
            r.titre = QStringLiteral("Série");
            donnees::ajouter_rappel(base, r);
            donnees::retirer_rappel(base, 5, le_12(21, 0));
        }
        // "Série" now starts 20 minutes later; "Film du soir" is gone.
        chaines[0].programmes = {{"06h00", "Réveil"}, {"12h30", "Journal de midi"}, {"20h50", "Magazine"}};
        chaines[1].programmes = {{"06h30", "Matinale"}, {"21h05", "Série"}};
        b.serveur.definir_page(chaines[0].chemin, page_programmes(chaines[0].programmes));
        b.serveur.definir_page(chaines[1].chemin, page_programmes(chaines[1].programmes));
        QCOMPARE(b.lancer(), maj::fin_maj::complete);
        v = rappels(b);
        QCOMPARE(v.size(), std::size_t(3));
        QCOMPARE(trouver(v, QStringLiteral("Série"))->debut, le_12(21, 5));
        QCOMPARE(trouver(v, QStringLiteral("Film du soir"))->debut, le_12(20, 50));
        QVERIFY(trouver(v, QStringLiteral("Débat"))->retire);
    }
};

QTEST_MAIN(test_rappels_maj)
#include "test_rappels_maj.moc"
