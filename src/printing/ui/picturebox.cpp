#include "printing/ui/picturebox.h"

#include "common/ui/miseaechelle.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), fond_(palette().color(QPalette::Base)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_ = std::make_unique<Surface>(width(), height(), dpi());
    surface_->surModification([this] { update(); });
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
    QWidget::resizeEvent(event);
}
