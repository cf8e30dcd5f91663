#include "labels/grilleetiquettes.h"

#include "common/texte.h"

#include <cmath>
#include <limits>

namespace grille {

int positionDepart(const QString& reglage) {
    bool ok = false;
    const double lu = lireNombre(reglage, &ok);
    // A count beyond the whole numbers of the settings is not a count: start at the first label.
    if (!ok || !std::isfinite(lu) || std::fabs(lu) > double(std::numeric_limits<qint32>::max()))
        return 0;
    const qint64 s = std::llrint(lu);   // to the nearest, halves to even
    const qint64 reste = s % positions; // keeps the sign of s
    return reste > 0 ? int(reste) : 0;
}

bool Position::avancer() {
    if (++colonne < colonnes)
        return false;
    colonne = 0;
    if (++ligne < lignes)
        return false;
    ligne = 0;
    return true;
}

qint64 nombreFeuilles(int depart, qint64 etiquettes) {
    if (etiquettes <= 0)
        return 0;
    const qint64 max = std::numeric_limits<qint64>::max();
    if (etiquettes > max - positions)
        return max / positions + 1;
    return (depart + etiquettes + positions - 1) / positions;
}

} // namespace grille
