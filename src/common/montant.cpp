#include "common/montant.h"

#include "common/texte.h"

#include <cmath>
#include <limits>

namespace {
using Large = __int128;

// n / d rounded to the nearest whole number, halves away from zero (d > 0). A result beyond what
// an amount holds saturates, far beyond any limit the callers check amounts against.
std::int64_t diviserArrondi(Large n, Large d) {
    Large q = n / d;
    const Large r = n % d;
    if (2 * (r < 0 ? -r : r) >= d)
        q += n < 0 ? -1 : 1;
    constexpr Large haut = std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(q > haut ? haut : q < -haut ? -haut : q);
}

// A rate in percent as a whole number of millionths of a percent (19.6 -> 19600000), through
// its 15 significant digits.
std::optional<std::int64_t> millioniemes(double pourcent) {
    if (!std::isfinite(pourcent) || std::fabs(pourcent) > 1.0e9)
        return std::nullopt;
    return std::llround(arrondiDecimal(pourcent, 6) * 1.0e6);
}
} // namespace

Montant Montant::depuisDouble(double euros, bool* ok) {
    if (!std::isfinite(euros) || std::fabs(euros) > maximum) {
        if (ok)
            *ok = false;
        return {};
    }
    if (ok)
        *ok = true;
    const double x = euros * echelle;
    // Amounts read from a currency column are whole ten-thousandths already: taken as they are.
    const double entier = std::nearbyint(x);
    if (std::fabs(x - entier) <= 1e-7 * std::max(1.0, std::fabs(x)))
        return depuisDixMilliemes(static_cast<std::int64_t>(entier));
    return depuisDixMilliemes(std::llround(arrondiDecimal(euros, 4) * echelle));
}

Montant Montant::depuisVariant(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? depuisDouble(d) : Montant{};
}

Montant Montant::arrondi(int decimales) const {
    std::int64_t pas = 1;
    for (int i = decimales; i < 4; ++i)
        pas *= 10;
    return depuisDixMilliemes(diviserArrondi(Large(diviserArrondi(v_, pas)) * pas, 1));
}

Montant Montant::fois(Quantite q) const {
    return depuisDixMilliemes(diviserArrondi(Large(v_) * q.milliemes(), Quantite::echelle));
}

Montant Montant::divisePar(Quantite q) const {
    if (q.estNul())
        return {};
    const Large n = Large(v_) * Quantite::echelle;
    const Large d = q.milliemes();
    return depuisDixMilliemes(d < 0 ? diviserArrondi(-n, -d) : diviserArrondi(n, d));
}

Montant Montant::pourcentage(double pourcent) const {
    const std::optional<std::int64_t> p = millioniemes(pourcent);
    if (!p) {
        // A rate beyond reason gives an amount beyond any limit, which callers refuse.
        if (v_ == 0 || std::isnan(pourcent))
            return {};
        const bool negatif = (v_ < 0) != (pourcent < 0);
        return depuisDixMilliemes(negatif ? -std::numeric_limits<std::int64_t>::max()
                                          : std::numeric_limits<std::int64_t>::max());
    }
    return depuisDixMilliemes(diviserArrondi(Large(v_) * *p, Large(100) * 1000000));
}

Montant Montant::tvaContenue(double taux) const {
    const std::optional<std::int64_t> t = millioniemes(taux);
    if (!t || *t <= -100 * 1000000)
        return {};
    return depuisDixMilliemes(diviserArrondi(Large(v_) * *t, Large(100) * 1000000 + *t));
}

Montant Montant::proportion(Montant numerateur, Montant denominateur) const {
    if (denominateur.estNul())
        return {};
    const Large n = Large(v_) * numerateur.v_;
    const Large d = denominateur.v_;
    return depuisDixMilliemes(d < 0 ? diviserArrondi(-n, -d) : diviserArrondi(n, d));
}
