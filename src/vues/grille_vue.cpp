#include "vues/grille_vue.h"

#include "composants/annonce.h"
#include "composants/dessins.h"
#include "vues/outils_vues.h"
#include "vues/rappels_vues.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace zapo::vues {

namespace {

constexpr qint64 minute_s = 60;

bool theme_sombre(const QPalette& p) {
    return p.color(QPalette::Base).lightness() < 128;
}

QColor couleur(std::uint32_t rgb) {
    return QColor::fromRgb(QRgb(0xFF000000u | rgb));
}

// ---- Accessibility: the grid is a table, each programme one of its cells ----

class acc_grille;

class acc_cellule final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    acc_cellule(vue_grille* v, int r, date_heure debut) : vue_(v), r_(r), debut_(debut) {}

    int index() const {
        if (!vue_)
            return -1;
        const auto* rg = vue_->rangee_de(r_);
        if (!rg)
            return -1;
        const auto it = std::lower_bound(rg->plages.begin(), rg->plages.end(), debut_,
                                         [](const plage_grille& p, date_heure t) { return p.hdeb < t; });
        return it != rg->plages.end() && it->hdeb == debut_ ? int(it - rg->plages.begin()) : -1;
    }

    bool isValid() const override { return index() >= 0; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return vue_ && vue_->window()->windowHandle() ? vue_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(vue_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        const int i = index();
        if (i < 0 || t != QAccessible::Name)
            return QString();
        return vue_->nom_accessible(r_, i);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const int i = index();
        if (i < 0)
            return {};
        const QRect r = vue_->rect_bloc(r_, i);
        return r.isNull() ? QRect() : QRect(vue_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        const int i = index();
        if (i >= 0 && vue_->rangee_choisie() == r_ && vue_->index_choisi() == i) {
            s.selected = true;
            s.focused = vue_->hasFocus();
        }
        if (i >= 0 && vue_->rect_bloc(r_, i).isNull())
            s.invisible = s.offscreen = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                    : nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return index(); }
    int rowIndex() const override { return r_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<vue_grille> vue_;
    int r_;
    date_heure debut_;
};

class acc_grille final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit acc_grille(vue_grille* v) : QAccessibleWidget(v, QAccessible::Table) {}
    vue_grille* vue() const { return static_cast<vue_grille*>(widget()); }

    // The children are the cells in view, and the selected one wherever it is.
    std::vector<std::pair<int, int>> enfants() const {
        auto v = vue()->cellules_visibles();
        const int i = vue()->index_choisi();
        if (i >= 0 && std::find(v.begin(), v.end(), std::pair{vue()->rangee_choisie(), i}) == v.end())
            v.emplace_back(vue()->rangee_choisie(), i);
        return v;
    }
    int childCount() const override { return int(enfants().size()); }
    QAccessibleInterface* child(int n) const override {
        const auto v = enfants();
        if (n < 0 || n >= int(v.size()))
            return nullptr;
        return vue()->cellule(v[size_t(n)].first, v[size_t(n)].second);
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        const auto v = enfants();
        for (size_t n = 0; n < v.size(); ++n)
            if (vue()->cellule(v[n].first, v[n].second) == c)
                return int(n);
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        const int i = vue()->index_choisi();
        return i >= 0 ? vue()->cellule(vue()->rangee_choisie(), i) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = vue()->viewport()->mapFromGlobal(QPoint(x, y));
        for (const auto& [r, i] : vue()->cellules_visibles())
            if (vue()->rect_bloc(r, i).contains(p))
                return vue()->cellule(r, i);
        return nullptr;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // QAccessibleTableInterface: a row per channel, a column per programme read.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        const auto* rg = vue()->rangee_de(row);
        if (!rg || column < 0 || column >= int(rg->plages.size()))
            return nullptr;
        return vue()->cellule(row, column);
    }
    int selectedCellCount() const override { return vue()->index_choisi() >= 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        if (auto* c = focusChild())
            return {c};
        return {};
    }
    int columnCount() const override {
        size_t n = 0;
        for (int r = 0; r < vue()->nb_rangees(); ++r)
            n = std::max(n, vue()->rangee_de(r)->plages.size());
        return int(n);
    }
    int rowCount() const override { return vue()->nb_rangees(); }
    QString columnDescription(int) const override { return QString(); }
    QString rowDescription(int row) const override {
        const auto* rg = vue()->rangee_de(row);
        return rg ? rg->nom : QString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}
};

QAccessibleInterface* fabrique(const QString& classe, QObject* o) {
    if (classe == QLatin1String("zapo::vues::vue_grille") && o && o->isWidgetType())
        return new acc_grille(static_cast<vue_grille*>(o));
    return nullptr;
}

} // namespace

vue_grille::vue_grille(QWidget* parent) : QAbstractScrollArea(parent) {
    static const bool installee = [] {
        QAccessible::installFactory(fabrique);
        return true;
    }();
    Q_UNUSED(installee);
    setObjectName(QStringLiteral("grille"));
    setAccessibleName(QStringLiteral("Grille des programmes"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    horizontalScrollBar()->setAccessibleName(QStringLiteral("Heure"));
    verticalScrollBar()->setAccessibleName(QStringLiteral("Chaînes"));
}

vue_grille::~vue_grille() {
    oublier_cellules();
}

void vue_grille::oublier_cellules() {
    for (const QAccessible::Id id : std::as_const(cellules_))
        QAccessible::deleteAccessibleInterface(id);
    cellules_.clear();
}

QAccessibleInterface* vue_grille::cellule(int r, int index) {
    const rangee* rg = rangee_de(r);
    if (!rg || index < 0 || index >= int(rg->plages.size()))
        return nullptr;
    const QPair<int, qint64> cle{r, rg->plages[size_t(index)].hdeb.secondes()};
    if (const auto it = cellules_.constFind(cle); it != cellules_.cend())
        return QAccessible::accessibleInterface(*it);
    auto* c = new acc_cellule(this, r, rg->plages[size_t(index)].hdeb);
    cellules_.insert(cle, QAccessible::registerAccessibleInterface(c));
    return c;
}

double vue_grille::pixels_minute() const {
    return zooms_grille[std::clamp(zoom_, 0, nb_zooms_grille - 1)];
}

echelle_grille vue_grille::echelle(double densite) const {
    return {origine_, pixels_minute(), densite};
}

const vue_grille::rangee* vue_grille::rangee_de(int r) const {
    return r >= 0 && r < int(rangees_.size()) ? &rangees_[size_t(r)] : nullptr;
}

int vue_grille::index_choisi() const {
    const rangee* rg = rangee_de(sel_rangee_);
    if (!rg || !sel_debut_)
        return -1;
    const auto it = std::lower_bound(rg->plages.begin(), rg->plages.end(), *sel_debut_,
                                     [](const plage_grille& p, date_heure t) { return p.hdeb < t; });
    return it != rg->plages.end() && it->hdeb == *sel_debut_ ? int(it - rg->plages.begin()) : -1;
}

void vue_grille::definir(std::vector<rangee> rangees, date_heure origine, int nb_jours,
                         date_heure maintenant) {
    oublier_cellules();
    // The selection follows its channel, wherever that channel now is.
    const int chaine_choisie = rangee_de(sel_rangee_) ? rangee_de(sel_rangee_)->num_chaine : 0;
    const date_heure gauche = rangees_.empty() ? maintenant : temps_gauche();
    rangees_ = std::move(rangees);
    rang_chaine_.clear();
    for (int r = 0; r < int(rangees_.size()); ++r)
        rang_chaine_.insert(rangees_[size_t(r)].num_chaine, r);
    sel_rangee_ = std::max(0, int(rang_chaine_.value(chaine_choisie, 0)));
    origine_ = origine;
    nb_jours_ = std::max(1, nb_jours);
    maintenant_ = maintenant;
    charge_debut_ = charge_fin_ = origine_;
    regler_barres();
    horizontalScrollBar()->setValue(int(x_grille(echelle(), gauche)));
    assurer_charge();
    viewport()->update();
}

void vue_grille::ajouter_programmes(int num_chaine,
                                    std::vector<std::pair<plage_grille, programme>> nouveaux) {
    const auto r = rang_chaine_.constFind(num_chaine);
    if (r == rang_chaine_.cend() || nouveaux.empty())
        return;
    rangee& rg = rangees_[size_t(*r)];
    std::vector<std::pair<plage_grille, programme>> tous;
    tous.reserve(rg.plages.size() + nouveaux.size());
    for (size_t i = 0; i < rg.plages.size(); ++i)
        tous.emplace_back(rg.plages[i], std::move(rg.programmes[i]));
    for (auto& n : nouveaux)
        tous.push_back(std::move(n));
    // Known ones first among equal starts, so that a repeat never replaces them.
    std::stable_sort(tous.begin(), tous.end(),
                     [](const auto& a, const auto& b) { return a.first.hdeb < b.first.hdeb; });
    rg.plages.clear();
    rg.programmes.clear();
    rg.plages.reserve(tous.size());
    rg.programmes.reserve(tous.size());
    for (auto& [p, prog] : tous) {
        if (!rg.plages.empty() && rg.plages.back().hdeb == p.hdeb)
            continue;
        rg.plages.push_back(p);
        rg.programmes.push_back(std::move(prog));
    }
    // Cells name programmes by start: indices moved, the cache stays right.
    viewport()->update();
}

void vue_grille::definir_rappels(QSet<QPair<int, qint64>> rappels) {
    rappels_ = std::move(rappels);
    viewport()->update();
}

void vue_grille::definir_maintenant(date_heure maintenant) {
    maintenant_ = maintenant;
    viewport()->update();
}

void vue_grille::definir_filtre(std::optional<genre_programme> g) {
    filtre_ = g;
    viewport()->update();
}

void vue_grille::definir_zoom(int niveau) {
    niveau = std::clamp(niveau, 0, nb_zooms_grille - 1);
    if (niveau == zoom_)
        return;
    // The time at the left edge stays there.
    const date_heure gauche = temps_gauche();
    zoom_ = niveau;
    regler_barres();
    horizontalScrollBar()->setValue(int(x_grille(echelle(), gauche)));
    viewport()->update();
    Q_EMIT zoom_change(zoom_);
}

date_heure vue_grille::temps_gauche() const {
    return temps_grille(echelle(), horizontalScrollBar()->value());
}

void vue_grille::regler_barres() {
    const int largeur_temps = std::max(1, viewport()->width() - largeur_chaines);
    const qint64 total = x_grille(echelle(), origine_ + date_heure::duree_hm(24 * nb_jours_, 0));
    horizontalScrollBar()->setRange(0, int(std::max<qint64>(0, total - largeur_temps)));
    horizontalScrollBar()->setPageStep(largeur_temps);
    horizontalScrollBar()->setSingleStep(int(std::lround(30 * pixels_minute())));
    const int hauteur = std::max(1, viewport()->height() - hauteur_regle);
    verticalScrollBar()->setRange(0, std::max(0, int(rangees_.size()) * hauteur_rangee - hauteur));
    verticalScrollBar()->setPageStep(hauteur);
    verticalScrollBar()->setSingleStep(hauteur_rangee);
}

namespace {

// Programmes are read by quarters of a day: what is in view first, the
// neighbouring ones once the frame is painted.
constexpr qint64 quart_s = 6 * 3600;

date_heure quart_avant(date_heure origine, date_heure t) {
    const qint64 d = (t - origine).secondes();
    return origine +
           date_heure::depuis_secondes((d >= 0 ? d / quart_s : (d - quart_s + 1) / quart_s) * quart_s);
}

} // namespace

void vue_grille::assurer_charge() {
    const date_heure t0 = temps_gauche();
    const date_heure t1 =
        temps_grille(echelle(), horizontalScrollBar()->value() + viewport()->width() - largeur_chaines);
    charger_entre(quart_avant(origine_, t0),
                  quart_avant(origine_, t1) + date_heure::depuis_secondes(quart_s));
    // The rest of the shown day and the next quarters, once the frame is out.
    if (!precharge_prevue_ && charger) {
        precharge_prevue_ = true;
        QTimer::singleShot(0, this, [this] {
            precharge_prevue_ = false;
            const date_heure g = temps_gauche();
            charger_entre(std::min(g.jour(), quart_avant(origine_, g) - date_heure::depuis_secondes(quart_s)),
                          g.jour() + un_jour + date_heure::depuis_secondes(quart_s));
        });
    }
}

void vue_grille::charger_entre(date_heure debut, date_heure fin) {
    if (!charger || en_charge_)
        return;
    const date_heure fin_semaine = origine_ + date_heure::duree_hm(24 * nb_jours_, 0);
    debut = std::max(origine_, debut);
    fin = std::min(fin_semaine, fin);
    if (fin <= debut || (debut >= charge_debut_ && fin <= charge_fin_ && charge_debut_ < charge_fin_))
        return;
    en_charge_ = true;
    if (charge_debut_ >= charge_fin_) {
        charger(debut, fin);
        charge_debut_ = debut;
        charge_fin_ = fin;
    } else {
        if (debut < charge_debut_) {
            charger(debut, charge_debut_);
            charge_debut_ = debut;
        }
        if (fin > charge_fin_) {
            charger(charge_fin_, fin);
            charge_fin_ = fin;
        }
    }
    en_charge_ = false;
    viewport()->update();
}

date_heure vue_grille::fin_affichee(int r, int index) const {
    const rangee& rg = rangees_[size_t(r)];
    date_heure f = std::max(rg.plages[size_t(index)].hfin, rg.plages[size_t(index)].hdeb);
    if (size_t(index) + 1 < rg.plages.size())
        f = std::min(f, std::max(rg.plages[size_t(index) + 1].hdeb, rg.plages[size_t(index)].hdeb));
    return f;
}

QRect vue_grille::rect_bloc(int r, int index) const {
    const rangee* rg = rangee_de(r);
    if (!rg || index < 0 || index >= int(rg->plages.size()))
        return {};
    const int x0 = horizontalScrollBar()->value();
    const qint64 x = x_grille(echelle(), rg->plages[size_t(index)].hdeb) - x0 + largeur_chaines;
    const qint64 x2 = x_grille(echelle(), fin_affichee(r, index)) - x0 + largeur_chaines;
    const int y = hauteur_regle + r * hauteur_rangee - verticalScrollBar()->value();
    const QRect vue(largeur_chaines, hauteur_regle, viewport()->width() - largeur_chaines,
                    viewport()->height() - hauteur_regle);
    const qint64 g = std::max<qint64>(x, vue.left());
    const qint64 d = std::min<qint64>(std::max(x2, x + 1), vue.right() + 1);
    if (d <= g || y + hauteur_rangee <= vue.top() || y > vue.bottom())
        return {};
    return QRect(int(g), y, int(d - g), hauteur_rangee).intersected(vue);
}

std::vector<std::pair<int, int>> vue_grille::cellules_visibles() const {
    std::vector<std::pair<int, int>> res;
    if (rangees_.empty())
        return res;
    const int x0 = horizontalScrollBar()->value();
    const date_heure t0 = temps_grille(echelle(), x0);
    const date_heure t1 = temps_grille(echelle(), x0 + viewport()->width() - largeur_chaines);
    const int y0 = verticalScrollBar()->value();
    const int premiere = std::max(0, y0 / hauteur_rangee);
    const int derniere =
        std::min(int(rangees_.size()) - 1, (y0 + viewport()->height() - hauteur_regle) / hauteur_rangee);
    for (int r = premiere; r <= derniere; ++r)
        for (const bloc_grille& b : disposer_rangee(rangees_[size_t(r)].plages, echelle(), t0, t1))
            res.emplace_back(r, b.index);
    return res;
}

bool vue_grille::a_rappel(int r, int index) const {
    const rangee* rg = rangee_de(r);
    return rg && index >= 0 && index < int(rg->plages.size()) &&
           rappels_.contains({rg->num_chaine, rg->plages[size_t(index)].hdeb.secondes()});
}

QString vue_grille::nom_accessible(int r, int index) const {
    const rangee* rg = rangee_de(r);
    if (!rg || index < 0 || index >= int(rg->plages.size()))
        return QString();
    const plage_grille& p = rg->plages[size_t(index)];
    const programme& prog = rg->programmes[size_t(index)];
    QString nom = QStringLiteral("%1, %2 de %3 à %4, %5, %6")
                      .arg(rg->nom, texte_jour(p.hdeb, maintenant_), p.hdeb.format_hhnn(),
                           std::max(p.hfin, p.hdeb).format_hhnn(), prog.titre, texte_genre(prog.genre));
    if (a_rappel(r, index))
        nom += QStringLiteral(", ") + texte_rappel_prevu;
    return nom;
}

void vue_grille::paintEvent(QPaintEvent* ev) {
    assurer_charge();
    const QRegion& zone = ev->region();
    QPainter g(viewport());
    const QPalette& pal = palette();
    const bool sombre = theme_sombre(pal);
    const int l = viewport()->width();
    const int h = viewport()->height();
    g.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    const double densite = viewport()->devicePixelRatioF();
    const echelle_grille e = echelle(densite);
    const int x0 = horizontalScrollBar()->value();
    const int y0 = verticalScrollBar()->value();
    const date_heure t0 = temps_grille(echelle(), x0);
    const date_heure t1 = temps_grille(echelle(), x0 + l - largeur_chaines);
    const double decalage = largeur_chaines - x0;
    const QFontMetrics fm(font());
    QFont petite = font();
    petite.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.8));
    const QFontMetrics fmp(petite);
    const QIcon cloche = icone_cloche();
    const int premiere = std::max(0, y0 / hauteur_rangee);
    const int derniere = std::min(int(rangees_.size()) - 1, (y0 + h - hauteur_regle) / hauteur_rangee);
    const int choisi = index_choisi();

    // The blocks in view.
    g.save();
    g.setClipRect(QRect(largeur_chaines, hauteur_regle, l - largeur_chaines, h - hauteur_regle));
    for (int r = premiere; r <= derniere; ++r) {
        const rangee& rg = rangees_[size_t(r)];
        const int y = hauteur_regle + r * hauteur_rangee - y0;
        if (!zone.intersects(QRect(largeur_chaines, y, l - largeur_chaines, hauteur_rangee)))
            continue;
        for (const bloc_grille& b : disposer_rangee(rg.plages, e, t0, t1)) {
            const programme& prog = rg.programmes[size_t(b.index)];
            const plage_grille& p = rg.plages[size_t(b.index)];
            const QRectF bloc(double(b.x) / densite + decalage, y + 1, double(b.largeur) / densite,
                              hauteur_rangee - 2);
            if (!zone.intersects(bloc.toAlignedRect()))
                continue;
            const couleurs_genre c = couleurs_du_genre(prog.genre, sombre);
            const bool eteint = filtre_ && *filtre_ != prog.genre;
            QColor fond = couleur(c.fond);
            QColor texte = couleur(c.texte);
            if (eteint) {
                fond = pal.color(QPalette::Base);
                texte = pal.color(QPalette::PlaceholderText);
            }
            g.fillRect(bloc, fond);
            const bool est_choisi = r == sel_rangee_ && b.index == choisi;
            g.setPen(QPen(est_choisi ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid),
                          est_choisi ? 3 : 1));
            g.drawRect(bloc.adjusted(0.5, 0.5, -0.5, -0.5));
            // The start and title, from the visible left edge of a block that began earlier.
            const double gauche = std::max<double>(bloc.left(), largeur_chaines) + 4;
            const double droite = bloc.right() - 4;
            if (droite - gauche < 6)
                continue;
            QRectF zone(gauche, bloc.top() + 2, droite - gauche, fm.height());
            double fin_titre = zone.right();
            if (a_rappel(r, b.index) && zone.width() > 30) {
                cloche.paint(&g, QRect(int(zone.right()) - 16, int(zone.top()), 16, 16));
                fin_titre -= 18;
            }
            g.setPen(texte);
            const QString ligne = p.hdeb.format_hhnn() + QLatin1Char(' ') + prog.titre;
            g.drawText(QRectF(zone.left(), zone.top(), std::max(0.0, fin_titre - zone.left()), zone.height()),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       fm.elidedText(ligne, Qt::ElideRight, int(fin_titre - zone.left())));
            const QString marque = prog.inedit        ? QStringLiteral("Inédit")
                                   : prog.rediffusion ? QStringLiteral("Rediffusion")
                                                      : QString();
            if (!marque.isEmpty() && zone.width() > fmp.horizontalAdvance(marque)) {
                g.setFont(petite);
                g.drawText(QRectF(zone.left(), zone.bottom() + 1, zone.width(), fmp.height()),
                           Qt::AlignLeft | Qt::AlignVCenter, marque);
                g.setFont(font());
            }
        }
        g.setPen(pal.color(QPalette::Midlight));
        g.drawLine(largeur_chaines, y + hauteur_rangee - 1, l, y + hauteur_rangee - 1);
    }
    // The present moment.
    const double x_maintenant = double(x_grille(e, maintenant_)) / densite + decalage;
    if (x_maintenant >= largeur_chaines && x_maintenant <= l) {
        g.setPen(QPen(QColor(220, 0, 0), 2));
        g.drawLine(QPointF(x_maintenant, hauteur_regle), QPointF(x_maintenant, h));
    }
    g.restore();

    // The time ruler: every half hour, the day's name at midnight.
    if (zone.intersects(QRect(0, 0, l, hauteur_regle))) {
        g.fillRect(QRect(0, 0, l, hauteur_regle), pal.color(QPalette::Window));
        g.setPen(pal.color(QPalette::WindowText));
        const qint64 pas = 30 * minute_s;
        const qint64 debut_s = (t0.secondes() / pas) * pas;
        for (qint64 s = debut_s; s <= t1.secondes() + pas; s += pas) {
            const date_heure t = date_heure::depuis_secondes(s);
            const double x = double(x_grille(e, t)) / densite + decalage;
            if (x < largeur_chaines - 1 || x > l)
                continue;
            g.drawLine(QPointF(x, hauteur_regle - 6), QPointF(x, hauteur_regle));
            const QString etiquette = t.seconde_du_jour() == 0
                                          ? texte_jour_date(t) + QLatin1Char(' ') + t.format_hhnn()
                                          : t.format_hhnn();
            g.drawText(QPointF(x + 3, hauteur_regle - 8), etiquette);
        }
        g.drawLine(0, hauteur_regle - 1, l, hauteur_regle - 1);
    }

    // The channel column, which stays while time scrolls.
    g.save();
    g.setClipRect(QRect(0, hauteur_regle, largeur_chaines, h - hauteur_regle));
    g.fillRect(QRect(0, hauteur_regle, largeur_chaines, h - hauteur_regle), pal.color(QPalette::Window));
    for (int r = premiere; r <= derniere; ++r) {
        rangee& rg = rangees_[size_t(r)];
        const int y = hauteur_regle + r * hauteur_rangee - y0;
        if (!zone.intersects(QRect(0, y, largeur_chaines, hauteur_rangee)))
            continue;
        if (rg.logo.isNull())
            rg.logo = composants::dessiner_logo(rg.num_image, rg.image);
        if (!rg.logo.isNull())
            g.drawPixmap(QRect(4, y + (hauteur_rangee - 35) / 2, 48, 35), rg.logo);
        g.setPen(pal.color(QPalette::WindowText));
        g.drawText(QRect(56, y, largeur_chaines - 60, hauteur_rangee), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(rg.nom, Qt::ElideRight, largeur_chaines - 60));
        g.setPen(pal.color(QPalette::Mid));
        g.drawLine(0, y + hauteur_rangee - 1, largeur_chaines, y + hauteur_rangee - 1);
    }
    g.restore();
    g.setPen(pal.color(QPalette::Mid));
    g.drawLine(largeur_chaines - 1, 0, largeur_chaines - 1, h);
    if (hasFocus() && choisi < 0) {
        g.setPen(QPen(pal.color(QPalette::Highlight), 2));
        g.drawRect(viewport()->rect().adjusted(1, 1, -1, -1));
    }
}

void vue_grille::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    regler_barres();
}

void vue_grille::scrollContentsBy(int dx, int dy) {
    const int l = viewport()->width();
    const int h = viewport()->height();
    if (dy == 0 && dx != 0 && std::abs(dx) < l - largeur_chaines) {
        // Time and its ruler move; the channels stay. Only the strip that comes
        // into view is painted, with the blocks whose title keeps to the left
        // edge, before and after the move.
        viewport()->scroll(dx, 0, QRect(largeur_chaines, 0, l - largeur_chaines, h));
        const int apres = horizontalScrollBar()->value();
        const int premiere = std::max(0, verticalScrollBar()->value() / hauteur_rangee);
        const int derniere = std::min(int(rangees_.size()) - 1,
                                      (verticalScrollBar()->value() + h - hauteur_regle) / hauteur_rangee);
        for (const int x : {apres, apres + dx}) {
            const date_heure t = temps_grille(echelle(), x);
            for (int r = premiere; r <= derniere; ++r)
                if (const int i = programme_a(rangees_[size_t(r)].plages, t, false); i >= 0)
                    viewport()->update(rect_bloc(r, i));
        }
    } else if (dx == 0 && dy != 0 && std::abs(dy) < h - hauteur_regle) {
        viewport()->scroll(0, dy, QRect(0, hauteur_regle, l, h - hauteur_regle));
    } else {
        viewport()->update();
    }
    const int jour = int((temps_gauche() - origine_).secondes() / un_jour.secondes());
    if (jour != jour_montre_) {
        jour_montre_ = jour;
        Q_EMIT jour_change();
    }
}

void vue_grille::choisir(int r, int index) {
    const rangee* rg = rangee_de(r);
    if (!rg || index < 0 || index >= int(rg->plages.size()))
        return;
    sel_rangee_ = r;
    sel_debut_ = rg->plages[size_t(index)].hdeb;
    montrer_choix();
    viewport()->update();
    annoncer();
}

void vue_grille::montrer_choix() {
    const int i = index_choisi();
    // The row in view.
    const int y = sel_rangee_ * hauteur_rangee;
    const int hauteur = viewport()->height() - hauteur_regle;
    QScrollBar* v = verticalScrollBar();
    if (y < v->value())
        v->setValue(y);
    else if (y + hauteur_rangee > v->value() + hauteur)
        v->setValue(y + hauteur_rangee - hauteur);
    if (i < 0)
        return;
    // The block's start in view, or at least part of a long one.
    const rangee& rg = rangees_[size_t(sel_rangee_)];
    QScrollBar* hb = horizontalScrollBar();
    const int largeur = viewport()->width() - largeur_chaines;
    const qint64 x = x_grille(echelle(), rg.plages[size_t(i)].hdeb);
    const qint64 x2 = x_grille(echelle(), fin_affichee(sel_rangee_, i));
    const bool debut_vu = x >= hb->value() && x < hb->value() + largeur;
    const bool deja_commence = x < hb->value() && x2 > hb->value();
    if (!debut_vu && !deja_commence)
        hb->setValue(int(std::max<qint64>(0, x - largeur / 10)));
}

void vue_grille::annoncer() {
    QAccessibleInterface* c = cellule(sel_rangee_, index_choisi());
    if (!c || !hasFocus())
        return;
    QAccessibleEvent focus(c, QAccessible::Focus);
    composants::diffuser_annonce(&focus);
    QAccessibleEvent choix(c, QAccessible::Selection);
    composants::diffuser_annonce(&choix);
}

void vue_grille::aller_a(date_heure t) {
    const date_heure fin_semaine = origine_ + date_heure::duree_hm(24 * nb_jours_, 0);
    t = std::clamp(t, origine_, fin_semaine);
    // Half an hour of what came before stays in sight.
    horizontalScrollBar()->setValue(int(x_grille(echelle(), t - date_heure::duree_hm(0, 30))));
    assurer_charge();
    temps_vise_ = t;
    if (const rangee* rg = rangee_de(sel_rangee_)) {
        const int i = programme_a(rg->plages, t, true);
        if (i >= 0) {
            sel_debut_ = rg->plages[size_t(i)].hdeb;
            viewport()->update();
            annoncer();
            return;
        }
    }
    sel_debut_.reset();
    viewport()->update();
}

void vue_grille::deplacer(int dr, int di) {
    if (rangees_.empty())
        return;
    assurer_charge();
    int i = index_choisi();
    if (dr != 0) {
        const int r = std::clamp(sel_rangee_ + dr, 0, int(rangees_.size()) - 1);
        // Across channels the time stays: that of the programme left, or the one aimed at.
        const date_heure t = temps_vise_ ? *temps_vise_ : i >= 0 ? *sel_debut_ : temps_gauche();
        sel_rangee_ = r;
        const int k = programme_a(rangees_[size_t(r)].plages, t, true);
        if (k >= 0)
            sel_debut_ = rangees_[size_t(r)].plages[size_t(k)].hdeb;
        else
            sel_debut_.reset();
        temps_vise_ = t;
        montrer_choix();
        viewport()->update();
        annoncer();
        return;
    }
    // At the end of the days read, the next (or previous) one is read first.
    const date_heure fin_semaine = origine_ + date_heure::duree_hm(24 * nb_jours_, 0);
    while (i >= 0 && charger && !en_charge_) {
        const auto& plages = rangees_[size_t(sel_rangee_)].plages;
        const bool au_bout = di > 0 ? size_t(i) + 1 >= plages.size() : i == 0;
        if (!au_bout || (di > 0 ? charge_fin_ >= fin_semaine : charge_debut_ <= origine_))
            break;
        en_charge_ = true;
        if (di > 0) {
            charger(charge_fin_, charge_fin_ + un_jour);
            charge_fin_ = charge_fin_ + un_jour;
        } else {
            charger(charge_debut_ - un_jour, charge_debut_);
            charge_debut_ = charge_debut_ - un_jour;
        }
        en_charge_ = false;
        i = index_choisi();
    }
    const rangee& rg = rangees_[size_t(sel_rangee_)];
    int k = i;
    if (i < 0)
        k = programme_a(rg.plages, temps_vise_ ? *temps_vise_ : temps_gauche(), true);
    else
        k = std::clamp(i + di, 0, int(rg.plages.size()) - 1);
    if (k < 0 || rg.plages.empty())
        return;
    temps_vise_ = rg.plages[size_t(k)].hdeb;
    choisir(sel_rangee_, k);
}

void vue_grille::keyPressEvent(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    switch (e->key()) {
    case Qt::Key_Left:
        deplacer(0, -1);
        break;
    case Qt::Key_Right:
        deplacer(0, 1);
        break;
    case Qt::Key_Up:
        deplacer(-1, 0);
        break;
    case Qt::Key_Down:
        deplacer(1, 0);
        break;
    case Qt::Key_Home:
        aller_a(maintenant_);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // A day before or after, at the same time of day.
        const date_heure t = temps_vise_ ? *temps_vise_ : temps_gauche();
        aller_a(e->key() == Qt::Key_PageUp ? t - un_jour : t + un_jour);
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int i = index_choisi(); i >= 0) {
            const rangee& rg = rangees_[size_t(sel_rangee_)];
            Q_EMIT programme_ouvert(rg.num_chaine, rg.plages[size_t(i)].hdeb.secondes(),
                                    rg.programmes[size_t(i)].titre);
        }
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (!ctrl)
            return QAbstractScrollArea::keyPressEvent(e);
        definir_zoom(zoom_ + 1);
        break;
    case Qt::Key_Minus:
        if (!ctrl)
            return QAbstractScrollArea::keyPressEvent(e);
        definir_zoom(zoom_ - 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(e);
        return;
    }
    e->accept();
}

std::optional<std::pair<int, int>> vue_grille::sous(QPoint p) const {
    if (p.y() < hauteur_regle)
        return std::nullopt;
    const int r = (p.y() - hauteur_regle + verticalScrollBar()->value()) / hauteur_rangee;
    if (r < 0 || r >= int(rangees_.size()))
        return std::nullopt;
    if (p.x() < largeur_chaines)
        return std::pair{r, -1};
    const date_heure t = temps_grille(echelle(), horizontalScrollBar()->value() + p.x() - largeur_chaines);
    const int i = programme_a(rangees_[size_t(r)].plages, t, false);
    if (i < 0)
        return std::nullopt;
    return std::pair{r, i};
}

void vue_grille::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    if (const auto s = sous(e->position().toPoint())) {
        if (s->second >= 0) {
            temps_vise_ = rangees_[size_t(s->first)].plages[size_t(s->second)].hdeb;
            choisir(s->first, s->second);
        } else {
            sel_rangee_ = s->first;
            viewport()->update();
        }
    }
    QAbstractScrollArea::mousePressEvent(e);
}

void vue_grille::mouseDoubleClickEvent(QMouseEvent* e) {
    const auto s = sous(e->position().toPoint());
    if (!s)
        return;
    const rangee& rg = rangees_[size_t(s->first)];
    if (s->second < 0)
        Q_EMIT chaine_ouverte(rg.num_chaine);
    else
        Q_EMIT programme_ouvert(rg.num_chaine, rg.plages[size_t(s->second)].hdeb.secondes(),
                                rg.programmes[size_t(s->second)].titre);
}

void vue_grille::wheelEvent(QWheelEvent* e) {
    if (e->modifiers() & Qt::ControlModifier) {
        const int d = e->angleDelta().y();
        if (d != 0)
            definir_zoom(zoom_ + (d > 0 ? 1 : -1));
        e->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(e);
}

void vue_grille::contextMenuEvent(QContextMenuEvent* e) {
    QPoint ou;
    if (e->reason() == QContextMenuEvent::Keyboard) {
        const QRect r = rect_bloc(sel_rangee_, index_choisi());
        ou = viewport()->mapToGlobal(r.isNull() ? QPoint(largeur_chaines, hauteur_regle) : r.bottomLeft());
    } else {
        const auto s = sous(viewport()->mapFromGlobal(e->globalPos()));
        if (!s || s->second < 0)
            return;
        choisir(s->first, s->second);
        ou = e->globalPos();
    }
    const int i = index_choisi();
    if (i < 0)
        return;
    const rangee& rg = rangees_[size_t(sel_rangee_)];
    Q_EMIT menu_demande(rg.num_chaine, rg.plages[size_t(i)].hdeb.secondes(), ou);
    e->accept();
}

bool vue_grille::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        const auto s = sous(h->pos());
        if (!s) {
            QToolTip::hideText();
            return true;
        }
        const rangee& rg = rangees_[size_t(s->first)];
        if (s->second < 0) {
            QToolTip::showText(h->globalPos(), infobulle(rg.nom), viewport());
            return true;
        }
        const plage_grille& p = rg.plages[size_t(s->second)];
        const programme& prog = rg.programmes[size_t(s->second)];
        std::optional<details_programme> d = details ? details(rg.num_chaine, p.hdeb) : std::nullopt;
        const QString entete = QStringLiteral("%1 - %2 %3 (%4)")
                                   .arg(p.hdeb.format_hhnn(), std::max(p.hfin, p.hdeb).format_hhnn(),
                                        prog.titre, texte_genre(prog.genre));
        QToolTip::showText(h->globalPos(), infobulle_details(entete, d ? &*d : nullptr), viewport(),
                           rect_bloc(s->first, s->second));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void vue_grille::focusInEvent(QFocusEvent* e) {
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
    annoncer();
}

} // namespace zapo::vues
