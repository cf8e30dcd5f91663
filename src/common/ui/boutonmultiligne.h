#pragma once

#include <QPushButton>

// A push button whose caption wraps over several lines when the button is narrow, as the
// till's tall discount buttons need. text() stays the caption.
class BoutonMultiligne : public QPushButton {
    Q_OBJECT
  public:
    BoutonMultiligne(const QString& nom, const QString& texte, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* e) override;
};
