// Random sequences of what a user and the minute timer do (icon, menus, the
// window's commands, box answers, ticks of a fake clock), fired at random
// moments of real update runs against a slow server of the test's own: from
// the run's pauses, from open boxes and prompts, from timers during fetches.
// Nothing may crash, no window may be left behind, and the base must pass its
// integrity check holding either the old programmes or a whole new set.
//
// Each sequence prints its draw ("tirage"). To replay one:
//   ZAPO_TV_TIRAGE=<n> ZAPO_TV_SEQUENCES=1 test_pilote_aleatoire

#include "outils/banc_vie.h"

#include "outils/base_essai.h"
#include "outils/controles.h"
#include "suivi/executer_maj.h"
#include "vues/fl_ce_soir.h"
#include "vues/fl_recherche.h"

#include <QRandomGenerator>
#include <QTest>

#include <set>

using namespace zapo;
using namespace zapo::essais;

namespace {

using releve = std::set<std::pair<int, QString>>;

// The programmes held, by channel and title (the dates follow the fake clock).
releve lire_releve(const QString& chemin_base) {
    releve r;
    essais::base_brute b(chemin_base);
    donnees::requete q(b.poignee(), "SELECT chaine, programme FROM liste", chemin_base);
    while (q.pas())
        r.emplace(int(q.entier(0)), q.texte(1));
    return r;
}

// One channel's part of a reading.
releve de_la_chaine(const releve& r, int num) {
    releve res;
    for (const auto& p : r)
        if (p.first == num)
            res.insert(p);
    return res;
}

class sequence {
public:
    sequence(quint64 tirage, const releve& nouveau) : alea_(tirage), nouveau_(nouveau) {}

    void jouer() {
        const bool majauto = tirer(4) != 0;
        const bool connexion = tirer(2) != 0;
        const bool deconnexion = tirer(2) != 0;
        const bool agent = tirer(3) != 0;
        b_ = std::make_unique<banc_vie>(options_ini(majauto, connexion, deconnexion, agent), 1 + tirer(40),
                                        tirer(2) ? 300 : 0);
        auto& ctx = b_->m.ctx;
        b_->zone = tirer(6) != 0;
        b_->m.connexion.en_ligne = tirer(4) != 0;
        b_->m.connexion.numerotation_reussit = tirer(2) != 0;
        b_->m.horloge.regler(QDateTime(QDate(2026, 6, 12), QTime(7 + tirer(10), tirer(60))));
        avant_ = lire_releve(b_->m.base());

        // Inside the run's pauses, its prompt and every box: more of the same.
        b_->pas.chaque = [this](int) {
            if (tirer(3) == 0)
                imbrique("pause");
        };
        b_->boites.pendant = [this](const boites_espionnes::boite&) {
            if (tirer(2) == 0)
                imbrique("boite");
        };
        b_->boites.reponse = [this](const boites_espionnes::boite& v) {
            static const reponse_boite ok_annuler[] = {reponse_boite::ok, reponse_boite::annuler,
                                                       reponse_boite::aucune};
            if (v.boutons == boutons_boite::ok_annuler)
                return ok_annuler[tirer(3)];
            if (v.boutons == boutons_boite::oui_non)
                return tirer(2) ? reponse_boite::oui : reponse_boite::non;
            return reponse_boite::ok;
        };
        // A few clicks land during the fetches themselves.
        for (int i = 0, n = tirer(4); i < n; ++i)
            QTimer::singleShot(tirer(400), &temps_, [this] { imbrique("minuterie"); });

        // The run as the agent starts it, with a scripted prompt.
        coquille::branchements_agent br;
        br.zone_notification = [this] { return b_->zone; };
        br.montrer_premiere = [] {};
        br.inscrire_demarrage = [] {};
        br.retirer_demarrage = [] {};
        br.attente_zone_ms = tirer(2) ? 300 : 0;
        br.executer_maj = [this, &ctx](maj::etat_maj& etat) {
            maj::branchements m;
            m.etat = &etat;
            m.demander_connexion = [this] {
                imbrique("invite");
                return maj::reponse(tirer(3));
            };
            suivi::executer_maj(ctx, std::move(m));
        };
        b_->agent.reset();
        b_->agent = std::make_unique<coquille::fl_init>(ctx, br);

        noter("Form_Load");
        b_->agent->Form_Load();
        const int n = 8 + tirer(18);
        for (int i = 0; i < n && !b_->agent->termine(); ++i)
            agir(0);
        // Let the late timers and the wait for a notification area play out: the
        // random pace is part of the drive, not a wait for something.
        if (!b_->agent->termine())
            QTest::qWait(tirer(2) ? 50 : 450);
        if (!b_->agent->termine() && b_->agent->fenetre()) {
            noter("fermer");
            b_->agent->fenetre()->close();
        }
    }

    // What must hold once the sequence is over; empty when all is well.
    QString verifier() {
        QString erreurs;
        if (b_->m.ctx.guide && b_->m.ctx.guide->maj_en_cours())
            erreurs += QStringLiteral("mise à jour restée en cours; ");
        if (b_->agent->profondeur() != 0)
            erreurs += QStringLiteral("profondeur %1; ").arg(b_->agent->profondeur());
        if (b_->boites.max_ouvertes > 3)
            erreurs += QStringLiteral("%1 boîtes empilées; ").arg(b_->boites.max_ouvertes);
        const QString base = b_->m.base();
        termine = b_->agent->termine();
        // The agent goes; its folder and server stay for the checks below.
        b_->agent.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rearmer_boucles();
        if (fenetres_vivantes() != 0)
            erreurs += QStringLiteral("%1 fenêtre(s) restée(s); ").arg(fenetres_vivantes());
        const QString integrite = verifier_integrite(base);
        if (integrite != QLatin1String("ok"))
            erreurs += QStringLiteral("intégrité: %1; ").arg(integrite);
        const releve apres = lire_releve(base);
        nouvelle = apres == nouveau_;
        // A run stopped half-way leaves each channel all old or all new.
        std::set<int> nums;
        for (const releve* r : std::initializer_list<const releve*>{&avant_, &nouveau_, &apres})
            for (const auto& p : *r)
                nums.insert(p.first);
        for (const int n : nums) {
            const releve vu = de_la_chaine(apres, n);
            if (vu != de_la_chaine(avant_, n) && vu != de_la_chaine(nouveau_, n))
                erreurs +=
                    QStringLiteral("chaîne %1 ni ancienne ni nouvelle (%2 lignes); ").arg(n).arg(vu.size());
        }
        b_.reset();
        return erreurs;
    }

    QStringList journal;
    bool termine = false;
    bool nouvelle = false;
    int imbriquees = 0;
    int lignes_choisies = 0; // rows chosen in "Ce soir" or the search

private:
    int tirer(int n) { return int(alea_.bounded(quint32(n))); }
    void noter(const QString& quoi) { journal << QString(profondeur_, QLatin1Char(' ')) + quoi; }

    void imbrique(const char* ou) {
        if (!b_ || !b_->agent || profondeur_ >= 2 || b_->agent->termine())
            return;
        noter(QStringLiteral("[%1]").arg(QLatin1String(ou)));
        ++imbriquees;
        agir(profondeur_ + 1);
    }

    void agir(int profondeur) {
        const int avant = profondeur_;
        profondeur_ = profondeur;
        auto& a = *b_->agent;
        QPointer<vues::fl_main> f = a.fenetre();
        // Weighted: the icon and the ticks often, "Quitter" rarely (it ends the sequence).
        const int r = tirer(f ? 112 : 63);
        if (r < 20) {
            noter("icône");
            b_->clic_icone();
        } else if (r < 28) {
            noter("Mettre à jour (icône)");
            a.menu02()->trigger();
        } else if (r < 30) {
            noter("Quitter (icône)");
            a.menu01()->trigger();
        } else if (r < 50) {
            noter("tic");
            b_->m.horloge.avancer(60 * (1 + tirer(90)));
            a.tic();
        } else if (r < 58) {
            noter("attente"); // the user pauses: timers of ours may fire meanwhile
            QTest::qWait(tirer(30));
        } else if (r < 63) {
            b_->zone = !b_->zone;
            noter(b_->zone ? "zone présente" : "zone absente");
        } else if (r < 71) {
            noter("Mettre la base à jour");
            essais::controle<QAction>(*f, "amaj")->trigger();
        } else if (r < 75) {
            noter("Réduire");
            essais::controle<QAction>(*f, "afermer")->trigger();
        } else if (r < 77) {
            noter("Quitter");
            essais::controle<QAction>(*f, "aquitter")->trigger();
        } else if (r < 87) {
            QAction* options[] = {
                essais::controle<QAction>(*f, "cmajauto"), essais::controle<QAction>(*f, "cconnectauto"),
                essais::controle<QAction>(*f, "cdecauto"), essais::controle<QAction>(*f, "cagent")};
            QAction* o = options[tirer(4)];
            noter(o->objectName());
            o->trigger();
        } else if (r < 92) {
            noter("Date de la base");
            essais::controle<QAction>(*f, "adate")->trigger();
        } else if (r < 95) {
            noter("case de fermeture");
            f->close();
        } else if (r < 100) {
            noter("Mettre à jour (bouton)");
            essais::controle<QPushButton>(*f, "bt_maj")->click();
        } else if (r < 104) {
            auto* l = essais::controle<QTreeWidget>(*f, "lst_chaines");
            if (l->topLevelItemCount() > 0) {
                noter("chaîne");
                l->setCurrentItem(l->topLevelItem(tirer(l->topLevelItemCount())));
            }
        } else if (r < 108) {
            noter("Ce soir");
            essais::controle<QAction>(*f, "dcesoir")->trigger();
            choisir_ligne(vues::fl_ce_soir::ouverte(), "lst_soir", false);
        } else {
            noter("Rechercher");
            essais::controle<QAction>(*f, "drecherche")->trigger();
            if (QPointer<vues::fl_recherche> w = vues::fl_recherche::ouverte()) {
                essais::controle<QLineEdit>(*w, "txt_recherche")
                    ->setText(tirer(2) ? QStringLiteral("a") : QString());
                choisir_ligne(w.data(), "lst_resultats", true);
            }
        }
        profondeur_ = avant;
    }

    // Chooses a row of another window's list, as Enter or a double click would
    // (the main window may be loaded again meanwhile), then sometimes closes it.
    void choisir_ligne(QPointer<QWidget> w, const char* nom, bool double_clic) {
        if (!w)
            return;
        QPointer<QTreeWidget> l = essais::controle<QTreeWidget>(*w, nom);
        if (l->topLevelItemCount() > 0 && tirer(3) > 0) {
            QTreeWidgetItem* it = l->topLevelItem(tirer(l->topLevelItemCount()));
            noter(QStringLiteral("ligne de %1").arg(QLatin1String(nom)));
            ++lignes_choisies;
            if (double_clic)
                Q_EMIT l->itemDoubleClicked(it, 0);
            else
                Q_EMIT l->itemActivated(it, 0);
        }
        if (w && tirer(2)) {
            noter(QStringLiteral("fermer %1").arg(w->objectName()));
            w->close();
        }
    }

    QRandomGenerator64 alea_;
    const releve& nouveau_;
    releve avant_;
    std::unique_ptr<banc_vie> b_;
    QObject temps_;
    int profondeur_ = 0;
};

} // namespace

class test_pilote_aleatoire : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sequences() {
        // The whole new set, from one quiet run.
        releve nouveau;
        {
            banc_vie b(options_ini(false, false, false, false));
            QCOMPARE(b.m.lancer(), maj::fin_maj::complete);
            nouveau = lire_releve(b.m.base());
            QVERIFY(!nouveau.empty());
        }
        quint64 tirage = QRandomGenerator::system()->generate();
        if (qEnvironmentVariableIsSet("ZAPO_TV_TIRAGE"))
            tirage = qEnvironmentVariable("ZAPO_TV_TIRAGE").toULongLong();
        int nb = 200;
        int nb_terminees = 0, nb_nouvelles = 0, nb_imbriquees = 0, nb_lignes = 0;
        if (qEnvironmentVariableIsSet("ZAPO_TV_SEQUENCES"))
            nb = qEnvironmentVariableIntValue("ZAPO_TV_SEQUENCES");
        for (int i = 0; i < nb; ++i) {
            const quint64 t = tirage + quint64(i);
            // Printed first: a crash still leaves the draw to replay.
            std::fprintf(stderr, "tirage %llu\n", static_cast<unsigned long long>(t));
            std::fflush(stderr);
            auto* s = new sequence(t, nouveau);
            s->jouer();
            const QString erreurs = s->verifier();
            const QStringList journal = s->journal;
            nb_terminees += s->termine;
            nb_nouvelles += s->nouvelle;
            nb_imbriquees += s->imbriquees;
            nb_lignes += s->lignes_choisies;
            delete s;
            QVERIFY2(erreurs.isEmpty(), qPrintable(QStringLiteral("tirage %1: %2\n%3")
                                                       .arg(t)
                                                       .arg(erreurs, journal.join(QLatin1Char('\n')))));
        }
        // Shows that the draws reach what they are for.
        qInfo(
            "%d séquences: %d terminées par Quitter, %d avec les nouveaux programmes, %d actions imbriquées, "
            "%d lignes choisies hors de la fenêtre principale",
            nb, nb_terminees, nb_nouvelles, nb_imbriquees, nb_lignes);
    }
};

QTEST_MAIN(test_pilote_aleatoire)
#include "test_pilote_aleatoire.moc"
