#pragma once

#include <QObject>
#include <QPoint>
#include <QRectF>
#include <QSize>

class QWidget;

// A window drawn for one size and shown at any other: every place, size and font of its
// controls is the design's multiplied by one factor, the largest that keeps the design's
// proportions inside the window. A till drawn for 680 × 540 pixels fills a counter screen of
// 1920 × 1080 as it filled the small one, with room left only on one side.
//
// Controls are given their design place through `placerDessin` (or `placer` in twips); the
// window's factor is applied to it at once, and again whenever the window is resized. A
// control the program moves or resizes itself afterwards (a scrolled page, a ticket that grows)
// keeps that change in the design's terms. Fonts follow: a control's own font, and the window's
// font that the others inherit, are their design sizes times the factor.
class MiseAEchelle : public QObject {
    Q_OBJECT
  public:
    // centrer: the design's area is centred in the window (a main window); otherwise it lies at
    // the top left (a window that fills the rest with its own controls).
    MiseAEchelle(QWidget* fenetre, QSize tailleDessin, bool centrer);

    double facteur() const { return facteur_; }
    QSize tailleDessin() const { return tailleDessin_; }
    // The factor for a window size.
    double facteurPour(QSize taille) const;
    // Applies the factor of the window's current size.
    void appliquer();

    // The factor of the window that `w` lies in (1 where no scale is set).
    static double facteur(const QWidget* w);

  signals:
    void facteurChange(double facteur);

  protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

  private:
    void appliquerPolices(double ancien);
    void appliquerPlaces(double ancien, QPoint ancienDecalage);

    QWidget* fenetre_;
    QSize tailleDessin_;
    bool centrer_;
    double facteur_ = 1;
};

// Places a control at a place of the design, in pixels of the design's screen, at the scale of
// its window.
void placerDessin(QWidget* w, const QRectF& dessin);
// A label whose size is its caption's at the font of the moment, whatever the factor.
void marquerTailleNaturelle(QWidget* w);
// The place of `w` in the design's pixels (its last place given or scaled).
QRectF placeDessin(const QWidget* w);
