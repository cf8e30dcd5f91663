#include "printing/ui/picturebox.h"

#include "common/ui/miseaechelle.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), fond_(palette().color(QPalette::Base)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The drawing is kept in pixels from the top left: a box made larger shows the same
    // drawing and paints only its new part, a box moved is moved as painted.
    setAttribute(Qt::WA_StaticContents);
    surface_ = std::make_unique<Surface>(width(), height(), dpi());
    surface_->surModification([this](const Surface::Modification& m) { montrer(m); });
    surface_->suivreTaille([this] { return QSizeF(size()) / zoom(); });
}

PictureBox::~PictureBox() = default;

double PictureBox::dpi() const {
    const int d = logicalDpiY();
    return d > 0 ? d : 96;
}

double PictureBox::zoom() const {
    return MiseAEchelle::facteur(this);
}

double PictureBox::dpiAffiche() const {
    return surface_->dpi() * zoom();
}

QRectF PictureBox::placeAuZoom() const {
    const double z = zoom();
    return QRectF(x() / z, y() / z, width() / z, height() / z);
}

void PictureBox::setCouleurFond(const QColor& couleur) {
    fond_ = couleur;
    update();
}

double PictureBox::depuisPixels(int pixels, Surface::Echelle e) const {
    return unites::depuisPixels(pixels, e, dpiAffiche());
}

double PictureBox::Top(Surface::Echelle e) const {
    return depuisPixels(y(), e);
}

double PictureBox::Left(Surface::Echelle e) const {
    return depuisPixels(x(), e);
}

double PictureBox::Width(Surface::Echelle e) const {
    return depuisPixels(width(), e);
}

double PictureBox::Height(Surface::Echelle e) const {
    return depuisPixels(height(), e);
}

// The box's place is kept in the design's pixels, so that it follows its window's scale.
void PictureBox::setTop(double valeur, Surface::Echelle e) {
    QRectF place = placeAuZoom();
    place.moveTop(versPixelsDessin(valeur, e));
    placerDessin(this, place);
}

void PictureBox::setHeight(double valeur, Surface::Echelle e) {
    QRectF place = placeAuZoom();
    place.setHeight(std::max(0.0, versPixelsDessin(valeur, e)));
    placerDessin(this, place);
}

void PictureBox::placer(double gauche, double haut, double largeur, double hauteur,
                        Surface::Echelle e) {
    placerDessin(this, QRectF(versPixelsDessin(gauche, e), versPixelsDessin(haut, e),
                              std::max(0.0, versPixelsDessin(largeur, e)),
                              std::max(0.0, versPixelsDessin(hauteur, e))));
}

double PictureBox::versPixelsDessin(double valeur, Surface::Echelle e) const {
    if (!std::isfinite(valeur))
        return 0;
    return std::round(std::clamp(unites::versPixels(valeur, e, dpi()), -1e7, 1e7));
}

QRect PictureBox::versEcran(const QRectF& zone) const {
    const double f = dpiAffiche() / surface_->dpi();
    // Outward to whole pixels, and a pixel more for the glyphs' smoothed edges.
    return QRectF(zone.x() * f, zone.y() * f, zone.width() * f, zone.height() * f)
        .toAlignedRect()
        .adjusted(-2, -2, 2, 2)
        .intersected(rect());
}

void PictureBox::montrer(const Surface::Modification& m) {
    if (!m.zone.isEmpty())
        update(versEcran(m.zone));
    // After a Cls, what the drawing before had beyond the new one is cleared once the new
    // drawing is done (before the repaint, which comes after the calls already queued).
    if (m.efface && !soldeAttendu_) {
        soldeAttendu_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                soldeAttendu_ = false;
                if (const QRectF r = surface_->zoneRetiree(); !r.isEmpty())
                    update(versEcran(r));
            },
            Qt::QueuedConnection);
    }
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    p.fillRect(rect(), fond_);
    // The drawing is made at the design's resolution and shown at the window's scale.
    surface_->rejouer(p, 0, dpiAffiche(), event->rect());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    // The surface reads the box's size itself; this keeps its own record in step too.
    surface_->redimensionner(width() / zoom(), height() / zoom());
    // A window shown at another scale shows the whole drawing at that scale.
    if (zoom() != zoomPeint_) {
        zoomPeint_ = zoom();
        update();
    }
    QWidget::resizeEvent(event);
}
