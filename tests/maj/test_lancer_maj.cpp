// lancer_maj as the commands and the tray reach it: refusal while a run goes,
// maj_annulee, the views refreshed afterwards, the status line on a failed
// connection, "Quitter" in the middle of a run.

#include "outils/banc_maj.h"

#include "coquille/application.h"
#include "outils/controles.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace zapo;
using namespace zapo::essais;

namespace {

// On line or not as told; can act in the middle of the connection step.
class connexion_espion final : public service_connexion {
public:
    bool en_ligne = true;
    std::function<void()> pendant;
    bool est_connecte() override {
        if (pendant)
            std::exchange(pendant, nullptr)();
        return en_ligne;
    }
    void connecter() override {}
    void deconnecter() override {}
};

} // namespace

class test_lancer_maj : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lancer_maj_data();
    void lancer_maj();
};

// cas: refusee (a run is going), fermee (main window closed), chargee (loaded),
// hors_ligne (the line stays down, window closed), quitter (Quitter during a fetch; last: it ends the
// event loop for good).
void test_lancer_maj::lancer_maj_data() {
    QTest::addColumn<QString>("cas");
    QTest::addColumn<int>("nb_requetes");
    QTest::addColumn<bool>("liste_changee");
    QTest::addColumn<bool>("fenetre_apres");

    QTest::newRow("refusée pendant une mise à jour") << "refusee" << 0 << false << false;
    QTest::newRow("fenêtre fermée: elle le reste") << "fermee" << 3 << true << false;
    QTest::newRow("fenêtre chargée: listes rafraîchies") << "chargee" << 3 << true << true;
    QTest::newRow("hors ligne: la fenêtre s'ouvre sur l'erreur") << "hors_ligne" << 0 << false << true;
    QTest::newRow("Quitter pendant une page qui ne répond pas") << "quitter" << 1 << false << false;
}

void test_lancer_maj::lancer_maj() {
    QFETCH(QString, cas);

    banc_maj b;
    const auto chaines = trois_chaines();
    for (const auto& c : chaines)
        b.ajouter(c);
    b.anciennes_donnees();
    const QByteArray liste_avant = vider_table(b.base(), "liste");
    connexion_espion cx;
    b.ctx.connexion = &cx;
    coquille::fl_init agent(b.ctx);
    agent.etat().maj_annulee = true;
    agent.demarrer_tps_maj();
    if (cas == "refusee")
        b.guide.commencer_maj();
    if (cas == "chargee") {
        agent.charger_fenetre();
        agent.fenetre()->montrer_chaine(chaines[0].num);
    }
    if (cas == "hors_ligne") {
        // Dials without asking (no prompt to wait on), and the line stays down.
        cx.en_ligne = false;
        b.ctx.options.opt_connexion = true;
    }
    bool sortie_differee = false;
    if (cas == "quitter") {
        // The first page never answers; "Quitter" comes while the run waits for it.
        serveur_http::reponse muette;
        muette.muet = true;
        b.serveur.definir(chaines[0].chemin, muette);
        cx.pendant = [&] {
            QTimer::singleShot(200, [&] {
                agent.quitter_appli();
                sortie_differee = agent.tps_maj().isActive() && b.guide.maj_en_cours();
            });
        };
    }

    QElapsedTimer duree;
    duree.start();
    agent.lancer_maj();

    QTEST(b.serveur.nb_requetes_total(), "nb_requetes");
    QTEST(vider_table(b.base(), "liste") != liste_avant, "liste_changee");
    QTEST(agent.fenetre() != nullptr, "fenetre_apres");
    QCOMPARE(agent.etat().maj_annulee, cas == "refusee");
    if (cas != "refusee")
        QVERIFY(!b.guide.maj_en_cours());
    if (cas == "chargee")
        QCOMPARE(essais::controle<QTreeWidget>(*agent.fenetre(), "lst_prog")->topLevelItemCount(),
                 int(chaines[0].programmes.size()));
    if (cas == "hors_ligne")
        QCOMPARE(essais::controle<QLabel>(*agent.fenetre(), "txt_etat")->text(),
                 QStringLiteral("Erreur de connection Internet"));
    if (cas == "quitter") {
        QVERIFY(sortie_differee);
        QVERIFY(!agent.tps_maj().isActive());
        // Not the page's 60-second time-out.
        QVERIFY2(duree.elapsed() < 10000, qPrintable(QString::number(duree.elapsed())));
    }
    if (agent.fenetre())
        delete agent.fenetre();
}

QTEST_MAIN(test_lancer_maj)
#include "test_lancer_maj.moc"
