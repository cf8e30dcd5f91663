#pragma once

#include <QLabel>

// A display of the till with LCD-like digits (the DSEG seven-segment faces). Its text is the
// register's state and keeps the French decimal comma; the comma, which those faces lack, is
// drawn as their decimal point.
class AfficheurLcd : public QLabel {
    Q_OBJECT
  public:
    AfficheurLcd(const QString& nom, const QString& texte, double points, bool gras,
                 const QColor& encre, const QColor& fond, QWidget* parent);

    static QString police() { return QStringLiteral("DSEG7 Classic"); }

  protected:
    void paintEvent(QPaintEvent* e) override;
};
