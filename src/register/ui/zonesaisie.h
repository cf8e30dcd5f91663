#pragma once

#include <QLineEdit>

// The till's entry box: Enter (either key, or a scanner's carriage return or line feed) is
// announced instead of being handled by the line edit, and the box tells when it receives the
// focus.
class ZoneSaisie : public QLineEdit {
    Q_OBJECT
  public:
    explicit ZoneSaisie(QWidget* parent = nullptr);

    // The key ends a code: Return, keypad Enter, or a bare carriage return or line feed.
    static bool estEntree(const QKeyEvent* e);

  signals:
    void entree();
    void focusRecu();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
};
