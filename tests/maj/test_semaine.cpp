// The week: read from a feed with `liste`'s rows as its beginning, kept in a
// table of its own, replaced with the rows, kept when a fetch fails, bounded,
// dropped with its channel; an older file upgraded when opened.
#include "donnees/base_rappels.h"
#include "donnees/lecture_details.h"
#include "donnees/semaine.h"
#include "maj/maj_programmes.h"
#include "maj/recup.h"
#include "noyau/xmltv.h"

#include "outils/banc_pilote.h"
#include "outils/flux_semaine.h"

#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

const QDateTime& midi = midi_semaine;

QByteArray programme(QDate j, int h, int mi, const QByteArray& titre, const QByteArray& corps = {},
                     const QByteArray& chaine = "A.fr") {
    return programme_flux(j, h, mi, titre, corps, chaine);
}

QByteArray flux(const QByteArray& programmes) {
    return flux_ab(programmes);
}

date_heure dh(int jour, int h, int mi = 0) {
    return date_heure::depuis_date(midi.date().addDays(jour), h, mi);
}

// What the week holds for one channel, as "title@day+hh:mm".
QStringList semaine_de(const QString& base, int chaine) {
    donnees::base_programmes b(base);
    QStringList r;
    donnees::parcourir_semaine(b, false, [&](const donnees::programme_semaine& p) {
        if (p.chaine == chaine)
            r << p.titre;
    });
    return r;
}

qint64 lignes(const QString& base, const char* sql) {
    base_brute b(base);
    donnees::requete r(b.poignee(), sql, base);
    r.pas();
    return r.entier(0);
}

} // namespace

class test_semaine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lecture_data();
    void lecture();
    void bornes();
    void remplacee_gardee_effacee();
    void base_ancienne();
    void rappel_au_quatrieme_jour();
};

void test_semaine::lecture_data() {
    QTest::addColumn<QByteArray>("programmes");
    QTest::addColumn<QStringList>("semaine");
    QTest::addColumn<int>("dans_liste");
    QStringList huit;
    for (int k = 0; k < 8; ++k)
        huit << QStringLiteral("J%1 matin").arg(k) << QStringLiteral("J%1 soir").arg(k);
    // Today from 00:00 and seven days more; `liste` to 10:00 tomorrow.
    QTest::newRow("dix jours") << dix_jours() << huit << 3;
    QTest::newRow("rien après demain")
        << programme(midi.date(), 20, 45, "Ce soir") << QStringList{QStringLiteral("Ce soir")} << 1;
    QTest::newRow("tout après demain 10:00") << programme(midi.date().addDays(3), 20, 45, "Vendredi")
                                             << QStringList{QStringLiteral("Vendredi")} << 0;
}

void test_semaine::lecture() {
    QFETCH(QByteArray, programmes);
    QFETCH(QStringList, semaine);
    QFETCH(int, dans_liste);
    const lecture_xmltv l = lire_xmltv(flux(programmes), date_heure::depuis_qdatetime(midi));
    QVERIFY2(l.ok, qPrintable(l.erreur));
    const auto& s = l.semaine.value(QStringLiteral("A.fr"));
    const auto& liste = l.programmes.value(QStringLiteral("A.fr"));
    QCOMPARE(titres(s), semaine);
    // `liste` is the week's beginning, ends included.
    QCOMPARE(int(liste.size()), dans_liste);
    for (size_t i = 0; i < liste.size(); ++i)
        QCOMPARE(liste[i], s[i]);
    for (size_t i = 0; i + 1 < s.size(); ++i)
        QCOMPARE(s[i].hfin, s[i + 1].hdeb);
}

void test_semaine::bornes() {
    // 2,000 programmes of five minutes from 00:00: 1,500 kept, the 1,501st bounds the last.
    QByteArray p;
    for (int i = 0; i < 2000; ++i) {
        const QDateTime t = QDateTime(midi.date(), QTime(0, 0)).addSecs(i * 300);
        p += programme(t.date(), t.time().hour(), t.time().minute(), QByteArray::number(i));
    }
    // Texts beyond their caps on a later day, on another channel.
    p += programme(midi.date().addDays(6), 21, 0, QByteArray(titre_max + 100, 't'),
                   "<desc>" + QByteArray(description_max * 3, 'd') + "</desc><star-rating><value>" +
                       QByteArray(nom_max * 2, '9') + "</value></star-rating>",
                   "B.fr");
    const lecture_xmltv l = lire_xmltv(flux(p), date_heure::depuis_qdatetime(midi));
    QVERIFY2(l.ok, qPrintable(l.erreur));
    const auto& a = l.semaine.value(QStringLiteral("A.fr"));
    QCOMPARE(a.size(), size_t(max_programmes_semaine));
    QCOMPARE(l.programmes.value(QStringLiteral("A.fr")).size(), size_t(100));
    QCOMPARE(a.back().programme, QString::number(max_programmes_semaine - 1));
    QCOMPARE(a.back().duree, date_heure::duree_hm(0, 5));
    const auto& b = l.semaine.value(QStringLiteral("B.fr"));
    QCOMPARE(b.size(), size_t(1));
    QCOMPARE(b[0].programme.size(), titre_max);
    QCOMPARE(b[0].details.description.size(), description_max);
    QVERIFY(b[0].details.etoiles.isEmpty());
    QVERIFY(l.programmes.value(QStringLiteral("B.fr")).empty());

    // The table holds no more than that, whatever a source gives.
    dossier_essai d;
    QVERIFY(d.valide());
    donnees::base_programmes base(d.base());
    std::vector<fiche_programme> trop(a.begin(), a.end());
    trop.insert(trop.end(), a.begin(), a.begin() + 10);
    donnees::remplacer_semaine(base, 1, trop);
    QCOMPARE(lignes(d.base(), "SELECT count(*) FROM semaine"), qint64(max_programmes_semaine));
}

void test_semaine::remplacee_gardee_effacee() {
    banc_pilote banc(midi);
    QVERIFY(banc.pret());
    banc.cx.en_ligne = true;
    banc.remplacer_chaines({{2, QStringLiteral("A"), QStringLiteral("/a#A.fr"), 1},
                            {3, QStringLiteral("B"), QStringLiteral("/b#B.fr"), 2},
                            {4, QStringLiteral("C"), QStringLiteral("/page"), 3}});
    banc.serveur.definir_page(QStringLiteral("/a"), flux(dix_jours("A.fr", " un")));
    banc.serveur.definir_page(QStringLiteral("/b"), flux(dix_jours("B.fr", " un")));
    banc.serveur.definir_page(QStringLiteral("/page"),
                              "<html><body><table>\r\n<tr><td>20h50</td><td>Film de page</td></tr>\r\n"
                              "<tr><td>22h30</td><td>Fin de page</td></tr>\r\n</table></body></html>\r\n");
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    const QString base = banc.d.base();
    const QStringList a = semaine_de(base, 2);
    QCOMPARE(a.size(), 16);
    QCOMPARE(a.front(), QStringLiteral("J0 matin un"));
    QCOMPARE(a.back(), QStringLiteral("J7 soir un"));
    // A schedule page gives what it gives: its rows are its week.
    QCOMPARE(semaine_de(base, 4),
             (QStringList{QStringLiteral("Film de page"), QStringLiteral("Fin de page")}));
    // Next day: A's week is replaced, B's fetch fails and B keeps its own.
    banc.h.regler(midi.addDays(1));
    banc.serveur.definir_page(QStringLiteral("/a"), flux(dix_jours("A.fr", " deux")));
    banc.serveur.definir(QStringLiteral("/b"), {500, "text/html", "panne", {}, false, 0});
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    const QStringList a2 = semaine_de(base, 2);
    QCOMPARE(a2.size(), 16);
    QCOMPARE(a2.front(), QStringLiteral("J1 matin deux"));
    QCOMPARE(a2.back(), QStringLiteral("J8 soir deux"));
    QCOMPARE(semaine_de(base, 3), a);

    // Gone with its channel, and with the channels no longer chosen.
    donnees::base_programmes(base).effacer_chaine(2);
    QCOMPARE(lignes(base, "SELECT count(*) FROM semaine WHERE chaine = 2"), qint64(0));
    executer_sql(base, "DELETE FROM chaines WHERE num_chaine = 3");
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    QCOMPARE(lignes(base, "SELECT count(*) FROM semaine WHERE chaine = 3"), qint64(0));
    QCOMPARE(lignes(base, "SELECT count(*) FROM semaine WHERE chaine = 4"), qint64(2));
}

void test_semaine::base_ancienne() {
    dossier_essai d;
    QVERIFY(d.valide());
    // A file of an older version: details without the marks, a reminder, no week.
    executer_sql(d.base(),
                 "CREATE TABLE details_programmes (chaine INTEGER NOT NULL, hdeb INTEGER NOT NULL, "
                 "sous_titre TEXT, description TEXT, categories TEXT, episode_ns TEXT, episode_ecran TEXT, "
                 "annee TEXT, realisateur TEXT, acteurs TEXT, classement TEXT, PRIMARY KEY (chaine, hdeb))");
    const qint64 debut = dh(0, 20, 45).secondes();
    const QByteArray sql = "INSERT INTO details_programmes (chaine, hdeb, description) VALUES (1, " +
                           QByteArray::number(debut) + ", 'Gardée')";
    executer_sql(d.base(), sql.constData());
    const QByteArray ligne = "INSERT INTO liste (hdeb, hfin, programme, chaine, duree) VALUES (" +
                             QByteArray::number(dh(0, 20, 45).en_jours(), 'g', 17) + ", " +
                             QByteArray::number(dh(0, 22, 0).en_jours(), 'g', 17) + ", 'Ancien', 1, " +
                             QByteArray::number(date_heure::duree_hm(1, 15).en_jours(), 'g', 17) + ")";
    executer_sql(d.base(), ligne.constData());
    const qint64 chaines = lignes(d.base(), "SELECT count(*) FROM chaines");
    {
        donnees::base_programmes b(d.base());
        b.verifier_structure();
        QVERIFY(b.a_table("semaine"));
        QVERIFY(donnees::a_colonne(b, "details_programmes", "etoiles"));
        const auto p = donnees::lire_programme_semaine(b, 1, dh(0, 20, 45));
        QVERIFY(p);
        QCOMPARE(p->titre, QStringLiteral("Ancien"));
        QCOMPARE(p->details.description, QStringLiteral("Gardée"));
        QVERIFY(!p->details.rediffusion);
    }
    QCOMPARE(lignes(d.base(), "SELECT count(*) FROM liste"), qint64(1));
    QCOMPARE(lignes(d.base(), "SELECT count(*) FROM chaines"), chaines);
}

// A reminder set on Saturday's evening follows it across two runs, and a
// favourite word finds a programme of Sunday.
void test_semaine::rappel_au_quatrieme_jour() {
    banc_pilote banc(midi);
    QVERIFY(banc.pret());
    banc.cx.en_ligne = true;
    banc.remplacer_chaines({{2, QStringLiteral("A"), QStringLiteral("/a#A.fr"), 1}});
    const auto servir = [&](int minute_match) {
        QByteArray p = dix_jours();
        p += programme(midi.date().addDays(4), 22, minute_match, "Le Match");
        p += programme(midi.date().addDays(5), 15, 0, "Grand Prix de Monaco");
        banc.serveur.definir_page(QStringLiteral("/a"), flux(p));
    };
    const auto rappels = [&] {
        donnees::base_programmes b(banc.d.base());
        QStringList r;
        for (const rappel& x : donnees::lire_rappels(b))
            r << QStringLiteral("%1 %2 %3").arg(x.titre, x.debut.format_jjmmaaaa(), x.debut.format_hhnn());
        return r;
    };
    servir(0);
    QCOMPARE(banc.lancer(), maj::fin_maj::complete);
    {
        donnees::base_programmes b(banc.d.base());
        const auto p = donnees::lire_programme_semaine(b, 2, dh(4, 22, 0));
        QVERIFY(p);
        donnees::ajouter_rappel(b, rappel{0, 2, p->hdeb, p->hfin, p->titre});
        donnees::ecrire_mots_favoris(b, {QStringLiteral("grand prix")});
        donnees::ajuster_rappels(b, date_heure::depuis_qdatetime(midi));
    }
    QCOMPARE(rappels(), (QStringList{"Le Match 12/12/2026 22:00", "Grand Prix de Monaco 13/12/2026 15:00"}));
    // Two later runs: the match moves by ten minutes, then by ten more.
    for (int k = 1; k <= 2; ++k) {
        banc.h.regler(midi.addDays(k));
        servir(10 * k);
        QCOMPARE(banc.lancer(), maj::fin_maj::complete);
        donnees::base_programmes b(banc.d.base());
        donnees::ajuster_rappels(b, date_heure::depuis_qdatetime(midi.addDays(k)));
    }
    QCOMPARE(rappels(), (QStringList{"Le Match 12/12/2026 22:20", "Grand Prix de Monaco 13/12/2026 15:00"}));
}

QTEST_GUILESS_MAIN(test_semaine)
#include "test_semaine.moc"
