#include "printing/ui/picturebox.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), fond_(palette().color(QPalette::Base)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_ = std::make_unique<Surface>(width(), height(), dpi());
    surface_->surModification([this] { update(); });
    surface_->suivreTaille([this] { return QSizeF(size()); });
}

PictureBox::~PictureBox() = default;

double PictureBox::dpi() const {
    const int d = logicalDpiY();
    return d > 0 ? d : 96;
}

void PictureBox::setCouleurFond(const QColor& couleur) {
    fond_ = couleur;
    update();
}

int PictureBox::versPixels(double valeur, Surface::Echelle e) const {
    if (!std::isfinite(valeur))
        return 0;
    const double px = unites::versPixels(valeur, e, dpi());
    return int(std::lround(std::clamp(px, -1e7, 1e7)));
}

double PictureBox::depuisPixels(int pixels, Surface::Echelle e) const {
    return unites::depuisPixels(pixels, e, dpi());
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

void PictureBox::setTop(double valeur, Surface::Echelle e) {
    move(x(), versPixels(valeur, e));
}

void PictureBox::setHeight(double valeur, Surface::Echelle e) {
    resize(width(), std::max(0, versPixels(valeur, e)));
}

void PictureBox::placer(double gauche, double haut, double largeur, double hauteur,
                        Surface::Echelle e) {
    setGeometry(versPixels(gauche, e), versPixels(haut, e), std::max(0, versPixels(largeur, e)),
                std::max(0, versPixels(hauteur, e)));
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    p.fillRect(rect(), fond_);
    surface_->rejouer(p, 0, surface_->dpi());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    // The surface reads the box's size itself; this keeps its own record in step too.
    surface_->redimensionner(width(), height());
    QWidget::resizeEvent(event);
}
