#pragma once

#include "printing/surface.h"

#include <QColor>
#include <QRectF>
#include <QWidget>
#include <memory>

// A picture box: a widget that owns a drawing surface the size of the widget, at the screen's
// logical resolution (96 dpi: 15 twips to a pixel). In a window shown larger than its design
// (see MiseAEchelle), the box, its twips and its drawing are larger by the window's factor. What is
// drawn on the surface is shown on every repaint, so it stays while the box is covered, uncovered,
// moved or scrolled, until the next Cls. The background is the system's window colour (the colour
// behind text, white) unless set otherwise.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    Surface& surface() { return *surface_; }
    const Surface& surface() const { return *surface_; }

    QColor couleurFond() const { return fond_; }
    void setCouleurFond(const QColor& couleur);

    // Place and size inside the parent, in twips or millimetres (the box's Top, Left, Width
    // and Height in the scale of its frame).
    double Top(Surface::Echelle e = Surface::Echelle::Twips) const;
    double Left(Surface::Echelle e = Surface::Echelle::Twips) const;
    double Width(Surface::Echelle e = Surface::Echelle::Twips) const;
    double Height(Surface::Echelle e = Surface::Echelle::Twips) const;
    void setTop(double valeur, Surface::Echelle e = Surface::Echelle::Twips);
    void setHeight(double valeur, Surface::Echelle e = Surface::Echelle::Twips);
    // Left, top, width and height at once.
    void placer(double gauche, double haut, double largeur, double hauteur,
                Surface::Echelle e = Surface::Echelle::Twips);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    double dpi() const;
    // The scale of the window the box lies in, and the resolution the drawing is shown at.
    double zoom() const;
    double dpiAffiche() const;
    QRectF placeAuZoom() const;
    double versPixelsDessin(double valeur, Surface::Echelle e) const;
    // A band of the surface on the box's pixels, and its repaint.
    QRect versEcran(const QRectF& zone) const;
    void montrer(const Surface::Modification& m);
    double depuisPixels(int pixels, Surface::Echelle e) const;

    std::unique_ptr<Surface> surface_;
    QColor fond_;
    bool soldeAttendu_ = false;
    double zoomPeint_ = 1;
};
