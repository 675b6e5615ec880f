// The update run's rules without any window: a recorder stands where fl_maj
// stands in the program. This executable links no Widgets.

#include "donnees/base_programmes.h"
#include "maj/maj_programmes.h"
#include "maj/recup.h"
#include "noyau/contexte.h"
#include "outils/horloge_fixe.h"

#include "outils/banc_pilote.h"
#include "outils/base_essai.h"
#include "outils/dossier_essai.h"
#include "outils/faux_services.h"
#include "outils/serveur_http.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;
using maj::fin_maj;

Q_DECLARE_METATYPE(fin_maj)

namespace {

// Records every write as "1:v", "2:v" or the text, in order.
class suivi_enregistre final : public maj::suivi_maj {
public:
    void ecrire_progres1(float v) override { traces << QStringLiteral("1:%1").arg(double(v)); }
    void ecrire_progres2(float v) override {
        valeur2 = v;
        traces << QStringLiteral("2:%1").arg(double(v));
    }
    float valeur_progres2() const override { return valeur2; }
    void ecrire_cours(const QString& t) override {
        traces << t;
        if (sur_cours)
            sur_cours(t);
    }
    void sur_interruption(std::function<void()> f) override { interrompre = std::move(f); }

    QStringList traces;
    float valeur2 = 0;
    std::function<void()> interrompre;
    std::function<void(const QString&)> sur_cours;
};

QByteArray page(const QString& titre) {
    return "<html><body><table>\r\n<tr><td>06h00</td><td>" + titre.toUtf8() +
           "</td></tr>\r\n<tr><td>20h50</td><td>Soir</td></tr>\r\n</table></body></html>\r\n";
}

// "num:title" for each stored row, in stored order.
QStringList titres(const QString& base) {
    QStringList res;
    for (const auto& l : lire_liste(base))
        res << QStringLiteral("%1:%2").arg(l.chaine).arg(l.programme);
    return res;
}

} // namespace

class test_pilote_maj : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void regles_data();
    void regles();
    void sequence_des_barres();
    void sans_chaine();
    void base_illisible();
};

// pannes: which of the two channels' pages fail ("" none, "2", "3", "23").
// arret: the text on which the user stops the run ("" never).
void test_pilote_maj::regles_data() {
    QTest::addColumn<bool>("en_ligne");
    QTest::addColumn<int>("reponse");
    QTest::addColumn<QString>("pannes");
    QTest::addColumn<QString>("arret");
    QTest::addColumn<fin_maj>("fin");
    QTest::addColumn<QString>("renouvelees"); // the channels whose rows were replaced
    QTest::addColumn<bool>("horodate");       // the `maj` stamp changed
    QTest::addColumn<QString>("etat");
    QTest::addColumn<bool>("maj_annulee");
    QTest::addColumn<int>("raccroche"); // lines hung up (the option is on)

    const QString a_jour = QStringLiteral("Programmes à jour.");
    const QString echec = QStringLiteral("La mise à jour a échoué.");
    const QString hors_ligne = QStringLiteral("Erreur de connection Internet");
    // clang-format off
    QTest::newRow("tout réussi")        << true  << 0 << ""   << ""                    << fin_maj::complete        << "23" << true  << a_jour     << false << 0;
    QTest::newRow("une chaîne en panne")<< true  << 0 << "3"  << ""                    << fin_maj::complete        << "2"  << true  << a_jour     << false << 0;
    QTest::newRow("toutes en panne")    << true  << 0 << "23" << ""                    << fin_maj::echec_chaines   << ""   << false << echec      << false << 0;
    QTest::newRow("hors ligne, non")    << false << 1 << ""   << ""                    << fin_maj::echec_connexion << ""   << false << hors_ligne << true << 0;
    QTest::newRow("hors ligne, rien")   << false << 0 << ""   << ""                    << fin_maj::echec_connexion << ""   << false << hors_ligne << false << 0;
    QTest::newRow("hors ligne, oui")    << false << 2 << ""   << ""                    << fin_maj::complete        << "23" << true  << a_jour     << false << 1;
    // Each channel is written once fetched: the first keeps its new rows, the second its old ones.
    QTest::newRow("arrêt sur la 2e")    << true  << 0 << ""   << "Récupération Deux"   << fin_maj::annulee         << "2"  << false << QString()  << false << 0;
    // A line dialled for the run goes with it, even when the run is stopped.
    QTest::newRow("hors ligne, oui, arrêt") << false << 2 << ""   << "Récupération Deux"   << fin_maj::annulee         << "2"  << false << QString()  << false << 1;
    // clang-format on
}

void test_pilote_maj::regles() {
    QFETCH(bool, en_ligne);
    QFETCH(int, reponse);
    QFETCH(QString, pannes);
    QFETCH(QString, arret);
    QFETCH(fin_maj, fin);
    QFETCH(QString, renouvelees);
    QFETCH(bool, horodate);
    QFETCH(QString, etat);
    QFETCH(bool, maj_annulee);
    QFETCH(int, raccroche);

    banc_pilote banc;
    QVERIFY(banc.pret());
    auto& [d, serveur, h, cx, pas, boites, etat_banc, ctx, guide] = banc;
    cx.en_ligne = en_ligne;
    ctx.options.opt_deconnexion = true;
    banc.remplacer_chaines({{2, QStringLiteral("Une"), QStringLiteral("/2")},
                            {3, QStringLiteral("Deux"), QStringLiteral("/3")}});
    {
        donnees::base_programmes b(d.base());
        b.ajouter_programme({QStringLiteral("Ancien"), date_heure::depuis_date(QDate(2026, 6, 11), 6, 0),
                             date_heure::duree_hm(1, 0), date_heure::depuis_date(QDate(2026, 6, 11), 7, 0)},
                            3);
        b.ecrire_maj(date_heure::depuis_date(QDate(2026, 6, 11), 9, 41));
    }
    for (const QString& n : {QStringLiteral("2"), QStringLiteral("3")}) {
        if (pannes.contains(n))
            serveur.definir(QLatin1Char('/') + n, {500, "text/html", "panne", {}, false, 0});
        else
            serveur.definir_page(QLatin1Char('/') + n, page(QStringLiteral("Titre ") + n));
    }
    const QStringList avant = titres(d.base());
    const auto maj_avant = donnees::base_programmes(d.base()).lire_maj();

    maj::etat_maj etat_run;
    suivi_enregistre suivi;
    suivi.sur_cours = [&](const QString& t) {
        if (!arret.isEmpty() && t == arret) {
            etat_run.arret_demande = true;
            QVERIFY(suivi.interrompre);
            suivi.interrompre();
        }
    };
    int nb_invites = 0;
    maj::branchements br;
    br.etat = &etat_run;
    br.fabrique_recup = [&] {
        auto r = std::make_unique<maj::recuperateur>(h);
        r->definir_delai(10000);
        return r;
    };
    br.demander_connexion = [&] {
        ++nb_invites;
        return maj::reponse(reponse);
    };
    // The status line's sentences as the guide announces them.
    QStringList etats_principal;
    QObject::connect(&guide, &modele::guide::etat_maj_change, &guide, [&] {
        if (etats_principal.isEmpty() || etats_principal.constLast() != guide.texte_etat())
            etats_principal << guide.texte_etat();
    });

    maj::pilote_maj p(ctx, suivi, std::move(br));
    QCOMPARE(p.maj_programmes(), fin);

    // The run lets go of the fetcher whichever way it ends.
    QVERIFY(!suivi.interrompre);
    QCOMPARE(nb_invites, en_ligne ? 0 : 1);
    QCOMPARE(etat_run.maj_annulee, maj_annulee);
    QCOMPARE(cx.nb_deconnexions, raccroche);
    if (!etat.isNull())
        QCOMPARE(guide.texte_etat(), etat);
    QVERIFY(!guide.maj_en_cours());
    const QStringList apres = titres(d.base());
    const auto maj_apres = donnees::base_programmes(d.base()).lire_maj();
    QCOMPARE(maj_apres != maj_avant, horodate);
    // A channel not renewed (failed, or not reached) keeps what it had.
    QStringList attendu;
    if (!renouvelees.contains(QLatin1Char('3')))
        attendu << QStringLiteral("3:Ancien");
    for (const QString& n : {QStringLiteral("2"), QStringLiteral("3")})
        if (renouvelees.contains(n))
            attendu << n + QStringLiteral(":Titre ") + n << n + QStringLiteral(":Soir");
    QCOMPARE(apres, attendu);
    QCOMPARE(suivi.traces.contains(QStringLiteral("ECHEC Deux")), pannes.contains(QLatin1Char('3')));
    // Each sentence the run wrote was announced, its last one included.
    QStringList dites{QStringLiteral("Mise à jour en cours..."), QStringLiteral("Connection à Internet")};
    if (!etat.isNull() && !dites.contains(etat))
        dites << etat;
    QCOMPARE(etats_principal, dites);
}

// Two channels, both fine: every write of the run, in order.
void test_pilote_maj::sequence_des_barres() {
    banc_pilote banc;
    QVERIFY(banc.pret());
    auto& [d, serveur, h, cx, pas, boites, etat_banc, ctx, guide] = banc;
    banc.remplacer_chaines({{2, QStringLiteral("Une"), QStringLiteral("/2")},
                            {3, QStringLiteral("Deux"), QStringLiteral("/3")}});
    serveur.definir_page(QStringLiteral("/2"), page(QStringLiteral("A")));
    serveur.definir_page(QStringLiteral("/3"), page(QStringLiteral("B")));

    suivi_enregistre suivi;
    maj::pilote_maj p(ctx, suivi, {});
    QCOMPARE(p.maj_programmes(), fin_maj::complete);
    const QStringList attendu{QStringLiteral("1:0"),
                              QStringLiteral("2:0"),
                              QStringLiteral("Vidage de la base."),
                              QStringLiteral("1:100"),
                              QStringLiteral("2:5"),
                              QStringLiteral("1:0"),
                              QStringLiteral("1:100"),
                              QStringLiteral("2:10"),
                              QStringLiteral("1:0"),
                              QStringLiteral("Récupération Une"),
                              QStringLiteral("1:80"),
                              QStringLiteral("1:100"),
                              QStringLiteral("2:55"),
                              QStringLiteral("1:0"),
                              QStringLiteral("Récupération Deux"),
                              QStringLiteral("1:80"),
                              QStringLiteral("1:100"),
                              QStringLiteral("2:100"),
                              QStringLiteral("2:100")};
    QCOMPARE(suivi.traces, attendu);
    QCOMPARE(pas.nb, 8);
}

// A file that is not a database: the run throws, and nobody is left to interrupt.
// No channel chosen: nothing to fetch, so no line is tested, dialled, asked for or hung up.
void test_pilote_maj::sans_chaine() {
    banc_pilote banc;
    QVERIFY(banc.pret());
    banc.remplacer_chaines({});
    banc.cx.en_ligne = false;
    banc.ctx.options.opt_connexion = true;
    banc.ctx.options.opt_deconnexion = true;
    int nb_invites = 0;
    maj::etat_maj etat_run;
    maj::branchements br;
    br.etat = &etat_run;
    br.demander_connexion = [&] {
        ++nb_invites;
        return maj::reponse::oui;
    };
    suivi_enregistre suivi;
    maj::pilote_maj p(banc.ctx, suivi, std::move(br));
    QCOMPARE(p.maj_programmes(), fin_maj::complete);
    QCOMPARE(nb_invites, 0);
    QCOMPARE(banc.cx.nb_tests, 0);
    QCOMPARE(banc.cx.nb_connexions, 0);
    QCOMPARE(banc.cx.nb_deconnexions, 0);
    QCOMPARE(banc.guide.texte_etat(), QStringLiteral("Programmes à jour."));
}

void test_pilote_maj::base_illisible() {
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("programmes.mdb")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'z'));
    f.close();
    horloge_fixe h(QDateTime(QDate(2026, 6, 12), QTime(14, 0)));
    fausse_connexion cx;
    rythme_nul pas;
    contexte ctx;
    modele::guide guide(ctx);
    ctx.guide = &guide;
    ctx.dossier_appli = dir.path();
    ctx.horloge_ = &h;
    ctx.connexion = &cx;
    ctx.pas = &pas;
    suivi_enregistre suivi;
    maj::pilote_maj p(ctx, suivi, {});
    QSignalSpy programmes(&guide, &modele::guide::programmes_changes);
    QVERIFY_THROWS_EXCEPTION(donnees::erreur_base, p.maj_programmes());
    // Broken, the run has ended all the same for those who listen.
    QVERIFY(!guide.maj_en_cours());
    QCOMPARE(programmes.size(), 1);
    QVERIFY(!suivi.interrompre);
    QCOMPARE(suivi.traces.last(), QStringLiteral("Vidage de la base."));
}

QTEST_GUILESS_MAIN(test_pilote_maj)
#include "test_pilote_maj.moc"
