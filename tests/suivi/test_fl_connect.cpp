// The connection prompt: its answers, the remembered yes, the countdown.

#include "suivi/fl_connect.h"

#include "outils/controles.h"
#include "outils/faux_services.h"

#include <QTest>

using namespace zapo;

class test_fl_connect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textes();
    void reponses_data();
    void reponses();
    void compte_a_rebours();
};

void test_fl_connect::textes() {
    contexte ctx;
    suivi::fl_connect f(ctx);
    QCOMPARE(f.reponse_connexion, maj::reponse::aucune);
    QCOMPARE(f.windowTitle(), QStringLiteral("Zapo-TV - Connexion à Internet"));
    QCOMPARE(essais::controle<QLabel>(f, "Label1")->text(),
             QStringLiteral("Une connexion à Internet est requise."));
    QCOMPARE(essais::controle<QLabel>(f, "Label2")->text(), QStringLiteral("Voullez-vous vous connecter ?"));
    QCOMPARE(essais::controle<QCheckBox>(f, "vf_mem")->text(),
             QStringLiteral("Se connecter automatiquement la prochaine fois."));
    QVERIFY(!essais::controle<QCheckBox>(f, "vf_mem")->isChecked());
    QCOMPARE(essais::controle<QPushButton>(f, "bt_oui")->text(), QStringLiteral("OUI"));
    QCOMPARE(essais::controle<QPushButton>(f, "bt_non")->text(), QStringLiteral("NON (10)"));
    QVERIFY(f.tps_non.isActive());
    QCOMPARE(f.tps_non.interval(), 1000);
}

// action: oui, non, cadre (close box), echap.
void test_fl_connect::reponses_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("coche");
    QTest::addColumn<int>("reponse");
    QTest::addColumn<bool>("opt_connexion");
    QTest::addColumn<int>("nb_enregistrements");

    QTest::newRow("OUI, case cochée") << "oui" << true << 2 << true << 1;
    QTest::newRow("OUI, case vide") << "oui" << false << 2 << false << 0;
    QTest::newRow("NON, case cochée") << "non" << true << 1 << false << 0;
    QTest::newRow("NON, case vide") << "non" << false << 1 << false << 0;
    QTest::newRow("fermée par le cadre") << "cadre" << true << 0 << false << 0;
    QTest::newRow("Échap") << "echap" << true << 0 << false << 0;
}

void test_fl_connect::reponses() {
    QFETCH(QString, action);
    QFETCH(bool, coche);

    contexte ctx;
    int nb_enregistrements = 0;
    bool opt_au_moment_d_enregistrer = false;
    essais::fausse_appli appli;
    appli.enregistrer = [&] {
        ++nb_enregistrements;
        opt_au_moment_d_enregistrer = ctx.options.opt_connexion;
    };
    ctx.appli = &appli;
    suivi::fl_connect f(ctx);
    f.show();
    if (coche)
        QTest::mouseClick(essais::controle<QCheckBox>(f, "vf_mem"), Qt::LeftButton, {},
                          QPoint(5, essais::controle<QCheckBox>(f, "vf_mem")->height() / 2));
    QCOMPARE(essais::controle<QCheckBox>(f, "vf_mem")->isChecked(), coche);
    if (action == "oui")
        QTest::mouseClick(essais::controle<QPushButton>(f, "bt_oui"), Qt::LeftButton);
    else if (action == "non")
        QTest::mouseClick(essais::controle<QPushButton>(f, "bt_non"), Qt::LeftButton);
    else if (action == "cadre")
        f.close();
    else
        QTest::keyClick(&f, Qt::Key_Escape);

    QVERIFY(!f.isVisible());
    QVERIFY(!f.tps_non.isActive());
    QTEST(int(f.reponse_connexion), "reponse");
    QTEST(ctx.options.opt_connexion, "opt_connexion");
    QTEST(nb_enregistrements, "nb_enregistrements");
    // The option is set before it is saved.
    QCOMPARE(opt_au_moment_d_enregistrer, nb_enregistrements > 0);
}

// Ten ticks, no real waiting: NON (9) ... NON (0), and only the last answers no.
void test_fl_connect::compte_a_rebours() {
    contexte ctx;
    suivi::fl_connect f(ctx);
    f.tps_non.stop();
    f.show();
    for (int reste = 9; reste >= 1; --reste) {
        f.tps_non_Timer();
        QCOMPARE(essais::controle<QPushButton>(f, "bt_non")->text(), QStringLiteral("NON (%1)").arg(reste));
        QCOMPARE(f.reponse_connexion, maj::reponse::aucune);
        QVERIFY(f.isVisible());
    }
    f.tps_non_Timer();
    QCOMPARE(essais::controle<QPushButton>(f, "bt_non")->text(), QStringLiteral("NON (0)"));
    QCOMPARE(f.reponse_connexion, maj::reponse::non);
    QVERIFY(!f.isVisible());
    QCOMPARE(ctx.options.opt_connexion, false);
    // A tick already queued when the window closed changes nothing.
    f.tps_non_Timer();
    QCOMPARE(essais::controle<QPushButton>(f, "bt_non")->text(), QStringLiteral("NON (0)"));
    QCOMPARE(f.reponse_connexion, maj::reponse::non);
}

QTEST_MAIN(test_fl_connect)
#include "test_fl_connect.moc"
