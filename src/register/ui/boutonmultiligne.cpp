#include "register/ui/boutonmultiligne.h"

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
    p.drawText(zone, Qt::AlignCenter | Qt::TextWordWrap, text());
}
