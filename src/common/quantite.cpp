#include "common/quantite.h"

#include "common/texte.h"

#include <cmath>

std::optional<Quantite> Quantite::depuisDouble(double v) {
    if (!std::isfinite(v) || std::fabs(v) > maximum)
        return std::nullopt;
    // Through the 15 significant digits a double holds: 0.1 + 0.2 is 0.3.
    return depuisMilliemes(std::llround(arrondiDecimal(v, 3) * echelle));
}

std::optional<Quantite> Quantite::depuisBase(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return Quantite();
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? depuisDouble(d) : std::nullopt;
}
