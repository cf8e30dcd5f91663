#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

// While a question box is up over the till (the closing offer), what a scanner types goes to
// the box, whose default button its Enter would press, and the code would be lost. For as long
// as this object lives, characters typed anywhere but in the entry box are kept, and an Enter
// that follows them hands them over as a scan instead of reaching the box; an Enter typed alone
// still answers the box. Characters left without their Enter go back into the entry box.
class CaptureScanner : public QObject {
  public:
    CaptureScanner(QLineEdit* saisie, std::function<void(const QString& code)> scan);
    ~CaptureScanner() override;

  protected:
    bool eventFilter(QObject* cible, QEvent* e) override;

  private:
    QLineEdit* saisie_;
    std::function<void(const QString&)> scan_;
    QString tampon_;
};
