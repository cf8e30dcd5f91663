#include "common/ui/miseaechelle.h"

#include <QApplication>
#include <QEvent>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
// On a window: its factor and where the design's area begins in it.
constexpr char kFacteur[] = "talmirFacteur";
constexpr char kDecalage[] = "talmirDecalage";
// On a control: its place in the design, the place last given to it on screen, and whether its
// size is its caption's (a label sized to its text).
constexpr char kPlace[] = "talmirPlace";
constexpr char kPlaceEcran[] = "talmirPlaceEcran";
constexpr char kNaturelle[] = "talmirTailleNaturelle";
// On a control with a font of its own: the design's size and the size last given.
constexpr char kPoints[] = "talmirPoints";
constexpr char kPointsEcran[] = "talmirPointsEcran";

// A window is never smaller than this share of its design: the captions stay legible.
constexpr double kFacteurMinimum = 0.5;

QPoint decalage(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    if (!parent || w->isWindow() || parent != w->window())
        return {};
    return parent->property(kDecalage).toPoint();
}

// The design's place at a factor: edges are rounded, so controls that touch in the design touch
// on screen, and none overlaps its neighbour by a pixel of rounding.
QRect aEchelle(const QRectF& r, double f, QPoint decale) {
    const int gauche = int(std::lround(r.left() * f));
    const int haut = int(std::lround(r.top() * f));
    const int droite = int(std::lround((r.left() + r.width()) * f));
    const int bas = int(std::lround((r.top() + r.height()) * f));
    return QRect(gauche + decale.x(), haut + decale.y(), std::max(0, droite - gauche),
                 std::max(0, bas - haut));
}

QRectF versDessin(const QRect& r, double f, QPoint decale) {
    return QRectF((r.x() - decale.x()) / f, (r.y() - decale.y()) / f, r.width() / f,
                  r.height() / f);
}

// The controls of a window, parents before their children, without the windows it owns.
void controles(QWidget* parent, QList<QWidget*>& liste) {
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        liste << w;
        controles(w, liste);
    }
}

void donnerPlace(QWidget* w, const QRectF& dessin, double f, QPoint decale) {
    w->setProperty(kPlace, dessin);
    QRect ecran = aEchelle(dessin, f, decale);
    if (w->property(kNaturelle).toBool()) {
        w->adjustSize();
        ecran.setSize(w->size());
    }
    w->setGeometry(ecran);
    w->setProperty(kPlaceEcran, w->geometry());
}
} // namespace

MiseAEchelle::MiseAEchelle(QWidget* fenetre, QSize tailleDessin, bool centrer)
    : QObject(fenetre), fenetre_(fenetre), tailleDessin_(tailleDessin), centrer_(centrer) {
    fenetre_->setProperty(kFacteur, 1.0);
    fenetre_->installEventFilter(this);
}

double MiseAEchelle::facteur(const QWidget* w) {
    const QWidget* fenetre = w ? w->window() : nullptr;
    const QVariant f = fenetre ? fenetre->property(kFacteur) : QVariant();
    return f.isValid() ? f.toDouble() : 1.0;
}

double MiseAEchelle::facteurPour(QSize taille) const {
    if (tailleDessin_.isEmpty())
        return 1;
    const double f = std::min(double(taille.width()) / tailleDessin_.width(),
                              double(taille.height()) / tailleDessin_.height());
    return std::max(f, kFacteurMinimum);
}

void MiseAEchelle::appliquer() {
    const double f = facteurPour(fenetre_->size());
    QPoint decale;
    if (centrer_)
        decale = QPoint(
            std::max(0, int(std::lround((fenetre_->width() - tailleDessin_.width() * f) / 2))),
            std::max(0, int(std::lround((fenetre_->height() - tailleDessin_.height() * f) / 2))));
    const QPoint ancienDecalage = fenetre_->property(kDecalage).toPoint();
    if (f == facteur_ && decale == ancienDecalage)
        return;
    const double ancien = facteur_;
    facteur_ = f;
    fenetre_->setProperty(kFacteur, f);
    fenetre_->setProperty(kDecalage, decale);
    if (f != ancien)
        appliquerPolices(ancien);
    appliquerPlaces(ancien, ancienDecalage);
    if (f != ancien)
        emit facteurChange(f);
}

void MiseAEchelle::appliquerPolices(double ancien) {
    QList<QWidget*> liste;
    controles(fenetre_, liste);
    // The design sizes are read before any font changes: a control that sets only a style of
    // its own (bold) takes its size from its parent, which is about to change.
    QList<std::pair<QWidget*, double>> propres;
    for (QWidget* w : liste) {
        if (!w->testAttribute(Qt::WA_SetFont))
            continue;
        const double points = w->font().pointSizeF();
        if (points <= 0)
            continue;
        const QVariant donne = w->property(kPointsEcran);
        const double dessin = donne.isValid() && qFuzzyCompare(donne.toDouble(), points)
                                  ? w->property(kPoints).toDouble()
                                  : points / ancien;
        propres.append({w, dessin});
    }
    if (!fenetre_->property(kPoints).isValid())
        fenetre_->setProperty(kPoints, QApplication::font(fenetre_).pointSizeF() / ancien);
    QFont police = fenetre_->font();
    police.setPointSizeF(fenetre_->property(kPoints).toDouble() * facteur_);
    fenetre_->setFont(police);
    for (const auto& [w, dessin] : propres) {
        QFont p = w->font();
        p.setPointSizeF(dessin * facteur_);
        w->setFont(p);
        w->setProperty(kPoints, dessin);
        w->setProperty(kPointsEcran, p.pointSizeF());
    }
}

void MiseAEchelle::appliquerPlaces(double ancien, QPoint ancienDecalage) {
    QList<QWidget*> liste;
    controles(fenetre_, liste);
    for (QWidget* w : liste) {
        const QVariant place = w->property(kPlace);
        if (!place.isValid())
            continue;
        QRectF dessin = place.toRectF();
        // Moved or resized by the program since: that is the design's place now.
        if (w->geometry() != w->property(kPlaceEcran).toRect()) {
            const bool direct = w->parentWidget() == fenetre_;
            dessin = versDessin(w->geometry(), ancien, direct ? ancienDecalage : QPoint());
        }
        donnerPlace(w, dessin, facteur_, decalage(w));
    }
}

bool MiseAEchelle::eventFilter(QObject* objet, QEvent* evenement) {
    if (objet == fenetre_ && evenement->type() == QEvent::Resize)
        appliquer();
    return QObject::eventFilter(objet, evenement);
}

void placerDessin(QWidget* w, const QRectF& dessin) {
    donnerPlace(w, dessin, MiseAEchelle::facteur(w), decalage(w));
}

void marquerTailleNaturelle(QWidget* w) {
    w->setProperty(kNaturelle, true);
}

QRectF placeDessin(const QWidget* w) {
    const QVariant place = w->property(kPlace);
    return place.isValid() ? place.toRectF() : QRectF(w->geometry());
}
