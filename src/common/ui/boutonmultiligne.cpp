#include "common/ui/boutonmultiligne.h"

#include <QStyleOptionButton>
#include <QStylePainter>

BoutonMultiligne::BoutonMultiligne(const QString& nom, const QString& texte, QWidget* parent)
    : QPushButton(texte, parent) {
    setObjectName(nom);
    setAccessibleName(texte);
}

void BoutonMultiligne::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    const QRect zone =
        style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(2, 0, -2, 0);
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    // The caption is made smaller until its lines fit the button.
    const int drapeaux = Qt::AlignCenter | Qt::TextWordWrap;
    QFont f = font();
    const bool enPoints = f.pointSizeF() > 0;
    double taille = enPoints ? f.pointSizeF() : f.pixelSize();
    const double minimum = enPoints ? 6 : 8;
    while (taille > minimum &&
           !zone.contains(QFontMetrics(f).boundingRect(zone, drapeaux, text()))) {
        taille -= 0.5;
        if (enPoints)
            f.setPointSizeF(taille);
        else
            f.setPixelSize(int(taille));
    }
    p.setFont(f);
    p.drawText(zone, drapeaux, text());
}
