#include "frame/ui/placefenetre.h"

#include <QStringList>

namespace {
constexpr int kCoteMinimum = 200;    // smaller than this, the window is of no use
constexpr int kCoteMaximum = 100000; // larger than any screen
constexpr int kVisibleMinimum = 100; // this much of it must lie on a screen
} // namespace

std::optional<PlaceFenetre> PlaceFenetre::lire(const QString& texte, const QList<QRect>& ecrans) {
    const QString t = texte.trimmed();
    if (t == QStringLiteral("agrandie"))
        return PlaceFenetre{true, std::nullopt};
    const QStringList champs = t.split(u' ', Qt::SkipEmptyParts);
    if (champs.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = champs[i].toInt(&ok);
        if (!ok || v[i] < -kCoteMaximum || v[i] > kCoteMaximum)
            return std::nullopt;
    }
    const QRect cadre(v[0], v[1], v[2], v[3]);
    if (v[2] < kCoteMinimum || v[3] < kCoteMinimum)
        return std::nullopt;
    for (const QRect& ecran : ecrans) {
        const QRect visible = ecran.intersected(cadre);
        if (visible.width() >= kVisibleMinimum && visible.height() >= kVisibleMinimum)
            return PlaceFenetre{false, cadre};
    }
    return std::nullopt;
}

QString PlaceFenetre::texte() const {
    if (agrandie || !cadre)
        return QStringLiteral("agrandie");
    return QStringLiteral("%1 %2 %3 %4")
        .arg(cadre->x())
        .arg(cadre->y())
        .arg(cadre->width())
        .arg(cadre->height());
}
