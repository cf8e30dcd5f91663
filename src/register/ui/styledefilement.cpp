#include "register/ui/styledefilement.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

StyleDefilement::StyleDefilement()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

void StyleDefilement::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    // The track, and the box of a ticket too short to scroll, which the classic look fills
    // with the same pattern across the whole track.
    const bool piste = element == CE_ScrollBarAddPage || element == CE_ScrollBarSubPage ||
                       (element == CE_ScrollBarSlider && !(option->state & State_Enabled));
    if (!piste || (option->state & State_Sunken) ||
        option->palette.brush(QPalette::Light).style() == Qt::TexturePattern) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QColor clair = option->palette.light().color();
    const QColor fond = option->palette.window().color();
    painter->fillRect(option->rect,
                      QColor((clair.red() + fond.red()) / 2, (clair.green() + fond.green()) / 2,
                             (clair.blue() + fond.blue()) / 2));
}
