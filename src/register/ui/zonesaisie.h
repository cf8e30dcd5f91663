#pragma once

#include <QLineEdit>
#include <optional>

// The till's entry box: Enter (either key, or a scanner's carriage return or line feed) is
// announced instead of being handled by the line edit, and the box tells when it receives the
// focus. Tab keeps the focus here and ends a typed code as Enter does, so that a scanner set to end
// its codes with Tab sells each one and the next scans never go elsewhere. A scanner that ends its
// codes with two keys (CR LF, LF CR, CR Tab...) ends one code: the second key of the pair, of
// another kind and right after the first, is not a second Enter.
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
    enum class Fin { RetourChariot, SautDeLigne, Tabulation };
    void finDeCode(Fin fin);
    // The kind of the end key just received, while no other key followed it.
    std::optional<Fin> finPrecedente_;
};
