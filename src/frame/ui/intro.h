#pragma once

#include "frame/progression.h"

#include <QElapsedTimer>
#include <QWidget>

// The splash window "intro": a 600 x 400 picture with the progress bar "scroll" along its lower
// edge. Start-up shows it; the long loaders use it as their progress window.
class Intro : public QWidget, public Progression {
    Q_OBJECT
  public:
    explicit Intro(QWidget* parent = nullptr);

    // Shows the splash and draws it once the display shows the window.
    void montrer() override;
    void progresser(qint64 fait, qint64 total) override;
    void fermer() override;
    // How many times the bar was repainted (a repaint costs; it happens only when the drawn
    // width changes).
    int repeintures() const { return repeintures_; }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    void attendreAffichage();

    QWidget* scroll;
    bool centree_ = false;
    int repeintures_ = 0;
    QElapsedTimer depuisRepeinture_;
};
