// Update runs against a local HTTP server: what is stored, what the window
// shows, the connection step, cancelling, failures.

#include "outils/banc_maj.h"

#include "maj/attendre.h"
#include "outils/base_essai.h"
#include "outils/controles.h"
#include "suivi/fl_connect.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace zapo;
using namespace zapo::essais;
using maj::fin_maj;

Q_DECLARE_METATYPE(zapo::maj::fin_maj)

namespace {

const QString vidage = QStringLiteral("Vidage de la base.");
const QString erreur_connexion = QStringLiteral("Erreur de connection Internet");

// "num:title@dd/mm hh:nn" for each stored row, in stored order.
QStringList lignes_liste(const QString& base) {
    QStringList res;
    for (const auto& l : essais::lire_liste(base))
        res << QStringLiteral("%1:%2@%3 %4")
                   .arg(l.chaine)
                   .arg(l.programme, l.hdeb.date().toString(QStringLiteral("dd/MM")), l.hdeb.format_hhnn());
    return res;
}

// The same for one channel's rows only.
QStringList lignes_de(const QString& base, int num) {
    return lignes_liste(base).filter(QRegularExpression(QStringLiteral("^%1:").arg(num)));
}

QStringList lignes_attendues(const std::vector<chaine_essai>& chaines) {
    QStringList res;
    for (const auto& c : chaines)
        for (const auto& [heure, titre] : c.programmes)
            res << QStringLiteral("%1:%2@12/06 %3").arg(c.num).arg(titre, QString(heure).replace('h', ':'));
    return res;
}

QStringList cours_chaines(const std::vector<chaine_essai>& chaines) {
    QStringList res{vidage};
    for (const auto& c : chaines)
        res << QStringLiteral("Récupération ") + c.nom;
    return res;
}

std::vector<float> progres1_complet(int nb_chaines) {
    std::vector<float> v{0, 100, 0, 100};
    for (int i = 0; i < nb_chaines; ++i)
        v.insert(v.end(), {0, 80, 100});
    return v;
}

} // namespace

class test_maj_programmes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void connexion_data();
    void connexion();
    void deroule_data();
    void deroule();
    void annulation_data();
    void annulation();
    void erreur_data();
    void erreur();
    void lecture_pendant_run();
    void fenetre();
    void attente_reelle();
};

// invite: the prompt's answer (0 none, 1 no, 2 yes), or -1 for the real prompt left to run out.
void test_maj_programmes::connexion_data() {
    QTest::addColumn<bool>("en_ligne");
    QTest::addColumn<bool>("numerotation");
    QTest::addColumn<bool>("opt_connexion");
    QTest::addColumn<bool>("opt_deconnexion");
    QTest::addColumn<bool>("fenetre_chargee");
    QTest::addColumn<int>("invite");
    QTest::addColumn<fin_maj>("fin");
    QTest::addColumn<int>("nb_invites");
    QTest::addColumn<int>("nb_connexions");
    QTest::addColumn<int>("nb_deconnexions");
    QTest::addColumn<bool>("maj_annulee");

    const auto ok = fin_maj::complete;
    const auto ko = fin_maj::echec_connexion;
    // clang-format off
    QTest::newRow("en ligne, jamais raccroché")        << true  << true  << false << true  << true  << 0  << ok << 0 << 0 << 0 << false;
    QTest::newRow("numérote seul puis raccroche")      << false << true  << true  << true  << true  << 0  << ok << 0 << 1 << 1 << false;
    QTest::newRow("numérote seul, garde la ligne")     << false << true  << true  << false << true  << 0  << ok << 0 << 1 << 0 << false;
    QTest::newRow("numérotation ratée")                << false << false << true  << true  << false << 0  << ko << 0 << 1 << 0 << false;
    QTest::newRow("invite OUI puis raccroche")         << false << true  << false << true  << true  << 2  << ok << 1 << 1 << 1 << false;
    QTest::newRow("invite OUI, numérotation ratée")    << false << false << false << true  << true  << 2  << ko << 1 << 1 << 0 << false;
    QTest::newRow("invite NON")                        << false << true  << false << true  << false << 1  << ko << 1 << 0 << 0 << true;
    QTest::newRow("invite laissée à zéro")             << false << true  << false << true  << true  << -1 << ko << 1 << 0 << 0 << true;
    QTest::newRow("invite fermée par le cadre")        << false << true  << false << true  << false << 0  << ko << 1 << 0 << 0 << false;
    // clang-format on
}

void test_maj_programmes::connexion() {
    QFETCH(bool, en_ligne);
    QFETCH(bool, numerotation);
    QFETCH(bool, opt_connexion);
    QFETCH(bool, opt_deconnexion);
    QFETCH(bool, fenetre_chargee);
    QFETCH(int, invite);
    QFETCH(fin_maj, fin);

    banc_maj b;
    const auto chaines = trois_chaines();
    for (const auto& c : chaines)
        b.ajouter(c);
    b.anciennes_donnees();
    const QByteArray liste_avant = vider_table(b.base(), "liste");
    const QByteArray maj_avant = vider_table(b.base(), "maj");

    b.connexion.en_ligne = en_ligne;
    b.connexion.numerotation_reussit = numerotation;
    b.ctx.options.opt_connexion = opt_connexion;
    b.ctx.options.opt_deconnexion = opt_deconnexion;
    b.fenetre_chargee = fenetre_chargee;
    if (invite >= 0) {
        b.reponse_invite = invite;
    } else {
        // The real prompt, its timer driven by hand: nobody answers.
        b.invite = [&b] {
            suivi::fl_connect f(b.ctx);
            f.tps_non.stop();
            for (int i = 0; i < 10; ++i)
                f.tps_non_Timer();
            return int(f.reponse_connexion);
        };
    }

    QCOMPARE(b.lancer(), fin);
    QTEST(b.nb_invites, "nb_invites");
    QTEST(b.connexion.nb_connexions, "nb_connexions");
    QTEST(b.connexion.nb_deconnexions, "nb_deconnexions");
    QTEST(b.etat.maj_annulee, "maj_annulee");
    QVERIFY(b.visible_pendant_run);
    QVERIFY(!b.guide.maj_en_cours());
    QVERIFY(b.boites.vues.empty());

    if (fin == fin_maj::complete) {
        QCOMPARE(lignes_liste(b.base()), lignes_attendues(chaines));
        QCOMPARE(donnees::base_programmes(b.base()).lire_maj(),
                 std::optional(date_heure::depuis_date(QDate(2026, 6, 12), 14, 0)));
        QCOMPARE(b.guide.texte_etat(), QStringLiteral("Programmes à jour."));
        QCOMPARE(b.progres2, (std::vector<float>{0, 5, 10, 40, 70, 100, 100}));
        QCOMPARE(b.progres1, progres1_complet(3));
        QCOMPARE(b.cours, cours_chaines(chaines));
        QCOMPARE(
            b.etats_pendant,
            (QStringList{QStringLiteral("Mise à jour en cours..."), QStringLiteral("Connection à Internet"),
                         QStringLiteral("Connection à Internet"), QStringLiteral("Connection à Internet")}));
        // The main window follows every sentence, the last one at once.
        QCOMPARE(b.etats_principal, (QStringList{QStringLiteral("Mise à jour en cours..."),
                                                 QStringLiteral("Connection à Internet"),
                                                 QStringLiteral("Programmes à jour.")}));
        QCOMPARE(b.nb_chargements, 0);
        // Two pauses per channel, four around the start.
        QCOMPARE(b.pas_nul.nb, 10);
        QCOMPARE(b.pas_nul.total, 5.0);
    } else {
        QCOMPARE(vider_table(b.base(), "liste"), liste_avant);
        QCOMPARE(vider_table(b.base(), "maj"), maj_avant);
        QCOMPARE(b.guide.texte_etat(), erreur_connexion);
        QCOMPARE(b.etats_principal, (QStringList{QStringLiteral("Mise à jour en cours..."),
                                                 QStringLiteral("Connection à Internet"), erreur_connexion}));
        QCOMPARE(b.cours, (QStringList{vidage, erreur_connexion}));
        QCOMPARE(b.progres2, (std::vector<float>{0, 5, 100}));
        QCOMPARE(b.progres1, (std::vector<float>{0, 100, 0, 100}));
        QCOMPARE(b.nb_chargements, fenetre_chargee ? 0 : 1);
        QCOMPARE(b.serveur.nb_requetes_total(), 0);
        // The failure stays on screen two seconds.
        QCOMPARE(b.pas_nul.nb, 3);
        QCOMPARE(b.pas_nul.total, 3.0);
    }
}

// What each channel's page does, as "nom=comportement": page, vide, 500, muette, sans_horaire.
void test_maj_programmes::deroule_data() {
    QTest::addColumn<int>("nb_chaines");
    QTest::addColumn<QString>("page_deux");
    QTest::addColumn<QStringList>("cours");
    QTest::addColumn<std::vector<float>>("progres2");

    const auto c = trois_chaines();
    const QString r = QStringLiteral("Récupération ");
    const QString e = QStringLiteral("ECHEC ");
    const QStringList echec_deux{vidage, r + c[0].nom, r + c[1].nom, e + c[1].nom, r + c[2].nom};
    const std::vector<float> trois{0, 5, 10, 40, 70, 100, 100};
    QTest::newRow("trois chaînes") << 3 << "page" << cours_chaines(c) << trois;
    QTest::newRow("page en erreur 500") << 3 << "500" << echec_deux << trois;
    QTest::newRow("page vide") << 3 << "vide" << echec_deux << trois;
    QTest::newRow("page sans horaire") << 3 << "sans_horaire" << echec_deux << trois;
    QTest::newRow("une chaîne") << 1 << "page" << QStringList{vidage, r + c[0].nom}
                                << std::vector<float>{0, 5, 10, 100, 100};
    QTest::newRow("aucune chaîne") << 0 << "page" << QStringList{vidage} << std::vector<float>{0, 5, 10, 100};
}

void test_maj_programmes::deroule() {
    QFETCH(int, nb_chaines);
    QFETCH(QString, page_deux);

    banc_maj b;
    auto chaines = trois_chaines();
    chaines.resize(size_t(nb_chaines));
    for (const auto& c : chaines)
        b.ajouter(c);
    b.anciennes_donnees();
    if (nb_chaines > 1) {
        const QString chemin = chaines[1].chemin;
        if (page_deux == "vide") {
            b.serveur.definir_page(chemin, QByteArray());
        } else if (page_deux == "500") {
            serveur_http::reponse rep;
            rep.statut = 500;
            rep.corps = "<html><body><p>20h00</p><p>Erreur interne</p></body></html>";
            b.serveur.definir(chemin, rep);
        } else if (page_deux == "sans_horaire") {
            b.serveur.definir_page(chemin, "<html><body><p>Programme indisponible</p></body></html>");
        }
        if (page_deux != "page")
            chaines[1].programmes.clear();
    }

    // A channel whose fetch failed keeps what it had, ahead of the new rows.
    const QStringList gardees =
        nb_chaines > 1 && page_deux != "page" ? lignes_de(b.base(), 3) : QStringList();
    QCOMPARE(b.lancer(), fin_maj::complete);
    QTEST(b.cours, "cours");
    QTEST(b.progres2, "progres2");
    QCOMPARE(lignes_liste(b.base()), gardees + lignes_attendues(chaines));
    QCOMPARE(donnees::base_programmes(b.base()).lire_maj(),
             std::optional(date_heure::depuis_date(QDate(2026, 6, 12), 14, 0)));
    QCOMPARE(b.guide.texte_etat(), QStringLiteral("Programmes à jour."));
    for (const auto& c : chaines)
        QCOMPARE(b.serveur.nb_requetes(c.chemin), 1);
    QVERIFY(b.boites.vues.empty());
}

// comment: how the user stops the run; quand: during the second channel's fetch, or at the prompt.
void test_maj_programmes::annulation_data() {
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("quand");
    QTest::addColumn<int>("nb_requetes");

    for (const char* comment : {"bouton", "cadre", "echap"}) {
        QTest::addRow("%s pendant la deuxième chaîne", comment) << comment << "deux" << 2;
        QTest::addRow("%s pendant l'invite", comment) << comment << "invite" << 0;
    }
}

void test_maj_programmes::annulation() {
    QFETCH(QString, comment);
    QFETCH(QString, quand);

    banc_maj b;
    const auto chaines = trois_chaines();
    for (const auto& c : chaines)
        b.ajouter(c);
    b.anciennes_donnees();
    const QStringList une_avant = lignes_de(b.base(), 2);
    const QStringList deux_avant = lignes_de(b.base(), 3);
    const QByteArray liste_avant = vider_table(b.base(), "liste");
    const QByteArray maj_avant = vider_table(b.base(), "maj");

    bool bouton_grise = false;
    auto arreter = [&](suivi::fl_maj& f) {
        if (comment == "bouton")
            QTest::mouseClick(essais::controle<QPushButton>(f, "bt_annuler"), Qt::LeftButton);
        else if (comment == "cadre")
            f.close();
        else
            QTest::keyClick(&f, Qt::Key_Escape);
        bouton_grise = !essais::controle<QPushButton>(f, "bt_annuler")->isEnabled();
        // The window stays until the run has let go of it.
        QVERIFY(f.isVisible());
    };
    if (quand == "deux") {
        b.sur_cours = [&](suivi::fl_maj& f, const QString& t) {
            if (t == QStringLiteral("Récupération ") + chaines[1].nom)
                arreter(f);
        };
    } else {
        b.connexion.en_ligne = false;
        b.invite = [&] {
            arreter(*b.fenetre);
            return 2;
        };
    }

    QCOMPARE(b.lancer(), fin_maj::annulee);
    QVERIFY(bouton_grise);
    QTEST(b.serveur.nb_requetes_total(), "nb_requetes");
    QCOMPARE(b.serveur.nb_requetes(chaines[2].chemin), 0);
    // Each channel holds all its old rows or all its new ones: the first was
    // written once fetched, the second was being fetched, and the base is not stamped.
    if (quand == "deux") {
        QCOMPARE(lignes_de(b.base(), 2), lignes_attendues({chaines[0]}));
        QVERIFY(lignes_de(b.base(), 2) != une_avant);
    } else {
        QCOMPARE(vider_table(b.base(), "liste"), liste_avant);
    }
    QCOMPARE(lignes_de(b.base(), 3), deux_avant);
    QCOMPARE(vider_table(b.base(), "maj"), maj_avant);
    QCOMPARE(b.guide.texte_etat(), QStringLiteral("Connection à Internet"));
    QVERIFY(!b.guide.maj_en_cours());
    QCOMPARE(b.connexion.nb_deconnexions, 0);
    QVERIFY(b.boites.vues.empty());
}

// An error in the middle of the run: the database refuses the second channel's
// rows, or the stamp finds no row to change. The channels written before keep
// their new rows; the one being written keeps all its old ones.
void test_maj_programmes::erreur_data() {
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("nb_renouvelees"); // the first channels, in order

    QTest::newRow("ligne refusée") << QByteArray(
                                          "CREATE TRIGGER refus BEFORE INSERT ON liste WHEN NEW.chaine = 3 "
                                          "BEGIN SELECT RAISE(ABORT, 'valeur refusée'); END")
                                   << "valeur refusée" << 1;
    QTest::newRow("maj sans ligne") << QByteArray("DELETE FROM maj") << "la table « maj » n'a pas de ligne"
                                    << 3;
}

void test_maj_programmes::erreur() {
    QFETCH(QByteArray, sql);
    QFETCH(QString, message);
    QFETCH(int, nb_renouvelees);

    banc_maj b;
    const auto chaines = trois_chaines();
    for (const auto& c : chaines)
        b.ajouter(c);
    b.anciennes_donnees();
    executer_sql(b.base(), sql.constData());
    std::vector<QStringList> avant;
    for (const auto& c : chaines)
        avant.push_back(lignes_de(b.base(), c.num));
    const QByteArray maj_avant = vider_table(b.base(), "maj");

    QCOMPARE(b.lancer(), fin_maj::erreur);
    for (size_t i = 0; i < chaines.size(); ++i)
        QCOMPARE(lignes_de(b.base(), chaines[i].num),
                 int(i) < nb_renouvelees ? lignes_attendues({chaines[i]}) : avant[i]);
    QCOMPARE(vider_table(b.base(), "maj"), maj_avant);
    QCOMPARE(verifier_integrite(b.base()), QStringLiteral("ok"));
    QVERIFY(!b.guide.maj_en_cours());
    QCOMPARE(b.guide.texte_etat(), QStringLiteral("La mise à jour a échoué."));
    QCOMPARE(b.boites.vues.size(), size_t(1));
    const auto& boite = b.boites.vues.front();
    QCOMPARE(boite.titre, QStringLiteral("Zapo-TV"));
    QCOMPARE(boite.icone, icone_boite::critique);
    QVERIFY2(boite.texte.startsWith(QStringLiteral("La mise à jour des programmes s'est arrêtée.\r")),
             qPrintable(boite.texte));
    QVERIFY2(boite.texte.contains(message), qPrintable(boite.texte));
    QVERIFY(boite.texte.endsWith(QStringLiteral("Les programmes déjà enregistrés sont conservés.")));
    // The window had gone when the box came up.
    const auto fenetres = QApplication::topLevelWidgets();
    for (QWidget* w : fenetres)
        QVERIFY(!(qobject_cast<suivi::fl_maj*>(w) && w->isVisible()));
}

// The views open the database on their own during the run: they see each
// channel's new rows once it is written, and the old stamp until the end.
void test_maj_programmes::lecture_pendant_run() {
    banc_maj b;
    const auto chaines = trois_chaines();
    for (const auto& c : chaines)
        b.ajouter(c);
    b.anciennes_donnees();
    QStringList vu;
    std::optional<date_heure> maj_vue;
    b.sur_cours = [&](suivi::fl_maj&, const QString& t) {
        if (t == QStringLiteral("Récupération ") + chaines[2].nom) {
            vu = lignes_liste(b.base());
            maj_vue = donnees::base_programmes(b.base()).lire_maj();
            QVERIFY(b.guide.maj_en_cours());
        }
    };
    QCOMPARE(b.lancer(), fin_maj::complete);
    QCOMPARE(vu, lignes_attendues({chaines[0], chaines[1]}));
    QCOMPARE(maj_vue, std::optional(date_heure::depuis_date(QDate(2026, 6, 11), 9, 41, 7)));
    QCOMPARE(lignes_liste(b.base()), lignes_attendues(chaines));
}

void test_maj_programmes::fenetre() {
    suivi::fl_maj f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Zapo-TV - Mise à jour des programmes"));
    QCOMPARE(essais::controle<QLabel>(f, "Label1")->text(),
             QStringLiteral("Mise à jour de la base en cours..."));
    QCOMPARE(essais::controle<QLabel>(f, "Label3")->text(), QStringLiteral("Opération en cours :"));
    QCOMPARE(essais::controle<QLabel>(f, "Label4")->text(), QStringLiteral("Toutes les opérations :"));
    QCOMPARE(essais::controle<QPushButton>(f, "bt_annuler")->text(), QStringLiteral("Annuler"));
    QVERIFY(essais::controle<QLabel>(f, "txt_cours")->text().isEmpty());
    QCOMPARE(essais::controle<QLabel>(f, "txt_cours")->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(essais::controle<QProgressBar>(f, "progres1")->maximum(), 100);
    QCOMPARE(essais::controle<QProgressBar>(f, "progres2")->maximum(), 100);
    // 90 / 7 per channel: the bar keeps the fraction, the display rounds.
    f.ecrire_progres2(10 + 90.0f / 7);
    QCOMPARE(essais::controle<QProgressBar>(f, "progres2")->value(), 23);
    QCOMPARE(f.valeur_progres2(), 10 + 90.0f / 7);
    f.show();
    const QSize taille = f.size();
    f.resize(taille * 2);
    QCOMPARE(f.size(), taille);
    // Outside a run the frame closes it as usual.
    f.close();
    QVERIFY(!f.isVisible());
}

// The program's pacing lets events run while it waits, and waits long enough.
void test_maj_programmes::attente_reelle() {
    bool evenement = false;
    QTimer::singleShot(10, [&] { evenement = true; });
    QElapsedTimer t;
    t.start();
    maj::rythme_reel().attendre(0.06);
    QVERIFY(t.elapsed() >= 60);
    QVERIFY(t.elapsed() < 1000);
    QVERIFY(evenement);
}

QTEST_MAIN(test_maj_programmes)
#include "test_maj_programmes.moc"
