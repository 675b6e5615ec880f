// The real program as a user runs it, on an X server of its own: it starts with
// yesterday's programmes, updates by itself from a local server, and its window
// then shows every channel with what is on now. Off line it says so in its
// status line and keeps what it had.
#include "outils/scene_maj.h"

#include "outils/ecran_virtuel.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

using namespace zapo;
using namespace zapo::essais;

namespace {

const QString majauto_seule = QStringLiteral("#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n#FALSE#\r\n");
const QString erreur_connexion = QStringLiteral("Erreur de connection Internet");

// What the main window showed at its last panel refresh.
QJsonObject derniere_vue(const scene_maj& s) {
    QFile f(s.p.dossier() + QStringLiteral("/vues.jsonl"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lignes = f.readAll().trimmed().split('\n');
    return QJsonDocument::fromJson(lignes.last()).object();
}

// Each channel row as "name | on now | %".
QStringList lignes_chaines(const QJsonObject& vue) {
    QStringList res;
    for (const QJsonValue& l : vue.value(QStringLiteral("chaines")).toArray()) {
        QStringList cases;
        for (const QJsonValue& c : l.toArray())
            cases << c.toString();
        res << cases.join(QStringLiteral(" | "));
    }
    return res;
}

QStringList titres_stockes(const QString& base, int chaine) {
    QStringList res;
    donnees::base_programmes b(base);
    b.parcourir_liste([&](const donnees::ligne_liste& r) {
        if (r.chaine == chaine)
            res << r.programme;
    });
    return res;
}

} // namespace

class test_parcours_complet : public QObject {
    Q_OBJECT

    std::unique_ptr<ecran_virtuel> ecran_;

    void preparer(scene_maj& s) {
        ecran_->preparer(s.p.environnement());
        s.p.environnement().insert(QStringLiteral("ZAPO_TV_JOURNAL_VUES"),
                                   s.p.dossier() + QStringLiteral("/vues.jsonl"));
    }

    void garder_capture(const QString& nom) {
        QTest::qWait(300); // painted: the screen tells no one when it is
        if (!ecran_->capturer(QStringLiteral(ZAPO_CAPTURE_ECRAN), QStringLiteral(ZAPO_ARTEFACTS "/") + nom))
            qWarning("capture d'écran non enregistrée");
    }

private Q_SLOTS:
    void initTestCase() {
        if (!QFileInfo::exists(bibliotheque_faketime()))
            QSKIP("libfaketime absente");
        ecran_ = std::make_unique<ecran_virtuel>();
        if (!ecran_->valide())
            QSKIP("Xvfb absent");
    }

    void cleanupTestCase() { ecran_.reset(); }

    void en_ligne() {
        const auto vues = cinq_chaines();
        scene_maj s(majauto_seule, chaines_de(vues));
        QVERIFY(s.valide());
        preparer(s);
        QElapsedTimer duree;
        duree.start();
        QProcess* prog = s.p.lancer();

        // The run happens inside the window's first refresh: the first line of
        // the journal already follows it.
        QVERIFY2(attendre_que([&] { return !derniere_vue(s).isEmpty(); }, 60000),
                 "la fenêtre ne s'affiche pas");
        qInfo("mise à jour et affichage en %lld ms", duree.elapsed());
        QStringList attendu;
        for (const auto& v : vues)
            attendu << QStringList{v.c.nom, v.en_cours, v.pour_cent}.join(QStringLiteral(" | "));
        // The first paint and the refresh after it each write a view: the last one settles.
        attendre_que([&] { return lignes_chaines(derniere_vue(s)) == attendu; }, 5000);
        const QJsonObject vue = derniere_vue(s);
        QCOMPARE(lignes_chaines(vue), attendu);
        QVERIFY(vue.value(QStringLiteral("etat")).toString() != erreur_connexion);

        // Each page fetched once, and each channel's programmes, all new, in page order.
        QCOMPARE(verifier_integrite(s.p.base()), QStringLiteral("ok"));
        for (const auto& v : vues) {
            QCOMPARE(s.serveur.nb_requetes(v.c.chemin), 1);
            QStringList titres;
            for (const auto& [heure, titre] : v.c.programmes)
                titres << titre;
            QCOMPARE(titres_stockes(s.p.base(), v.c.num), titres);
        }
        const auto maj = donnees::base_programmes(s.p.base()).lire_maj();
        QVERIFY(maj.has_value());
        QCOMPARE(maj->date(), jour_essai);
        QCOMPARE(maj->heure(), 14);

        garder_capture(QStringLiteral("parcours_en_ligne.png"));
        QCOMPARE(prog->state(), QProcess::Running);
        QVERIFY(s.p.boites().isEmpty());
    }

    // Off line: dialling fails at once (no NetworkManager), or the prompt
    // nobody answers says no by itself after ten seconds.
    void hors_ligne_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("min_ms");
        QTest::addColumn<int>("max_ms");
        QTest::newRow("numérotation impossible")
            << QStringLiteral("#TRUE#\r\n#TRUE#\r\n#FALSE#\r\n#FALSE#\r\n") << 0 << 9000;
        QTest::newRow("invite sans réponse") << majauto_seule << 9500 << 40000;
    }
    void hors_ligne() {
        QFETCH(QString, options);
        QFETCH(int, min_ms);
        QFETCH(int, max_ms);
        const auto vues = cinq_chaines();
        scene_maj s(options, chaines_de(vues));
        QVERIFY(s.valide());
        preparer(s);
        // No answer to the echo.
        s.p.environnement().insert(QStringLiteral("ZAPO_TV_ADRESSE_TEST"), QString());
        const QByteArray avant = s.etat();
        QElapsedTimer duree;
        duree.start();
        QProcess* prog = s.p.lancer();

        QVERIFY2(attendre_que([&] { return !derniere_vue(s).isEmpty(); }, 60000),
                 "la fenêtre ne s'affiche pas");
        const qint64 ms = duree.elapsed();
        qInfo("échec signalé en %lld ms", ms);
        QVERIFY(ms >= min_ms && ms <= max_ms);
        attendre_que(
            [&] { return derniere_vue(s).value(QStringLiteral("etat")).toString() == erreur_connexion; },
            5000);
        const QJsonObject vue = derniere_vue(s);
        QCOMPARE(vue.value(QStringLiteral("etat")).toString(), erreur_connexion);

        // What was stored is still there, shown and byte for byte, and nothing was fetched.
        QStringList attendu;
        for (const auto& v : vues)
            attendu << QStringList{v.c.nom, QStringLiteral("Rediffusion ") + v.c.nom, QStringLiteral("50")}
                           .join(QStringLiteral(" | "));
        QCOMPARE(lignes_chaines(vue), attendu);
        QCOMPARE(s.serveur.nb_requetes_total(), 0);
        QCOMPARE(verifier_integrite(s.p.base()), QStringLiteral("ok"));
        QCOMPARE(s.etat(), avant);

        garder_capture(
            QStringLiteral("parcours_hors_ligne_%1.png").arg(min_ms > 0 ? "invite" : "numerotation"));
        QCOMPARE(prog->state(), QProcess::Running);
        QVERIFY(s.p.boites().isEmpty());
    }
};

QTEST_GUILESS_MAIN(test_parcours_complet)
#include "test_parcours_complet.moc"
