#pragma once

#include "labels/tirageetiquettes.h"
#include "printing/image.h"

#include <QWidget>
#include <functional>

class MiseAEchelle;
class PictureBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;
struct Services;

// The label window "Impression": an A4 page on screen showing the first sheet that the next
// label run would print, its scroll bar, and the button that prints every pending label on the
// A4 printer. Modeless; closing it destroys it. Its measures are millimetres.
class Impression : public QWidget {
    Q_OBJECT
  public:
    explicit Impression(Services& services, QWidget* parent = nullptr);

    // The button of the article form: the page list emptied, the preview drawn anew, the window
    // shown (and brought to the front when it already was).
    void montrerApercu();

    // The label run on the page `fond` (its first sheet) or on the current printer (every
    // sheet, the question, the record).
    BilanTirage imprimer(Surface& destination);
    BilanTirage imprimer(ServiceImpression& imprimante);

    void imprimerToutesLesEtiquettes();
    void redessinerApercu();
    void defilerPage(int valeur);
    // The frame and the scroll bar follow the window's size.
    void adapterAuxDimensions();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void placerPage();
    int pixels(double mm) const;

    Services& services_;
    MiseAEchelle* echelle_;
    Image image_; // the picture that `images` holds

    QPushButton* imprim;
    QLabel* clef;
    QComboBox* numeropage;
    QWidget* fondpage;
    PictureBox* fond;
    QScrollBar* scrollverticale;
    PictureBox* images;
};
