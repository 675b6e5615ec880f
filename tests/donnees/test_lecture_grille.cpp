#include "donnees/lecture_details.h"
#include "donnees/lecture_grille.h"
#include "donnees/semaine.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"

#include <QTest>

using namespace zapo;
using namespace zapo::donnees;

namespace {

date_heure a(int jour, int h, int m) {
    return date_heure::depuis_date(QDate(2026, 12, 7).addDays(jour), h, m);
}

fiche_programme prog(const char* titre, date_heure debut, int minutes, const char* categories = "",
                     bool rediffusion = false) {
    const date_heure d = date_heure::duree_hm(0, minutes);
    fiche_programme p{QString::fromUtf8(titre), debut, d, debut + d};
    p.details.categories = separer(QString::fromUtf8(categories));
    p.details.rediffusion = rediffusion;
    return p;
}

} // namespace

class test_lecture_grille : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void periode_data() {
        QTest::addColumn<qint64>("debut");
        QTest::addColumn<qint64>("fin");
        QTest::addColumn<QStringList>("attendus");
        // `liste` wins for channel 1 with the week's marks; channel 2 has no week.
        QTest::newRow("soir") << qint64(a(0, 20, 30).secondes()) << qint64(a(0, 21, 0).secondes())
                              << QStringList{"1 Journal Journal 0", "1 Le Film Film\nTéléfilm 1"};
        QTest::newRow("après liste") << qint64(a(1, 0, 0).secondes()) << qint64(a(2, 0, 0).secondes())
                                     << QStringList{"1 Matin Série 0", "1 Nuit  0"};
        QTest::newRow("sans semaine") << qint64(a(0, 18, 0).secondes()) << qint64(a(0, 19, 30).secondes())
                                      << QStringList{"2 Docu Documentaire 0"};
        QTest::newRow("fin exclue") << qint64(a(0, 19, 0).secondes()) << qint64(a(0, 20, 0).secondes())
                                    << QStringList{};
    }
    void periode() {
        QFETCH(qint64, debut);
        QFETCH(qint64, fin);
        QFETCH(QStringList, attendus);
        essais::dossier_essai d;
        {
            base_programmes b(d.base());
            b.ajouter_chaine({1, QStringLiteral("Un"), QStringLiteral("http://127.0.0.1/1"), 1});
            b.ajouter_chaine({2, QStringLiteral("Deux"), QStringLiteral("http://127.0.0.1/2"), 2});
            creer_semaine(b);
            const std::vector liste1{prog("Journal", a(0, 20, 0), 40), prog("Le Film", a(0, 20, 50), 110)};
            b.remplacer_programmes(1, liste1);
            remplacer_semaine(b, 1,
                              std::vector{prog("Journal", a(0, 20, 0), 40, "Journal"),
                                          prog("Le Film", a(0, 20, 50), 110, "Film\nTéléfilm", true),
                                          prog("Nuit", a(0, 22, 40), 200),
                                          prog("Matin", a(1, 2, 0), 60, "Série")});
            const std::vector liste2{prog("Docu", a(0, 18, 30), 30, "Documentaire"),
                                     prog("Sans fin", a(0, 19, 0), 30)};
            b.remplacer_programmes(2, liste2);
            remplacer_details(b, 2, liste2);
        }
        // A row without an end is never on.
        essais::executer_sql(d.base(), "UPDATE liste SET hfin = NULL WHERE programme = 'Sans fin'");
        base_programmes b(d.base(), base_programmes::ouverture::lecture_seule);
        QStringList lus;
        parcourir_periode(b, date_heure::depuis_secondes(debut), date_heure::depuis_secondes(fin),
                          [&](const programme_semaine& p) {
                              lus << QStringLiteral("%1 %2 %3 %4")
                                         .arg(p.chaine)
                                         .arg(p.titre, p.details.categories.join(u'\n'))
                                         .arg(int(p.details.rediffusion));
                          });
        lus.sort();
        QCOMPARE(lus, attendus);
    }
};

QTEST_APPLESS_MAIN(test_lecture_grille)
#include "test_lecture_grille.moc"
