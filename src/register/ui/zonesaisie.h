#pragma once

#include <QLineEdit>
#include <optional>

// The till's entry box: Enter (either key, or a scanner's carriage return or line feed) is
// announced instead of being handled by the line edit, and the box tells when it receives the
// focus. A scanner that ends its codes with CR LF (or LF CR) ends one code: the second key of the
// pair is not a second Enter. Tab keeps the focus here: a scanner's Tab suffix, or a Tab typed by
// mistake, never sends the next scans elsewhere.
class ZoneSaisie : public QLineEdit {
    Q_OBJECT
  public:
    explicit ZoneSaisie(QWidget* parent = nullptr);

    // The key ends a code: Return, keypad Enter, or a bare carriage return or line feed.
    static bool estEntree(const QKeyEvent* e);
    // The end key is a line feed (rather than a carriage return or Return).
    static bool estSautDeLigne(const QKeyEvent* e);

  signals:
    void entree();
    void focusRecu();

  protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

  private:
    // The kind of the end key just received (line feed or not), while no other key followed it.
    std::optional<bool> finPrecedente_;
};
