// Programme details: read from a feed, kept beside the rows, replaced with them.
#include "donnees/base_programmes.h"
#include "donnees/lecture_details.h"
#include "donnees/transaction.h"
#include "maj/maj_programmes.h"
#include "maj/recup.h"
#include "noyau/contexte.h"
#include "noyau/horloge.h"
#include "noyau/xmltv.h"

#include "outils/banc_pilote.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/serveur_http.h"

#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

const QDateTime midi(QDate(2026, 6, 12), QTime(12, 0));

QByteArray flux(const QByteArray& programmes, const QByteArray& entete = {}) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + entete +
           "<tv><channel id=\"A.fr\"><display-name>A</display-name></channel>" + programmes + "</tv>";
}

QByteArray programme(const QByteArray& debut, const QByteArray& corps, const QByteArray& chaine = "A.fr") {
    return "<programme start=\"20260612" + debut + "00 +0200\" channel=\"" + chaine +
           "\"><title>Titre</title>" + corps + "</programme>";
}

// The fields of some details as "name=value" lines, the empty ones left out.
QStringList champs(const details_programme& d) {
    QStringList r;
    const auto ajouter = [&r](const char* n, const QString& v) {
        if (!v.isEmpty())
            r << QString::fromLatin1(n) + QLatin1Char('=') + v;
    };
    ajouter("sous_titre", d.sous_titre);
    ajouter("description", d.description);
    ajouter("categories", d.categories.join(QLatin1Char('|')));
    ajouter("episode_ns", d.episode_ns);
    ajouter("episode_ecran", d.episode_ecran);
    ajouter("annee", d.annee);
    ajouter("realisateur", d.realisateur);
    ajouter("acteurs", d.acteurs.join(QLatin1Char('|')));
    ajouter("classement", d.classement);
    ajouter("etoiles", d.etoiles);
    ajouter("diffusion", texte_diffusion(d));
    return r;
}

fiche_programme fiche(int h, const QString& titre, const QString& description) {
    fiche_programme p;
    p.programme = titre;
    p.hdeb = date_heure::depuis_date(QDate(2026, 6, 12), h, 0);
    p.duree = date_heure::duree_hm(1, 0);
    p.hfin = p.hdeb + p.duree;
    p.details.description = description;
    return p;
}

} // namespace

class test_details : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lecture_data();
    void lecture();
    void base_sans_table();
    void remplacement_en_transaction();
    void avec_une_maj();
};

void test_details::lecture_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QStringList>("attendus");
    QTest::newRow("tout")
        << flux(programme(
               "2045",
               "<sub-title lang=\"fr\">Le retour</sub-title><desc lang=\"fr\">Une enquête.</desc>"
               "<credits><director>Jeanne Martin</director><actor>Ann</actor><actor role=\"x\">Bob</actor>"
               "<actor>Cid</actor><actor>Dan</actor></credits><date>19991231</date>"
               "<category lang=\"fr\">Série</category><category lang=\"fr\">Policier</category>"
               "<episode-num system=\"xmltv_ns\">1 . 4 . 0/12</episode-num>"
               "<episode-num system=\"onscreen\">S02E05</episode-num>"
               "<rating system=\"CSA\"><value>-12</value></rating>"))
        << QStringList{QStringLiteral("sous_titre=Le retour"),
                       QStringLiteral("description=Une enquête."),
                       QStringLiteral("categories=Série|Policier"),
                       QStringLiteral("episode_ns=1.4.0/12"),
                       QStringLiteral("episode_ecran=S02E05"),
                       QStringLiteral("annee=1999"),
                       QStringLiteral("realisateur=Jeanne Martin"),
                       QStringLiteral("acteurs=Ann|Bob|Cid"),
                       QStringLiteral("classement=-12")};
    QTest::newRow("rien") << flux(programme("2045", "")) << QStringList{};
    QTest::newRow("rediffusion")
        << flux(programme("2045", "<previously-shown start=\"20250101\"/><star-rating><value>3/5</value>"
                                  "</star-rating>"))
        << QStringList{QStringLiteral("etoiles=3/5"), QStringLiteral("diffusion=Rediffusion")};
    QTest::newRow("première") << flux(programme("2045", "<premiere>Inédit</premiere>"))
                              << QStringList{QStringLiteral("diffusion=Inédit")};
    QTest::newRow("nouveau, étoiles illisibles")
        << flux(programme("2045", "<new/><star-rating><value>***</value></star-rating>"))
        << QStringList{QStringLiteral("diffusion=Inédit")};
    // French first, whatever the order; else the first given.
    QTest::newRow("deux langues")
        << flux(programme("2045",
                          "<desc lang=\"en\">A case.</desc><desc lang=\"fr\">Une enquête.</desc>"
                          "<sub-title lang=\"en\">Back</sub-title><sub-title lang=\"de\">Zurück</sub-title>"
                          "<category lang=\"en\">Drama</category><category lang=\"fr\">Drame</category>"))
        << QStringList{QStringLiteral("sous_titre=Back"), QStringLiteral("description=Une enquête."),
                       QStringLiteral("categories=Drame")};
    QTest::newRow("entités") << flux(programme("2045",
                                               "<desc>Tom &amp; Jerry &lt;3 &#233;t&#xE9; &auteur;</desc>"),
                                     "<!DOCTYPE tv [<!ENTITY auteur \"Zoé\">]>")
                             << QStringList{QStringLiteral("description=Tom & Jerry <3 été Zoé")};
    QTest::newRow("balises dans un texte")
        << flux(programme("2045", "<desc>Un <b>grand <i>beau</i></b> soir</desc><category>Film</category>"))
        << QStringList{QStringLiteral("description=Un grand beau soir"), QStringLiteral("categories=Film")};
    QTest::newRow("autres systèmes")
        << flux(programme("2045", "<rating system=\"MPAA\"><value>R</value></rating>"
                                  "<episode-num system=\"dd_progid\">EP1</episode-num><date>vers 1990</date>"
                                  "<director>Hors crédits</director>"))
        << QStringList{QStringLiteral("episode_ecran=EP1")};
}

void test_details::lecture() {
    QFETCH(QByteArray, document);
    QFETCH(QStringList, attendus);
    const lecture_xmltv l = lire_xmltv(document, date_heure::depuis_qdatetime(midi));
    QVERIFY2(l.ok, qPrintable(l.erreur));
    const auto& p = l.programmes.value(QStringLiteral("A.fr"));
    QCOMPARE(p.size(), size_t(1));
    QCOMPARE(p[0].programme, QStringLiteral("Titre"));
    QCOMPARE(champs(p[0].details), attendus);
}

void test_details::base_sans_table() {
    // Hostile sizes first: what is kept stays within its caps.
    QByteArray corps = "<desc>" + QByteArray(100000, 'd') + "</desc>";
    for (int i = 0; i < 50; ++i)
        corps += "<category>C" + QByteArray::number(i) + "</category>";
    corps += "<category>" + QByteArray(5000, 'c') + "</category><credits>";
    for (int i = 0; i < 50; ++i)
        corps += "<actor>" + QByteArray(5000, 'a') + "</actor>";
    corps += "</credits>";
    const lecture_xmltv l = lire_xmltv(flux(programme("2045", corps)), date_heure::depuis_qdatetime(midi));
    QVERIFY2(l.ok, qPrintable(l.erreur));
    const details_programme d = l.programmes.value(QStringLiteral("A.fr")).at(0).details;
    QCOMPARE(d.description.size(), description_max);
    QCOMPARE(d.categories.size(), categories_max);
    QCOMPARE(d.acteurs.size(), acteurs_max);
    QCOMPARE(d.acteurs[0].size(), nom_max);

    // An older file has no table: it reads as no details and stays as it is
    // while nothing has details; the start-up check accepts it either way.
    dossier_essai dos;
    QVERIFY(dos.valide());
    donnees::base_programmes b(dos.base());
    QVERIFY(!b.a_table("details_programmes"));
    b.verifier_structure();
    QVERIFY(donnees::lire_details_chaine(b, 1).isEmpty());
    QVERIFY(!donnees::lire_details(b, 1, fiche(20, {}, {}).hdeb));
    const std::vector<fiche_programme> sans{fiche(20, QStringLiteral("Page"), {})};
    b.remplacer_programmes(1, sans);
    donnees::remplacer_details(b, 1, sans);
    QVERIFY(!b.a_table("details_programmes"));
    fiche_programme avec = fiche(21, QStringLiteral("Flux"), QStringLiteral("Lu"));
    avec.details = d;
    const std::vector<fiche_programme> v{fiche(20, QStringLiteral("Page"), {}), avec};
    b.remplacer_programmes(1, v);
    donnees::remplacer_details(b, 1, v);
    QVERIFY(b.a_table("details_programmes"));
    b.verifier_structure();
    const auto lus = donnees::lire_details_chaine(b, 1);
    QCOMPARE(lus.size(), 1);
    QCOMPARE(lus.value(avec.hdeb.secondes()), d);
    // Removing the channel takes its details too.
    b.effacer_chaine(1);
    QVERIFY(donnees::lire_details_chaine(b, 1).isEmpty());
}

void test_details::remplacement_en_transaction() {
    dossier_essai dos;
    QVERIFY(dos.valide());
    donnees::base_programmes b(dos.base());
    const std::vector<fiche_programme> anciens{fiche(20, QStringLiteral("A"), QStringLiteral("ancien"))};
    const std::vector<fiche_programme> nouveaux{fiche(21, QStringLiteral("B"), QStringLiteral("nouveau")),
                                                fiche(22, QStringLiteral("C"), {})};
    for (int c : {1, 2}) {
        b.remplacer_programmes(c, anciens);
        donnees::remplacer_details(b, c, anciens);
    }
    const auto descriptions = [&b](int c) {
        QStringList r;
        const auto h = donnees::lire_details_chaine(b, c);
        for (auto it = h.cbegin(); it != h.cend(); ++it)
            r << QStringLiteral("%1:%2")
                     .arg(date_heure::depuis_secondes(it.key()).heure())
                     .arg(it->description);
        r.sort();
        return r;
    };
    // Rolled back: nothing changed.
    {
        donnees::transaction ecriture(b);
        b.remplacer_programmes(1, nouveaux);
        donnees::remplacer_details(b, 1, nouveaux);
    }
    QCOMPARE(descriptions(1), QStringList{QStringLiteral("20:ancien")});
    // Committed: the channel's old details went with its rows; the other channel kept its own.
    {
        donnees::transaction ecriture(b);
        b.remplacer_programmes(1, nouveaux);
        donnees::remplacer_details(b, 1, nouveaux);
        ecriture.valider();
    }
    QCOMPARE(descriptions(1), QStringList{QStringLiteral("21:nouveau")});
    QCOMPARE(descriptions(2), QStringList{QStringLiteral("20:ancien")});
    // Orphans go once their channel is no longer chosen.
    executer_sql(dos.base(), "DELETE FROM chaines");
    donnees::effacer_details_orphelins(b);
    QVERIFY(descriptions(2).isEmpty());
}

void test_details::avec_une_maj() {
    banc_pilote banc(midi);
    QVERIFY(banc.pret());
    auto& [d, serveur, h, cx, pas, boites, etat_banc, ctx, guide] = banc;
    cx.en_ligne = true;
    banc.remplacer_chaines({{2, QStringLiteral("A"), QStringLiteral("/a#A.fr"), 1},
                            {3, QStringLiteral("B"), QStringLiteral("/b#B.fr"), 2}});
    const auto servir = [&](const QString& chemin, const QByteArray& chaine, const QByteArray& desc) {
        serveur.definir_page(chemin, flux(programme("2045", "<desc>" + desc + "</desc>", chaine) +
                                          programme("2200", "", chaine)));
    };
    const auto lancer = [&] { return lancer_pilote(ctx, h); };
    const auto description = [&](int c) {
        donnees::base_programmes b(d.base());
        const auto v = donnees::lire_details_chaine(b, c);
        return v.size() == 1 ? v.cbegin()->description : QStringLiteral("%1 détails").arg(v.size());
    };
    servir(QStringLiteral("/a"), "A.fr", "A un");
    servir(QStringLiteral("/b"), "B.fr", "B un");
    QCOMPARE(lancer(), maj::fin_maj::complete);
    QCOMPARE(description(2), QStringLiteral("A un"));
    QCOMPARE(description(3), QStringLiteral("B un"));
    // The second run: B's feed fails, B keeps its rows and its details.
    servir(QStringLiteral("/a"), "A.fr", "A deux");
    serveur.definir(QStringLiteral("/b"), {500, "text/html", "panne", {}, false, 0});
    QCOMPARE(lancer(), maj::fin_maj::complete);
    QCOMPARE(description(2), QStringLiteral("A deux"));
    QCOMPARE(description(3), QStringLiteral("B un"));
}

QTEST_GUILESS_MAIN(test_details)
#include "test_details.moc"
