#pragma once

#include "printing/surface.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <cmath>

// Helpers of the printing tests: a surface's drawing as a page image, and the ink on it.
namespace pagetest {

// The first page of `s` replayed at `dpi` on a white image of `largeur` x `hauteur` pixels that
// declares that resolution, as a printer's page does.
inline QImage imageDe(const Surface& s, int largeur, int hauteur, double dpi) {
    QImage image(largeur, hauteur, QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    QPainter p(&image);
    s.rejouer(p, 0, dpi);
    return image;
}

// The pixels inside `zone` that are not white.
inline int encre(const QImage& image, const QRect& zone) {
    int n = 0;
    const QRect r = zone.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ++n;
    return n;
}

} // namespace pagetest
