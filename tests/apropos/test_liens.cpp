#include "apropos/fl_propos.h"
#include "apropos/liens.h"
#include "outils/controles.h"
#include "outils/faux_services.h"
#include "outils/version_projet.h"

#include <QtTest>

using namespace zapo;
using zapo::apropos::fl_propos;

class test_liens : public QObject {
    Q_OBJECT

    essais::fausses_boites boites;
    contexte ctx;
    QList<QUrl> liens; // every link handed to the desktop
    bool ouverture_reussit = true;

    apropos::ouvreur_liens ouvreur() {
        return [this](const QUrl& u) {
            liens << u;
            return ouverture_reussit;
        };
    }

private Q_SLOTS:
    void init() {
        boites = {};
        liens.clear();
        ouverture_reussit = true;
        ctx = contexte{};
        ctx.boites = &boites;
    }
    void cleanup() { delete fl_propos::ouverte(); }

    // Row names tell which arguments are given: Adresse, Sujet, Corps, copie (K), copie cachée (B).
    void combinaisons_data() {
        QTest::addColumn<QString>("attendue");
        QTest::newRow("-----") << QStringLiteral("mailto:");
        QTest::newRow("----B") << QStringLiteral("mailto:?BCC=e@f.fr");
        QTest::newRow("---K-") << QStringLiteral("mailto:?CC=c@d.fr");
        QTest::newRow("---KB") << QStringLiteral("mailto:?CC=c@d.fr&BCC=e@f.fr");
        QTest::newRow("--C--") << QStringLiteral("mailto:?Body=%22C%22");
        QTest::newRow("--C-B") << QStringLiteral("mailto:?Body=%22C%22&BCC=e@f.fr");
        QTest::newRow("--CK-") << QStringLiteral("mailto:?Body=%22C%22&CC=c@d.fr");
        QTest::newRow("--CKB") << QStringLiteral("mailto:?Body=%22C%22&CC=c@d.fr&BCC=e@f.fr");
        QTest::newRow("-S---") << QStringLiteral("mailto:?Subject=%22S%22");
        QTest::newRow("-S--B") << QStringLiteral("mailto:?Subject=%22S%22&BCC=e@f.fr");
        QTest::newRow("-S-K-") << QStringLiteral("mailto:?Subject=%22S%22&CC=c@d.fr");
        QTest::newRow("-S-KB") << QStringLiteral("mailto:?Subject=%22S%22&CC=c@d.fr&BCC=e@f.fr");
        QTest::newRow("-SC--") << QStringLiteral("mailto:?Subject=%22S%22&Body=%22C%22");
        QTest::newRow("-SC-B") << QStringLiteral("mailto:?Subject=%22S%22&Body=%22C%22&BCC=e@f.fr");
        QTest::newRow("-SCK-") << QStringLiteral("mailto:?Subject=%22S%22&Body=%22C%22&CC=c@d.fr");
        QTest::newRow("-SCKB") << QStringLiteral("mailto:?Subject=%22S%22&Body=%22C%22&CC=c@d.fr&BCC=e@f.fr");
        QTest::newRow("A----") << QStringLiteral("mailto:a@b.fr");
        QTest::newRow("A---B") << QStringLiteral("mailto:a@b.fr?BCC=e@f.fr");
        QTest::newRow("A--K-") << QStringLiteral("mailto:a@b.fr?CC=c@d.fr");
        QTest::newRow("A--KB") << QStringLiteral("mailto:a@b.fr?CC=c@d.fr&BCC=e@f.fr");
        QTest::newRow("A-C--") << QStringLiteral("mailto:a@b.fr?Body=%22C%22");
        QTest::newRow("A-C-B") << QStringLiteral("mailto:a@b.fr?Body=%22C%22&BCC=e@f.fr");
        QTest::newRow("A-CK-") << QStringLiteral("mailto:a@b.fr?Body=%22C%22&CC=c@d.fr");
        QTest::newRow("A-CKB") << QStringLiteral("mailto:a@b.fr?Body=%22C%22&CC=c@d.fr&BCC=e@f.fr");
        QTest::newRow("AS---") << QStringLiteral("mailto:a@b.fr?Subject=%22S%22");
        QTest::newRow("AS--B") << QStringLiteral("mailto:a@b.fr?Subject=%22S%22&BCC=e@f.fr");
        QTest::newRow("AS-K-") << QStringLiteral("mailto:a@b.fr?Subject=%22S%22&CC=c@d.fr");
        QTest::newRow("AS-KB") << QStringLiteral("mailto:a@b.fr?Subject=%22S%22&CC=c@d.fr&BCC=e@f.fr");
        QTest::newRow("ASC--") << QStringLiteral("mailto:a@b.fr?Subject=%22S%22&Body=%22C%22");
        QTest::newRow("ASC-B") << QStringLiteral("mailto:a@b.fr?Subject=%22S%22&Body=%22C%22&BCC=e@f.fr");
        QTest::newRow("ASCK-") << QStringLiteral("mailto:a@b.fr?Subject=%22S%22&Body=%22C%22&CC=c@d.fr");
        QTest::newRow("ASCKB") << QStringLiteral(
            "mailto:a@b.fr?Subject=%22S%22&Body=%22C%22&CC=c@d.fr&BCC=e@f.fr");
    }
    void combinaisons() {
        QFETCH(QString, attendue);
        const QString choix = QString::fromLatin1(QTest::currentDataTag());
        auto si = [&](int i, const char* valeur) {
            return choix[i] == QLatin1Char('-') ? QString() : QString::fromLatin1(valeur);
        };
        const QString a = si(0, "a@b.fr"), s = si(1, "S"), c = si(2, "C"), k = si(3, "c@d.fr"),
                      b = si(4, "e@f.fr");
        QCOMPARE(apropos::adresse_mail(a, s, c, k, b), attendue);
        apropos::envoyer_mail(ctx, ouvreur(), a, s, c, k, b);
        QCOMPARE(liens.size(), 1);
        QCOMPARE(QString::fromLatin1(liens[0].toEncoded()), attendue);
        QVERIFY(boites.vues.empty());
    }

    // What reaches the mail program: blanks, accents, quotes and separators
    // encoded, so that no value can add or change a field.
    void encodage_data() {
        QTest::addColumn<QString>("adresse");
        QTest::addColumn<QString>("sujet");
        QTest::addColumn<QString>("corps");
        QTest::addColumn<QString>("copie");
        QTest::addColumn<QString>("attendue");
        QTest::newRow("sujet de la boite")
            << "moi@zapo.fr"
            << "A propos de Zapo-TV 2.1.8"
            << ""
            << ""
            << "mailto:moi@zapo.fr?Subject=%22A%20propos%20de%20Zapo-TV%202.1.8%22";
        QTest::newRow("accents") << "moi@zapo.fr"
                                 << "Émission d'été"
                                 << ""
                                 << ""
                                 << "mailto:moi@zapo.fr?Subject=%22%C3%89mission%20d%27%C3%A9t%C3%A9%22";
        QTest::newRow("séparateurs dans le corps")
            << "moi@zapo.fr"
            << ""
            << "a&CC=x@y.fr?b#c+d=e"
            << ""
            << "mailto:moi@zapo.fr?Body=%22a%26CC%3Dx%40y.fr%3Fb%23c%2Bd%3De%22";
        QTest::newRow("guillemets et retour à la ligne")
            << "moi@zapo.fr"
            << "\"x\""
            << "l1\r\nl2"
            << ""
            << "mailto:moi@zapo.fr?Subject=%22%22x%22%22&Body=%22l1%0D%0Al2%22";
        QTest::newRow("adresse piégée") << "x@y.fr?Subject=pirate&BCC=z@w.fr"
                                        << ""
                                        << ""
                                        << ""
                                        << "mailto:x@y.fr%3FSubject%3Dpirate%26BCC%3Dz@w.fr";
        QTest::newRow("blanc et commande dans l'adresse") << "a b;rm -rf@c.fr"
                                                          << ""
                                                          << ""
                                                          << ""
                                                          << "mailto:a%20b%3Brm%20-rf@c.fr";
        QTest::newRow("plusieurs copies") << "moi@zapo.fr"
                                          << ""
                                          << ""
                                          << "a@b.fr,c@d.fr&x=1"
                                          << "mailto:moi@zapo.fr?CC=a@b.fr,c@d.fr%26x%3D1";
    }
    void encodage() {
        QFETCH(QString, adresse);
        QFETCH(QString, sujet);
        QFETCH(QString, corps);
        QFETCH(QString, copie);
        QFETCH(QString, attendue);
        QCOMPARE(apropos::adresse_mail(adresse, sujet, corps, copie, QString()), attendue);
        apropos::envoyer_mail(ctx, ouvreur(), adresse, sujet, corps, copie, QString());
        QCOMPARE(liens.size(), 1);
        QCOMPARE(QString::fromLatin1(liens[0].toEncoded()), attendue);
        QCOMPARE(liens[0].scheme(), QStringLiteral("mailto"));
        if (!sujet.isEmpty())
            QCOMPARE(QUrlQuery(liens[0]).queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded),
                     QLatin1Char('"') + sujet + QLatin1Char('"'));
        if (!corps.isEmpty())
            QCOMPARE(QUrlQuery(liens[0]).queryItemValue(QStringLiteral("Body"), QUrl::FullyDecoded),
                     QLatin1Char('"') + corps + QLatin1Char('"'));
    }

    void boite_propos() {
        auto* f = fl_propos::afficher(ctx, ouvreur());
        QVERIFY(f->isVisible());
        QVERIFY(!f->isModal());
        QVERIFY(f->parentWidget() == nullptr);
        QVERIFY(f->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(essais::controle<QLabel>(*f, "version")->text(), essais::version_projet());
        QCOMPARE(essais::controle<QLabel>(*f, "txt_date")->text(), QStringLiteral("12 Juin 2004"));
        QCOMPARE(essais::controle<QLabel>(*f, "Label8")->text(), apropos::auteur_nom());
        QCOMPARE(essais::controle<QLabel>(*f, "mail")->accessibleName(), apropos::auteur_mail());
        QCOMPARE(essais::controle<QLabel>(*f, "site")->accessibleName(), apropos::auteur_site());
        QVERIFY(essais::controle<QLabel>(*f, "Label6")
                    ->text()
                    .startsWith(QStringLiteral("Merci à tous ceux qui m'ont aidé ou soutenu.")));
        // Opened again: the same box.
        QCOMPARE(fl_propos::afficher(ctx, ouvreur()), f);
        QPointer<fl_propos> vue(f);
        QTest::mouseClick(essais::controle<QPushButton>(*f, "bt_ok"), Qt::LeftButton);
        QTRY_VERIFY(vue.isNull());
        QVERIFY(fl_propos::ouverte() == nullptr);
    }

    void liens_de_la_boite_data() {
        QTest::addColumn<bool>("mail");
        QTest::addColumn<bool>("reussit");
        QTest::addColumn<QString>("attendu");
        QTest::addColumn<QString>("message");
        const QString courrier = QStringLiteral("mailto:") + apropos::auteur_mail() +
                                 QStringLiteral("?Subject=%22A%20propos%20de%20Zapo-TV%20") +
                                 essais::version_projet() + QStringLiteral("%22");
        const QString site = QString::fromLatin1(QUrl(apropos::auteur_site()).toEncoded());
        QTest::newRow("mail") << true << true << courrier << QString();
        QTest::newRow("site") << false << true << site << QString();
        QTest::newRow("mail sans messagerie")
            << true << false << courrier
            << QStringLiteral("Aucun programme de messagerie n'a pu être ouvert pour écrire à « %1 ».")
                   .arg(apropos::auteur_mail());
        QTest::newRow("site sans navigateur")
            << false << false << site
            << QStringLiteral("Aucun navigateur n'a pu être ouvert pour afficher le site « %1 ».")
                   .arg(apropos::auteur_site());
    }
    void liens_de_la_boite() {
        QFETCH(bool, mail);
        QFETCH(bool, reussit);
        QFETCH(QString, attendu);
        QFETCH(QString, message);
        QVERIFY2(!apropos::auteur_mail().contains(QLatin1Char(' ')), "adresse de l'auteur simple");
        ouverture_reussit = reussit;
        auto* f = fl_propos::afficher(ctx, ouvreur());
        // Clicked as the user does: through the label's link.
        Q_EMIT(mail ? essais::controle<QLabel>(*f, "mail") : essais::controle<QLabel>(*f, "site"))
            ->linkActivated(QStringLiteral("#"));
        QCOMPARE(liens.size(), 1);
        QCOMPARE(QString::fromLatin1(liens[0].toEncoded()), attendu);
        if (message.isEmpty()) {
            QVERIFY(boites.vues.empty());
        } else {
            QCOMPARE(boites.vues.size(), size_t(1));
            QCOMPARE(boites.vues[0].titre, QStringLiteral("Zapo-TV"));
            QCOMPARE(boites.vues[0].texte, message);
            QCOMPARE(boites.vues[0].icone, icone_boite::exclamation);
        }
        QVERIFY(f->isVisible());
    }

    void aide() {
        apropos::afficher_aide(ctx);
        QCOMPARE(boites.vues.size(), size_t(1));
        QCOMPARE(boites.vues[0].titre, QStringLiteral("Zapo-TV"));
        QCOMPARE(boites.vues[0].texte, QStringLiteral("Indisponible dans cette version."));
        QCOMPARE(boites.vues[0].icone, icone_boite::information);
        QCOMPARE(boites.vues[0].boutons, boutons_boite::ok);
    }
};

QTEST_MAIN(test_liens)
#include "test_liens.moc"
