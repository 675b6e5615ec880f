// Every window through Qt's accessibility interface, as a screen reader sees it,
// and every dialog driven from the keyboard alone.
#include "modele/guide.h"
#include "outils/banc_fenetre.h"
#include "outils/banc_maj.h"

#include "apropos/fl_propos.h"
#include "chaines/fl_chaine.h"
#include "composants/annonce.h"
#include "coquille/fl_premiere.h"
#include "suivi/fl_connect.h"
#include "vues/etat_fraicheur.h"
#include "vues/fl_grille.h"
#include "vues/fl_main.h"
#include "vues/fl_recherche.h"

#include "composants/dessins.h"
#include "outils/controles.h"
#include "outils/faux_services.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTreeWidget>

#include <cmath>
#include <functional>

using namespace zapo;
using namespace zapo::essais;

namespace {

// Events sent to assistive technology, by object and kind.
struct evenements {
    QList<QPair<QObject*, QAccessible::Event>> vus;
    int nombre(QObject* o, QAccessible::Event t) const {
        int n = 0;
        for (const auto& [objet, type] : vus)
            n += objet == o && type == t;
        return n;
    }
};
evenements* ecoute = nullptr;
void recevoir(QAccessibleEvent* e) {
    if (ecoute)
        ecoute->vus.append({e->object(), e->type()});
}

QString texte_affiche(const QLabel* l) {
    const bool riche = l->textFormat() == Qt::RichText ||
                       (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
    return riche ? QTextDocumentFragment::fromHtml(l->text()).toPlainText() : l->text();
}

QString nom_accessible(QObject* o) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
    return i ? i->text(QAccessible::Name) : QString();
}

// Whatever a cell shows (text or picture) is given a name.
void verifier_cellules(QTreeWidget* l, QStringList& fautes) {
    QAccessibleInterface* arbre = QAccessible::queryAccessibleInterface(l);
    QAccessibleTableInterface* table = arbre ? arbre->tableInterface() : nullptr;
    if (!table) {
        fautes << l->objectName() + QStringLiteral(" : pas de table");
        return;
    }
    for (int r = 0; r < l->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* it = l->topLevelItem(r);
        for (int c = 0; c < l->columnCount(); ++c) {
            if (l->isColumnHidden(c) || (it->text(c).isEmpty() && it->icon(c).isNull()))
                continue;
            QAccessibleInterface* cellule = table->cellAt(r, c);
            const QString nom = cellule ? cellule->text(QAccessible::Name) : QString();
            if (nom.isEmpty() || !nom.contains(it->text(c)))
                fautes << QStringLiteral("%1 [%2,%3] « %4 » lu « %5 »")
                              .arg(l->objectName())
                              .arg(r)
                              .arg(c)
                              .arg(it->text(c), nom);
        }
    }
}

void parcourir(QAccessibleInterface* i, QStringList& fautes, int profondeur = 0) {
    if (!i || profondeur > 40 || i->state().invisible)
        return;
    static const QList<QAccessible::Role> interactifs = {
        QAccessible::PushButton, QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ProgressBar,
        QAccessible::List,       QAccessible::Tree,     QAccessible::Table,       QAccessible::ListItem,
        QAccessible::Graphic,    QAccessible::MenuItem, QAccessible::Link};
    if (interactifs.contains(i->role()) && i->text(QAccessible::Name).trimmed().isEmpty())
        fautes << QStringLiteral("sans nom : rôle %1, objet %2")
                      .arg(int(i->role()))
                      .arg(i->object() ? i->object()->objectName() : QStringLiteral("?"));
    // Rows of item views are checked cell by cell, with what they show.
    if (i->tableInterface())
        return;
    for (int n = 0; n < i->childCount(); ++n)
        parcourir(i->child(n), fautes, profondeur + 1);
}

// Each visible label is read as it shows; every element one can act on, and
// every picture, has a name.
QStringList fautes_arbre(QWidget* fenetre) {
    QStringList fautes;
    for (QLabel* l : fenetre->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(fenetre))
            continue;
        const QString nom = nom_accessible(l);
        if (!l->pixmap().isNull() && nom.isEmpty())
            fautes << l->objectName() + QStringLiteral(" : image sans nom");
        const QString texte = texte_affiche(l).trimmed();
        if (!texte.isEmpty() && !nom.contains(texte))
            fautes << QStringLiteral("%1 montre « %2 » mais se lit « %3 »").arg(l->objectName(), texte, nom);
    }
    for (QTreeWidget* l : fenetre->findChildren<QTreeWidget*>())
        if (l->isVisibleTo(fenetre))
            verifier_cellules(l, fautes);
    for (QMenuBar* barre : fenetre->findChildren<QMenuBar*>())
        for (QAction* m : barre->actions())
            for (QAction* a : m->menu()->actions())
                if (!a->isSeparator() && a->text().isEmpty())
                    fautes << m->text() + QStringLiteral(" : élément sans nom");
    parcourir(QAccessible::queryAccessibleInterface(fenetre), fautes);
    return fautes;
}

double luminance(const QColor& c) {
    auto canal = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * canal(c.redF()) + 0.7152 * canal(c.greenF()) + 0.0722 * canal(c.blueF());
}
double contraste(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Each label's text against the background it is painted on, and each list's
// text against its own background.
QStringList textes_peu_lisibles(QWidget* fenetre) {
    QStringList fautes;
    for (QLabel* l : fenetre->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(fenetre) || l->text().isEmpty() || l->textFormat() == Qt::RichText)
            continue;
        const QWidget* fond = l;
        while (fond->parentWidget() && !fond->autoFillBackground() &&
               !fond->testAttribute(Qt::WA_StyledBackground) && !fond->isWindow())
            fond = fond->parentWidget();
        const QColor f = fond->palette().color(fond->backgroundRole());
        const QColor t = l->palette().color(l->foregroundRole());
        if (contraste(f, t) < 3)
            fautes << QStringLiteral("%1 : %2 sur %3").arg(l->objectName(), t.name(), f.name());
    }
    for (QAbstractItemView* v : fenetre->findChildren<QAbstractItemView*>()) {
        const QColor f = v->viewport()->palette().color(QPalette::Base);
        const QColor t = v->palette().color(QPalette::Text);
        if (contraste(f, t) < 3)
            fautes << QStringLiteral("%1 : %2 sur %3").arg(v->objectName(), t.name(), f.name());
    }
    return fautes;
}

QPalette palette_sombre() {
    QPalette p;
    for (auto [role, couleur] : {std::pair{QPalette::Window, QColor(40, 40, 40)},
                                 {QPalette::WindowText, QColor(235, 235, 235)},
                                 {QPalette::Base, QColor(30, 30, 30)},
                                 {QPalette::Text, QColor(235, 235, 235)},
                                 {QPalette::Button, QColor(50, 50, 50)},
                                 {QPalette::ButtonText, QColor(235, 235, 235)}})
        p.setColor(role, couleur);
    return p;
}

std::vector<QPixmap> seize_logos() {
    std::vector<QPixmap> logos;
    for (int n = 1; n <= 16; ++n)
        logos.push_back(composants::dessiner_logo(n));
    return logos;
}

// Shows a window and waits until it has the keyboard.
bool activer(QWidget* w) {
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Keys sent one by one to whatever has the focus, while the window stays open.
void frapper(QWidget* fenetre, const QList<int>& touches, const std::function<void()>& apres = {}) {
    const QPointer<QWidget> f = fenetre;
    for (int t : touches) {
        if (!f || !f->isVisible())
            return;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(t));
        if (f && apres)
            apres();
    }
}

} // namespace

class test_accessibilite : public QObject {
    Q_OBJECT
    evenements evts;

private Q_SLOTS:
    void initTestCase() {
        composants::diffuser_annonce = &recevoir;
        ecoute = &evts;
    }
    void init() { evts = {}; }
    void cleanupTestCase() { ecoute = nullptr; }

    // Each window as a screen reader reads it, under a light and a dark theme:
    // labels read as shown, everything one acts on named, no light-on-light text.
    void fenetres_data() {
        QTest::addColumn<QString>("fenetre");
        QTest::addColumn<bool>("sombre");
        for (const char* f :
             {"principale", "progression", "premiere", "a_propos", "ajout", "invite", "recherche", "grille"})
            for (bool sombre : {false, true})
                QTest::addRow("%s %s", f, sombre ? "sombre" : "clair") << QString::fromLatin1(f) << sombre;
    }
    void fenetres() {
        QFETCH(QString, fenetre);
        QFETCH(bool, sombre);
        const QPalette avant = QApplication::palette();
        const auto remettre = qScopeGuard([&] { QApplication::setPalette(avant); });
        if (sombre)
            QApplication::setPalette(palette_sombre());
        banc_principal b;
        std::unique_ptr<QWidget> w;
        if (fenetre == QLatin1String("principale")) {
            b.remplir();
            w = std::move(b.f);
        } else if (fenetre == QLatin1String("progression")) {
            auto* f = new suivi::fl_maj;
            f->ecrire_cours(QStringLiteral("Récupération TF1"));
            w.reset(f);
        } else if (fenetre == QLatin1String("premiere")) {
            w = std::make_unique<coquille::fl_premiere>(b.ctx, std::function<void()>{},
                                                        std::function<void()>{});
        } else if (fenetre == QLatin1String("a_propos")) {
            w.reset(apropos::fl_propos::afficher(b.ctx, [](const QUrl&) { return true; }));
        } else if (fenetre == QLatin1String("ajout")) {
            w.reset(chaines::fl_chaine::afficher(b.ctx, seize_logos()));
        } else if (fenetre == QLatin1String("recherche")) {
            auto* f = vues::fl_recherche::afficher(b.ctx, {});
            essais::controle<QLineEdit>(*f, "txt_recherche")->setText(QStringLiteral("e"));
            w.reset(f);
        } else if (fenetre == QLatin1String("grille")) {
            w.reset(vues::fl_grille::afficher(b.ctx, {}));
        } else {
            w = std::make_unique<suivi::fl_connect>(b.ctx);
        }
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QStringList fautes = fautes_arbre(w.get()) + textes_peu_lisibles(w.get());
        QVERIFY2(fautes.isEmpty(), qPrintable(fautes.join('\n')));
    }

    // A text that changes is announced: the status line, the panel, the date.
    void annonces_fenetre_principale() {
        banc_principal b;
        b.remplir();
        evts = {};
        b.h.regler(QDateTime(QDate(2026, 12, 7), QTime(21, 20)));
        b.guide.definir_statut(zapo::modele::statut_maj::pas_a_jour);
        b.f->tps_minute_Timer();
        QCOMPARE(essais::controle<QLabel>(*b.f, "txt_etat")->text(),
                 QStringLiteral("La base n'est pas à jour."));
        QCOMPARE(essais::controle<QLabel>(*b.f, "txt1")->text(), QStringLiteral("Journal"));
        for (QLabel* l : {essais::controle<QLabel>(*b.f, "txt_etat"), essais::controle<QLabel>(*b.f, "txt1"),
                          essais::controle<QLabel>(*b.f, "txt_hd1"),
                          essais::controle<QLabel>(*b.f, "txt_hf1"), essais::controle<QLabel>(*b.f, "txt2")})
            QVERIFY2(evts.nombre(l, QAccessible::NameChanged) > 0, qPrintable(l->objectName()));
        // A minute later with nothing new: silence.
        evts = {};
        b.f->tps_minute_Timer();
        QVERIFY(evts.vus.isEmpty());
    }

    void noms_de_chaines_lisibles_data() {
        QTest::addColumn<QString>("nom");
        for (const char* n : {"TF1 Séries Films", "RMC Découverte", "France 2", "Canal+"})
            QTest::newRow(n) << QString::fromUtf8(n);
    }
    // The style's own text rectangle holds the whole name: nothing is cut.
    void noms_de_chaines_lisibles() {
        QFETCH(QString, nom);
        banc_principal b;
        b.remplir();
        QVERIFY(QTest::qWaitForWindowExposed(b.f.get()));
        QTreeWidget* l = essais::controle<QTreeWidget>(*b.f, "lst_chaines");
        const auto trouves = l->findItems(nom, Qt::MatchExactly);
        QCOMPARE(trouves.size(), 1);
        QTreeWidgetItem* it = trouves.first();
        QStyleOptionViewItem opt;
        opt.initFrom(l->viewport());
        opt.rect = l->visualItemRect(it);
        opt.rect.setLeft(l->header()->sectionViewportPosition(0));
        opt.rect.setWidth(l->columnWidth(0));
        opt.font = l->font();
        opt.fontMetrics = QFontMetrics(l->font());
        opt.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
        opt.decorationSize = l->iconSize();
        opt.decorationPosition = QStyleOptionViewItem::Left;
        opt.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        opt.text = nom;
        opt.icon = it->icon(0);
        const QRect texte = l->style()->subElementRect(QStyle::SE_ItemViewItemText, &opt, l);
        const int marge = l->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, l) + 1;
        QVERIFY2(opt.fontMetrics.horizontalAdvance(nom) <= texte.width() - 2 * marge,
                 qPrintable(QStringLiteral("%1 px pour %2 px")
                                .arg(texte.width() - 2 * marge)
                                .arg(opt.fontMetrics.horizontalAdvance(nom))));
        // The list still shows every column without a sideways scroll bar.
        QVERIFY(!l->horizontalScrollBar()->isVisible());
        QVERIFY(l->columnWidth(1) >= 1520 / 15);
    }

    // The main window's commands from the keyboard, and the shortcuts in the menus.
    void raccourcis_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeySequence>("touches");
        QTest::newRow("Mettre à jour") << "amaj" << QKeySequence(Qt::Key_F5);
        QTest::newRow("Supprimer") << "dsupr" << QKeySequence(Qt::Key_Delete);
        QTest::newRow("Quitter") << "aquitter" << QKeySequence(Qt::CTRL | Qt::Key_Q);
        QTest::newRow("Rechercher") << "drecherche" << QKeySequence(Qt::CTRL | Qt::Key_F);
    }
    void raccourcis() {
        QFETCH(QString, action);
        QFETCH(QKeySequence, touches);
        banc_principal b;
        b.remplir();
        QVERIFY(activer(b.f.get()));
        auto* a = b.f->findChild<QAction*>(action);
        QVERIFY(a);
        QCOMPARE(a->shortcut(), touches);
        QVERIFY(a->isShortcutVisibleInContextMenu() || !b.f->menuBar()->actions().isEmpty());
        QSignalSpy declenche(a, &QAction::triggered);
        // From the channel list, where the focus is most of the time.
        essais::controle<QTreeWidget>(*b.f, "lst_chaines")->setFocus();
        QTest::keySequence(b.f.get(), touches);
        QCOMPARE(declenche.size(), 1);
    }

    // F10 opens the first menu; the arrows and Enter choose an item.
    void menus_au_clavier_data() {
        QTest::addColumn<QList<int>>("touches");
        QTest::addColumn<QString>("action");
        using L = QList<int>;
        QTest::newRow("Date de la base") << L{Qt::Key_Down, Qt::Key_Return} << "adate";
        QTest::newRow("Réduire") << L{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << "afermer";
        QTest::newRow("Grille") << L{Qt::Key_Right, Qt::Key_Up, Qt::Key_Return} << "dgrille";
        QTest::newRow("Ce soir") << L{Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Return} << "dcesoir";
        QTest::newRow("Rechercher") << L{Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Return}
                                    << "drecherche";
        QTest::newRow("Vider la liste")
            << L{Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Return} << "dvide";
        QTest::newRow("A propos") << L{Qt::Key_Left, Qt::Key_Up, Qt::Key_Return} << "bpropos";
    }
    void menus_au_clavier() {
        QFETCH(QList<int>, touches);
        QFETCH(QString, action);
        banc_principal b;
        b.remplir();
        QVERIFY(activer(b.f.get()));
        auto* a = b.f->findChild<QAction*>(action);
        QVERIFY(a);
        QSignalSpy declenche(a, &QAction::triggered);
        essais::controle<QTreeWidget>(*b.f, "lst_chaines")->setFocus();
        QTest::keyClick(b.f.get(), Qt::Key_F10);
        QTRY_VERIFY(QApplication::activePopupWidget());
        for (int t : touches) {
            QWidget* cible = QApplication::activePopupWidget();
            QVERIFY(cible);
            QTest::keyClick(cible, Qt::Key(t));
        }
        QTRY_COMPARE(declenche.size(), 1);
    }

    // Tab walks the main window's controls in reading order.
    void ordre_tabulation_principale() {
        banc_principal b;
        b.remplir();
        QVERIFY(activer(b.f.get()));
        essais::controle<QPushButton>(*b.f, "bt_maj")->setFocus();
        QStringList vus{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            vus << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(vus, QStringList({"bt_maj", "lst_chaines", "bt_ajouter", "bt_suppr", "lst_prog"}));
    }

    // The progress window during a real run: what it shows is what is read,
    // and each new operation is announced.
    void fenetre_progression_data() {
        QTest::addColumn<bool>("en_ligne");
        QTest::addColumn<QStringList>("attendus"); // among the texts read
        QTest::newRow("en ligne") << true << QStringList{"Récupération Télé Une", "ECHEC Sans Page"};
        QTest::newRow("hors ligne") << false << QStringList{"Erreur de connection Internet"};
    }
    void fenetre_progression() {
        QFETCH(bool, en_ligne);
        QFETCH(QStringList, attendus);
        banc_maj b;
        for (const auto& c : trois_chaines())
            b.ajouter(c);
        b.ajouter({7, QStringLiteral("Sans Page"), QStringLiteral("/rien"), {}}, false);
        b.connexion.en_ligne = b.connexion.numerotation_reussit = en_ligne;
        b.reponse_invite = 1;
        QStringList fautes, lus;
        b.sur_cours = [&](suivi::fl_maj& f, const QString& t) {
            if (f.isVisible())
                fautes << fautes_arbre(&f);
            lus << nom_accessible(essais::controle<QLabel>(f, "txt_cours"));
            if (evts.nombre(essais::controle<QLabel>(f, "txt_cours"), QAccessible::NameChanged) == 0)
                fautes << QStringLiteral("« %1 » non annoncé").arg(t);
            if (essais::controle<QLabel>(f, "txt_cours")->accessibleDescription() !=
                QStringLiteral("Opération en cours"))
                fautes << QStringLiteral("description perdue");
            evts = {};
        };
        b.lancer();
        QVERIFY2(fautes.isEmpty(), qPrintable(fautes.join('\n')));
        for (const QString& a : attendus)
            QVERIFY2(lus.contains(a), qPrintable(a));
    }

    // Escape and Enter in the progress window both stop the run, as "Annuler".
    void progression_clavier_data() {
        QTest::addColumn<int>("touche");
        QTest::newRow("Échap") << int(Qt::Key_Escape);
        QTest::newRow("Entrée") << int(Qt::Key_Return);
    }
    void progression_clavier() {
        QFETCH(int, touche);
        banc_maj b;
        for (const auto& c : trois_chaines())
            b.ajouter(c);
        b.sur_cours = [&](suivi::fl_maj& f, const QString& t) {
            if (t.startsWith(QStringLiteral("Récupération")))
                QTest::keyClick(&f, Qt::Key(touche));
        };
        QCOMPARE(b.lancer(), maj::fin_maj::annulee);
        QCOMPARE(b.cours.size(), 2);
    }

    void invite_clavier_data() {
        QTest::addColumn<QList<int>>("touches");
        QTest::addColumn<int>("reponse");
        QTest::addColumn<bool>("memorise");
        using L = QList<int>;
        QTest::newRow("Entrée : OUI") << L{Qt::Key_Return} << 2 << false;
        QTest::newRow("Tab puis Entrée : NON") << L{Qt::Key_Tab, Qt::Key_Return} << 1 << false;
        QTest::newRow("Tab puis Espace : NON") << L{Qt::Key_Tab, Qt::Key_Space} << 1 << false;
        QTest::newRow("Échap : pas de réponse") << L{Qt::Key_Escape} << 0 << false;
        QTest::newRow("case cochée puis OUI")
            << L{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Return} << 2 << true;
    }
    void invite_clavier() {
        QFETCH(QList<int>, touches);
        QFETCH(int, reponse);
        QFETCH(bool, memorise);
        contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        int enregistrements = 0;
        essais::fausse_appli appli;
        appli.enregistrer = [&] { ++enregistrements; };
        ctx.appli = &appli;
        // Kept after closing, to read its answer.
        QPointer<suivi::fl_connect> f = new suivi::fl_connect(ctx);
        QVERIFY(activer(f));
        QCOMPARE(QApplication::focusWidget(), essais::controle<QPushButton>(*f, "bt_oui"));
        f->tps_non_Timer(); // the countdown is read as it shows
        QCOMPARE(nom_accessible(essais::controle<QPushButton>(*f, "bt_non")), QStringLiteral("NON (9)"));
        frapper(f, touches);
        QTRY_VERIFY(!f->isVisible());
        QCOMPARE(int(f->reponse_connexion), reponse);
        QCOMPARE(ctx.options.opt_connexion, memorise);
        QCOMPARE(enregistrements, memorise ? 1 : 0);
        delete f;
    }

    void premiere_clavier_data() {
        QTest::addColumn<QList<int>>("touches");
        QTest::addColumn<int>("resultat");
        QTest::addColumn<QList<bool>>("options");
        using L = QList<int>;
        using B = QList<bool>;
        QTest::newRow("Entrée") << L{Qt::Key_Return} << int(QDialog::Accepted)
                                << B{true, false, false, false};
        QTest::newRow("Échap") << L{Qt::Key_Escape} << int(QDialog::Rejected) << B{true, false, false, false};
        QTest::newRow("Espace sur la première case")
            << L{Qt::Key_Space, Qt::Key_Return} << int(QDialog::Accepted) << B{false, false, false, false};
        QTest::newRow("Tab jusqu'à l'agent")
            << L{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Space}
            << int(QDialog::Accepted) << B{true, false, false, true};
    }
    void premiere_clavier() {
        QFETCH(QList<int>, touches);
        QFETCH(int, resultat);
        QFETCH(QList<bool>, options);
        contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        int inscrit = 0, retire = 0;
        coquille::fl_premiere f(
            ctx, [&] { ++inscrit; }, [&] { ++retire; });
        QVERIFY(activer(&f));
        QCOMPARE(QApplication::focusWidget(), essais::controle<QCheckBox>(f, "choix_0"));
        frapper(&f, touches);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.result(), resultat);
        QCOMPARE(QList<bool>({ctx.options.opt_majauto, ctx.options.opt_connexion, ctx.options.opt_deconnexion,
                              ctx.options.opt_agent}),
                 options);
        QCOMPARE(inscrit + retire, resultat == QDialog::Accepted ? 1 : 0);
    }

    // The add-channel dialog without a mouse.
    void ajout_clavier_data() {
        QTest::addColumn<QList<int>>("touches");
        QTest::addColumn<int>("image");
        QTest::addColumn<int>("ajoutees");
        QTest::addColumn<bool>("ouverte");
        QTest::addColumn<QString>("focus"); // after the keys, when still open
        using L = QList<int>;
        QTest::newRow("rien") << L{} << 1 << 0 << true << "bt_annuler";
        QTest::newRow("Tab : OK puis la liste")
            << L{Qt::Key_Tab, Qt::Key_Tab} << 1 << 0 << true << "lst_dispo";
        QTest::newRow("Tab : puis > et <")
            << L{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab} << 1 << 0 << true << "bt_preced";
        QTest::newRow("droite") << L{Qt::Key_Right} << 2 << 0 << true << "bt_annuler";
        QTest::newRow("gauche tourne au dernier") << L{Qt::Key_Left} << 16 << 0 << true << "bt_annuler";
        QTest::newRow("flèches depuis la liste")
            << L{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left} << 3
            << 0 << true << "lst_dispo";
        QTest::newRow("Entrée sur Annuler") << L{Qt::Key_Return} << 1 << 0 << false << "";
        QTest::newRow("Échap") << L{Qt::Key_Right, Qt::Key_Escape} << 2 << 0 << false << "";
        QTest::newRow("choix au clavier puis Entrée")
            << L{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Right, Qt::Key_Return} << 2 << 1 << false
            << "";
        QTest::newRow("Entrée sans choix ne ferme pas")
            << L{Qt::Key_Tab, Qt::Key_Return} << 1 << 0 << true << "bt_ok";
    }
    void ajout_clavier() {
        QFETCH(QList<int>, touches);
        QFETCH(int, image);
        QFETCH(int, ajoutees);
        QFETCH(bool, ouverte);
        QFETCH(QString, focus);
        dossier_essai dossier;
        fausses_boites boites;
        contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        ctx.dossier_appli = dossier.chemin();
        ctx.boites = &boites;
        QSignalSpy annonces(&guide_essai, &zapo::modele::guide::chaines_changees);
        essais::fausse_appli appli;
        ctx.appli = &appli;
        QPointer<chaines::fl_chaine> f = chaines::fl_chaine::afficher(ctx, seize_logos());
        QVERIFY(activer(f));
        QCOMPARE(QApplication::focusWidget(), essais::controle<QPushButton>(*f, "bt_annuler"));
        int derniere_image = 1;
        frapper(f, touches, [&] { derniere_image = f->image_courante; });
        QCOMPARE(derniere_image, image);
        if (ouverte) {
            QVERIFY(f && f->isVisible());
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QCOMPARE(nom_accessible(essais::controle<QLabel>(*f, "img")),
                     QStringLiteral("Logo %1 sur 16").arg(image));
            QCOMPARE(nom_accessible(essais::controle<QPushButton>(*f, "bt_preced")),
                     QStringLiteral("Image précédente"));
            QCOMPARE(nom_accessible(essais::controle<QPushButton>(*f, "bt_suiv")),
                     QStringLiteral("Image suivante"));
        } else {
            QTRY_VERIFY(!f);
        }
        const auto ch = donnees::base_programmes(dossier.base()).lire_chaines();
        QCOMPARE(int(ch.size()), ajoutees);
        if (ajoutees) {
            QCOMPARE(ch.front().num_image, image);
            QCOMPARE(annonces.size(), 1);
        }
        delete f;
    }

    void a_propos_clavier_data() {
        QTest::addColumn<QList<int>>("touches");
        QTest::addColumn<QString>("lien"); // scheme of the address opened, or empty
        QTest::addColumn<bool>("ouverte");
        using L = QList<int>;
        QTest::newRow("Entrée : OK") << L{Qt::Key_Return} << "" << false;
        QTest::newRow("Échap") << L{Qt::Key_Escape} << "" << false;
        QTest::newRow("Tab puis Entrée : le courriel") << L{Qt::Key_Tab, Qt::Key_Return} << "mailto" << true;
    }
    void a_propos_clavier() {
        QFETCH(QList<int>, touches);
        QFETCH(QString, lien);
        QFETCH(bool, ouverte);
        contexte ctx;
        zapo::modele::guide guide_essai(ctx);
        ctx.guide = &guide_essai;
        fausses_boites boites;
        ctx.boites = &boites;
        QStringList ouverts;
        QPointer<apropos::fl_propos> f = apropos::fl_propos::afficher(ctx, [&](const QUrl& u) {
            ouverts << u.scheme();
            return true;
        });
        QVERIFY(activer(f));
        frapper(f, touches);
        QCOMPARE(ouverts, lien.isEmpty() ? QStringList() : QStringList{lien});
        if (ouverte)
            QVERIFY(f && f->isVisible());
        else
            QTRY_VERIFY(!f);
        delete f;
    }
};

QTEST_MAIN(test_accessibilite)
#include "test_accessibilite.moc"
