#include "common/valeur.h"

#include "common/formats.h"

bool estNombre(const QVariant& valeur) {
    switch (valeur.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

namespace {
// A boolean compares and tests as the number it stands for (True is 1).
bool parSaValeur(const QVariant& v) {
    return estNombre(v) || v.typeId() == QMetaType::Bool;
}

int comparer(const QVariant& a, const QVariant& b) {
    if (parSaValeur(a) && parSaValeur(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x > y ? 1 : (x < y ? -1 : 0);
    }
    return QVariant::compare(a, b) == QPartialOrdering::Greater ? 1 : 0;
}
} // namespace

QVariant choisir(const QVariant& condition, const QVariant& siVrai, const QVariant& siFaux) {
    if (condition.isNull() || !condition.isValid())
        return siFaux;
    if (parSaValeur(condition))
        return condition.toDouble() != 0 ? siVrai : siFaux;
    bool ok = false;
    const double d = condition.toString().toDouble(&ok);
    if (!ok)
        return siVrai; // a condition that cannot be evaluated gives the first value
    return d != 0 ? siVrai : siFaux;
}

QVariant sansNull(const QVariant& valeur) {
    return choisir(QVariant(valeur.isNull() || !valeur.isValid()), QVariant(QString()), valeur);
}

QString sansNullTexte(const QVariant& valeur) {
    return texteAffiche(sansNull(valeur));
}

QVariant maxi(const QVariant& a, const QVariant& b) {
    return comparer(a, b) > 0 ? a : b;
}

QVariant mini(const QVariant& a, const QVariant& b) {
    return comparer(a, b) > 0 ? b : a;
}
