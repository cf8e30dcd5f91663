#pragma once

#include <QLabel>

// The till's `codebarre` display: its text (the code of the last priced line) drawn as a
// Code 39 bar code, white bars on grey, as wide as the display allows. A text that Code 39
// cannot carry is shown as plain text.
class CodeBarreAffichage : public QLabel {
    Q_OBJECT
  public:
    explicit CodeBarreAffichage(const QString& texte, QWidget* parent = nullptr);

    // Points of the bar-code face the display imitates.
    static constexpr double taillePoints = 24;

  protected:
    void paintEvent(QPaintEvent* e) override;
};
