#pragma once

#include <QProxyStyle>

// The ticket's scroll bar, moved at each scan: Qt's classic look (flat bevels, a third of the
// time the gradients of the program's look take on a large screen), its track (and the box of a
// ticket too short to scroll) filled with the even mix of the two colours the classic look
// dithers them with: the same grey to the eye, drawn as one plain fill instead of a checkered
// pattern, pixel by pixel.
class StyleDefilement : public QProxyStyle {
    Q_OBJECT
  public:
    StyleDefilement();

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
