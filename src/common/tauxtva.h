#pragma once

#include <QtGlobal>
#include <cmath>

// A VAT rate in percent as rates are compared and written: in hundredths of a percent, so that
// 19.6 and 19.600000001 are one rate. A rate that is no number (a damaged row) counts as 0.
inline qint64 centiemesDeTaux(double taux) {
    return std::isfinite(taux) && std::fabs(taux) < 1e6 ? std::llround(taux * 100) : 0;
}
