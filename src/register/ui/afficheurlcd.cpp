#include "register/ui/afficheurlcd.h"

#include <QPainter>

AfficheurLcd::AfficheurLcd(const QString& nom, const QString& texte, double points, bool gras,
                           const QColor& encre, const QColor& fond, QWidget* parent)
    : QLabel(texte, parent) {
    setObjectName(nom);
    QFont f(police());
    f.setPointSizeF(points);
    f.setBold(gras);
    setFont(f);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, fond);
    p.setColor(QPalette::WindowText, encre);
    setPalette(p);
}

void AfficheurLcd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    QString affiche = text();
    affiche.replace(u',', u'.');
    p.drawText(contentsRect(), int(alignment()), affiche);
}
