#include "register/ui/afficheurlcd.h"

#include "printing/surface.h"

#include <QPainter>
#include <algorithm>

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
    p.setPen(palette().color(QPalette::WindowText));
    QString affiche = text();
    affiche.replace(u',', u'.');
    // The digits are made smaller when they would not fit, rather than losing some of them,
    // and their ink is centred in the height of the display.
    const QRectF zone = contentsRect();
    QFont f = font();
    // Words (the change given, "Rendu : 26,41 €") are drawn in a text face: the seven-segment
    // faces have digits only.
    if (std::any_of(affiche.cbegin(), affiche.cend(), [](QChar c) { return c.isLetter(); })) {
        f = Surface::policeReelle(QStringLiteral("Arial"), f.pointSizeF() * 0.6, true);
        affiche = text();
    }
    QFontMetricsF m(f, this);
    QRectF encre = m.tightBoundingRect(affiche);
    double echelle = 1;
    if (m.horizontalAdvance(affiche) > zone.width())
        echelle = zone.width() / m.horizontalAdvance(affiche);
    if (encre.height() > zone.height() * 0.9)
        echelle = std::min(echelle, zone.height() * 0.9 / encre.height());
    if (echelle < 1) {
        f.setPointSizeF(std::max(4.0, f.pointSizeF() * echelle));
        m = QFontMetricsF(f, this);
        encre = m.tightBoundingRect(affiche);
    }
    p.setFont(f);
    const double x =
        alignment() & Qt::AlignLeft ? zone.left() : zone.right() - m.horizontalAdvance(affiche);
    p.drawText(QPointF(x, zone.center().y() - encre.center().y()), affiche);
}
