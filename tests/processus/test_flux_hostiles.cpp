// Feeds built to hurt, each read by the real program during its update at
// start: it survives, keeps its peak memory under 300 MB, and stores nothing
// out of bounds.
#include "outils/scene_maj.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace zapo;
using namespace zapo::essais;

namespace {

const QString majauto_seule = QStringLiteral("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
constexpr qint64 plafond_ko = 300 * 1024;

QByteArray programme(const QByteArray& chaine, const QByteArray& titre, const QByteArray& jour = "20261207") {
    return "<programme start=\"" + jour + "200000 +0100\" channel=\"" + chaine + "\"><title>" + titre +
           "</title></programme>\n";
}

// Peak resident memory of a process, in kB; -1 when unreadable.
qint64 pic_memoire_ko(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:"))
            return l.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// 500 MiB once inflated, half a megabyte on the wire: the same member again and again.
QByteArray bombe_gzip() {
    const QByteArray membre = compresser_gzip(QByteArray(1024 * 1024, ' '));
    return membre.repeated(500);
}

} // namespace

class test_flux_hostiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (!QFileInfo::exists(bibliotheque_faketime()))
            QSKIP("libfaketime absente");
    }

    void flux_data() {
        QTest::addColumn<QByteArray>("corps");
        QTest::addColumn<bool>("succes");
        QTest::addColumn<QString>("raison");
        const QByteArray tete = "<?xml version=\"1.0\"?>\n";
        QTest::newRow("un million d'éléments imbriqués")
            << compresser_gzip(tete + "<tv><channel id=\"Une.fr\"/>" +
                               programme("Une.fr", QByteArray("<b>").repeated(1'000'000) + "fond" +
                                                       QByteArray("</b>").repeated(1'000'000)) +
                               "</tv>")
            << false
            << QStringLiteral("Le programme reçu est illisible : document XMLTV refusé : plus de 1000 "
                              "éléments imbriqués.");
        QTest::newRow("80 000 chaînes") << [&] {
            QByteArray f = tete + "<tv>";
            for (int i = 0; i < 80000; ++i)
                f += programme("C" + QByteArray::number(i) + ".fr", "x");
            return f + programme("Une.fr", "la bonne") + "</tv>";
        }() << true << QString();
        // Not hostile: what the public feed looks like (26 channels, a week, descriptions), for comparison.
        QTest::newRow("flux ordinaire de 10 Mo") << [&] {
            QByteArray f = tete + "<tv>";
            const QDateTime debut(QDate(2026, 12, 4), QTime(0, 0));
            for (int c = 0; c < 26; ++c) {
                const QByteArray id = c == 0 ? QByteArray("Une.fr") : "C" + QByteArray::number(c) + ".fr";
                f += "<channel id=\"" + id + "\"><display-name>Chaîne " + QByteArray::number(c) +
                     "</display-name></channel>\n";
            }
            for (int c = 0; c < 26; ++c) {
                const QByteArray id = c == 0 ? QByteArray("Une.fr") : "C" + QByteArray::number(c) + ".fr";
                for (int n = 0; n < 7 * 24 * 60 / 25; ++n) {
                    const QByteArray t =
                        debut.addSecs(qint64(n) * 1500).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
                    f +=
                        "<programme start=\"" + t + " +0100\" channel=\"" + id +
                        "\"><title lang=\"fr\">Émission " + QByteArray::number(n) +
                        "</title><desc lang=\"fr\">" +
                        QByteArray("Une description de l'émission, ses invités et ses lieux. ").repeated(14) +
                        "</desc></programme>\n";
                }
            }
            return f + "</tv>";
        }() << true << QString();
        QTest::newRow("bombe gzip") << bombe_gzip() << false
                                    << QStringLiteral("Le document décompressé dépasse 64 Mo.");
        // Answers with status 200 that give the channel nothing for today: failures, not empty successes.
        QTest::newRow("page de connexion Wi-Fi")
            << QByteArray("<!DOCTYPE html><html><head><title>Portail</title></head><body><h1>Bienvenue</h1>"
                          "<form method=\"post\" action=\"/connexion\"><label>Code d'accès</label>"
                          "<input name=\"code\"><button>Se connecter</button></form></body></html>")
            << false << QStringLiteral("La réponse n'est pas un programme XMLTV.");
        QTest::newRow("flux d'il y a une semaine")
            << tete + "<tv><channel id=\"Une.fr\"/>" + programme("Une.fr", "Vieux", "20261130") +
                   programme("Une.fr", "Encore vieux", "20261201") + "</tv>"
            << false << QStringLiteral("Le flux ne contient aucun programme pour aujourd'hui.");
        QTest::newRow("entités") << tete + "<!DOCTYPE tv [<!ENTITY e \"" + QByteArray(4000, 'z') +
                                        "\">]><tv>" + programme("Une.fr", QByteArray("&e;").repeated(10000)) +
                                        "</tv>"
                                 << false << QString();
    }
    void flux() {
        QFETCH(QByteArray, corps);
        QFETCH(bool, succes);
        QFETCH(QString, raison);
        const auto chaines = trois_chaines();
        scene_maj s(majauto_seule, {chaines[0]});
        QVERIFY(s.valide());
        serveur_http::reponse r;
        r.type_contenu = "application/octet-stream";
        r.corps = corps;
        s.serveur.definir(chaines[0].chemin, r);
        executer_sql(s.p.base(), "UPDATE chaines SET adresse = adresse || '#Une.fr'");
        const QByteArray liste_avant = vider_table(s.p.base(), "liste");
        const QByteArray maj_avant = vider_table(s.p.base(), "maj");

        QElapsedTimer duree;
        duree.start();
        QProcess* prog = s.p.lancer();
        QVERIFY(prog->waitForStarted());
        const qint64 pid = prog->processId();
        qint64 pic = 0;
        // The run is over when its channel's health is written.
        const bool fini = attendre_que(
            [&] {
                pic = std::max(pic, pic_memoire_ko(pid));
                return !donnees::base_programmes(s.p.base()).lire_sante().empty() ||
                       prog->state() != QProcess::Running;
            },
            90000);
        pic = std::max(pic, pic_memoire_ko(pid));
        qInfo("fin en %lld ms, pic %lld ko", duree.elapsed(), pic);
        QCOMPARE(prog->state(), QProcess::Running);
        QVERIFY(fini);
#ifndef ZAPO_SOUS_SANITISEUR
        QVERIFY2(pic > 0 && pic < plafond_ko, qPrintable(QString::number(pic)));
#endif

        const auto sante = donnees::base_programmes(s.p.base()).lire_sante();
        QCOMPARE(sante.at(chaines[0].num).succes, succes);
        if (!raison.isEmpty())
            QCOMPARE(sante.at(chaines[0].num).raison, raison);
        if (!succes) {
            // The only channel failed: nothing moved, and the base is not stamped up to date.
            QCOMPARE(vider_table(s.p.base(), "liste"), liste_avant);
            QCOMPARE(vider_table(s.p.base(), "maj"), maj_avant);
        }
        donnees::base_programmes(s.p.base()).parcourir_liste([](const donnees::ligne_liste& l) {
            QVERIFY(l.programme.size() <= titre_max);
        });
    }
};

QTEST_MAIN(test_flux_hostiles)
#include "test_flux_hostiles.moc"
