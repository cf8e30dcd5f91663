#include "register/ui/afficheurlcd.h"

#include "printing/surface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// More distinct characters than a display of amounts ever shows: the drawn ones are let go.
constexpr qsizetype kGlyphesGardes = 64;
} // namespace

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
    QFont f = font();
    // Words (the change given, "Rendu : 26,41 €") are drawn in a text face: the seven-segment
    // faces have digits only.
    const bool mots =
        std::any_of(affiche.cbegin(), affiche.cend(), [](QChar c) { return c.isLetter(); });
    if (mots) {
        f = Surface::policeReelle(QStringLiteral("Arial"), f.pointSizeF() * 0.6, true);
        affiche = text();
    }
    // The digits are made smaller when they would not fit, rather than losing some of them,
    // and their ink is centred in the height of the display.
    const QRectF zone = contentsRect();
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
    const double x =
        alignment() & Qt::AlignLeft ? zone.left() : zone.right() - m.horizontalAdvance(affiche);
    const QPointF ligne(x, zone.center().y() - encre.center().y());
    if (mots ||
        std::any_of(affiche.cbegin(), affiche.cend(), [](QChar c) { return c.isSurrogate(); })) {
        p.setFont(f);
        p.drawText(ligne, affiche);
        return;
    }
    dessinerParGlyphes(p, f, ligne, affiche);
}

// The digits drawn from images made once per character and size: large digits would
// otherwise be outlined and filled again at each paint, the costliest part of the till's
// repaint after a scan.
void AfficheurLcd::dessinerParGlyphes(QPainter& p, const QFont& f, QPointF ligne,
                                      const QString& affiche) {
    const QColor encre = palette().color(QPalette::WindowText);
    if (f != policeGlyphes_ || encre != encreGlyphes_ || devicePixelRatioF() != ratioGlyphes_ ||
        glyphes_.size() >= kGlyphesGardes) {
        glyphes_.clear();
        policeGlyphes_ = f;
        encreGlyphes_ = encre;
        ratioGlyphes_ = devicePixelRatioF();
    }
    const QFontMetricsF m(f, this);
    auto glyphe = [&](const QString& unite) {
        auto g = glyphes_.constFind(unite);
        if (g == glyphes_.cend())
            g = glyphes_.insert(unite, dessinerGlyphe(m, unite));
        return g;
    };
    // A character that does not move the pen (the faces' decimal point) is drawn with the one
    // before it: the face draws the pair as one digit with its point.
    QStringList unites;
    for (const QChar c : affiche) {
        const QString seul(c);
        if (!unites.isEmpty() && glyphe(seul)->avance == 0)
            unites.last() += c;
        else
            unites << seul;
    }
    double x = ligne.x();
    for (const QString& unite : unites) {
        const auto g = glyphe(unite);
        if (!g->image.isNull())
            p.drawImage(
                QPointF(std::round(x + g->origine.x()), std::round(ligne.y() + g->origine.y())),
                g->image);
        x += g->avance;
    }
}

AfficheurLcd::Glyphe AfficheurLcd::dessinerGlyphe(const QFontMetricsF& m,
                                                  const QString& texte) const {
    Glyphe g;
    g.avance = m.horizontalAdvance(texte);
    // The faces' measures leave out some ink (the decimal point lies past the digit's advance):
    // the character is drawn in a wide place around its line, then kept where it left ink.
    QRectF place(0, -m.ascent(), g.avance, m.ascent() + m.descent());
    if (const QRectF encre = m.tightBoundingRect(texte); encre.isValid() && encre.width() < 1e4)
        place |= encre;
    place.adjust(-m.height() / 2, -2, m.height() / 2, 2);
    g.origine = QPointF(std::floor(place.left()), std::floor(place.top()));
    QImage image((QSizeF(std::ceil(place.right()) - g.origine.x(),
                         std::ceil(place.bottom()) - g.origine.y()) *
                  ratioGlyphes_)
                     .toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter dessin(&image);
        dessin.scale(ratioGlyphes_, ratioGlyphes_);
        dessin.setPen(encreGlyphes_);
        dessin.setFont(policeGlyphes_);
        dessin.drawText(-g.origine, texte);
    }
    QRect encre;
    for (int y = 0; y < image.height(); ++y) {
        const auto* ligne = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(ligne[x]) != 0)
                encre |= QRect(x, y, 1, 1);
    }
    if (encre.isEmpty())
        return g;
    g.image = image.copy(encre);
    g.image.setDevicePixelRatio(ratioGlyphes_);
    g.origine += QPointF(encre.topLeft()) / ratioGlyphes_;
    return g;
}
