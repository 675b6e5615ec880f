#include "coquille/ligne_commande.h"

#include "outils/version_projet.h"

#include <QTest>

using namespace zapo::coquille;

class test_ligne_commande : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void analyser_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("quitter");
        QTest::addColumn<int>("statut");
        QTest::addColumn<QString>("sortie"); // contained in standard output
        QTest::addColumn<QString>("erreur"); // contained in standard error
        const QString version =
            QStringLiteral("Zapo-TV ") + zapo::essais::version_projet() + QLatin1Char('\n');
        const QString essayer = QStringLiteral("Essayez « zapo-tv --help »");
        QTest::newRow("rien") << QStringList{} << false << 0 << QString() << QString();
        QTest::newRow("version") << QStringList{"--version"} << true << 0 << version << QString();
        QTest::newRow("version courte") << QStringList{"-v"} << true << 0 << version << QString();
        QTest::newRow("aide") << QStringList{"--help"} << true << 0 << "Utilisation : zapo-tv" << QString();
        QTest::newRow("aide courte") << QStringList{"-h"} << true << 0 << "Codes de retour" << QString();
        QTest::newRow("aide avant version")
            << QStringList{"--version", "--help"} << true << 0 << "Options :" << QString();
        QTest::newRow("inconnue") << QStringList{"--chaine"} << true << 2 << QString()
                                  << "Option inconnue : --chaine.";
        QTest::newRow("inconnues") << QStringList{"--a", "-b"} << true << 2 << QString()
                                   << "Options inconnues : --a, -b.";
        QTest::newRow("inconnue et aide")
            << QStringList{"--help", "--zzz"} << true << 2 << QString() << essayer;
        QTest::newRow("argument") << QStringList{"fichier.xml"} << true << 2 << QString()
                                  << "argument inattendu : « fichier.xml »";
        QTest::newRow("option de qt")
            << QStringList{"-platform", "offscreen"} << false << 0 << QString() << QString();
        QTest::newRow("option de qt avec =")
            << QStringList{"--style=Fusion", "-reverse"} << false << 0 << QString() << QString();
        QTest::newRow("valeur manquante")
            << QStringList{"-display"} << true << 2 << QString() << "L'option -display attend une valeur.";
        QTest::newRow("valeur en trop") << QStringList{"--version=3"} << true << 2 << QString()
                                        << "L'option --version ne prend pas de valeur.";
        // The terminal commands are acted on after the parse, without a window.
        QTest::newRow("commande du terminal")
            << QStringList{"--maintenant", "--json"} << false << 0 << QString() << QString();
        QTest::newRow("base sans valeur") << QStringList{"--maintenant", "--base"} << true << 2 << QString()
                                          << "L'option --base attend une valeur.";
        // Options glued together are not Qt's way: "-hv" is one unknown name.
        QTest::newRow("collées") << QStringList{"-hv"} << true << 2 << QString() << "Option inconnue : -hv.";
    }
    void analyser() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, quitter);
        QFETCH(int, statut);
        QFETCH(QString, sortie);
        QFETCH(QString, erreur);
        arguments.prepend(QStringLiteral("/usr/bin/zapo-tv"));
        QCommandLineParser p;
        declarer_options(p);
        const decision_ligne d = zapo::coquille::analyser(p, arguments);
        QCOMPARE(d.quitter, quitter);
        QCOMPARE(d.statut, statut);
        QVERIFY2(sortie.isEmpty() ? d.sortie.isEmpty() : d.sortie.contains(sortie), qPrintable(d.sortie));
        QVERIFY2(erreur.isEmpty() ? d.erreur.isEmpty() : d.erreur.contains(erreur), qPrintable(d.erreur));
        if (statut == statut_ligne_refusee)
            QVERIFY2(d.erreur.endsWith(QStringLiteral("Essayez « zapo-tv --help ».\n")),
                     qPrintable(d.erreur));
    }

    void sans_affichage_data() {
        QTest::addColumn<QString>("plateforme");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<bool>("refuse");
        QTest::newRow("rien") << QString() << QString() << QString() << true;
        QTest::newRow("X11") << QString() << ":0" << QString() << false;
        QTest::newRow("Wayland") << QString() << QString() << "wayland-0" << false;
        QTest::newRow("xcb sans DISPLAY") << "xcb" << QString() << "wayland-0" << true;
        QTest::newRow("xcb") << "xcb"
                             << ":1" << QString() << false;
        QTest::newRow("offscreen") << "offscreen" << QString() << QString() << false;
        QTest::newRow("repli") << "wayland;xcb" << QString() << QString() << false;
        QTest::newRow("xcb avec options") << "xcb:nomitshm" << QString() << QString() << true;
    }
    void sans_affichage() {
        QFETCH(QString, plateforme);
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(bool, refuse);
        const QString raison = raison_sans_affichage(plateforme, display, wayland);
        QCOMPARE(!raison.isEmpty(), refuse);
        if (refuse)
            QVERIFY(raison.startsWith(QStringLiteral("Zapo-TV a besoin d'une session graphique")));
    }

    // The help lists what it accepts and every exit status, and hides Qt's options.
    void aide_complete() {
        const QString tout = texte_aide();
        const QString aide =
            tout.section(QStringLiteral("Options :"), 1).section(QStringLiteral("\n\n"), 0, 0);
        for (const option_ligne& o : options_connues())
            for (const QString& n : o.noms)
                QCOMPARE(aide.contains(QStringLiteral("-") + n + QLatin1Char(' ')) ||
                             aide.contains(QStringLiteral("-") + n + QLatin1Char(',')),
                         !o.cachee);
        for (const QString& o : {QStringLiteral("--maintenant"), QStringLiteral("--exporter-xmltv FICHIER")})
            QVERIFY2(aide.contains(o), qPrintable(o));
        for (int s : {statut_normal, statut_demarrage_impossible, statut_ligne_refusee,
                      statut_ecriture_impossible, statut_sortie_impossible})
            QVERIFY(tout.contains(QStringLiteral("\n  %1  ").arg(s)));
    }
};

QTEST_GUILESS_MAIN(test_ligne_commande)
#include "test_ligne_commande.moc"
