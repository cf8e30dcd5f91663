#include "common/montant.h"

#include "common/texte.h"

#include <cmath>
#include <limits>

namespace {
constexpr double kMax = 9.0e14; // euros; 9e18 ten-thousandths fits in 64 bits
}

Montant Montant::depuisDouble(double euros, bool* ok) {
    if (!std::isfinite(euros) || std::fabs(euros) > kMax) {
        if (ok)
            *ok = false;
        return {};
    }
    if (ok)
        *ok = true;
    // Go through the 15 significant digits a double really holds, so 12.345 is 12.345.
    return depuisDixMilliemes(
        static_cast<std::int64_t>(arrondiDecimal(euros, 4) * 10000.0 + (euros < 0 ? -0.5 : 0.5)));
}

Montant Montant::depuisVariant(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? depuisDouble(d) : Montant{};
}

Montant Montant::arrondiCentime() const {
    const std::int64_t reste = v_ % 100;
    std::int64_t base = v_ - reste;
    if (reste >= 50)
        base += 100;
    else if (reste <= -50)
        base -= 100;
    return depuisDixMilliemes(base);
}

Montant Montant::fois(double facteur) const {
    return depuisDouble(enDouble() * facteur);
}
