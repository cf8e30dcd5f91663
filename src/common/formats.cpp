#include "common/formats.h"

#include "common/texte.h"
#include "common/valeur.h"

#include <QLocale>
#include <cmath>

namespace {
const QLocale& francais() {
    static const QLocale fr(QLocale::French, QLocale::France);
    return fr;
}

// Fixed decimals with a decimal comma and no thousands separator.
QString fixe(double v, int decimales) {
    const double r = arrondiDecimal(v, decimales);
    QString s = QString::number(r == 0 ? 0.0 : r, 'f', decimales); // no "-0,00"
    s.replace(u'.', u',');
    return s;
}
} // namespace

QString formatPrixDetail(double v) {
    QString s = fixe(v, 3);
    if (s.endsWith(u'0'))
        s.chop(1);
    return s + u' ';
}

QString formatDeuxDecimales(double v) {
    return fixe(v, 2) + u' ';
}

QString formatEuros(double v) {
    return fixe(v, 2) + QStringLiteral(" €");
}

QString formatPrixEtiquette(double v) {
    QString s = fixe(v, 3);
    if (s.endsWith(u'0'))
        s.chop(1);
    return s + QStringLiteral(" €");
}

QString nombreCourt(double v) {
    QString s = nombreCanonique(v);
    if (s.startsWith(u'.'))
        s.prepend(u'0');
    else if (s.startsWith(QStringLiteral("-.")))
        s.insert(1, u'0');
    s.replace(u'.', u',');
    return s;
}

QString nombreCourt(Quantite q) {
    const std::int64_t m = q.milliemes();
    const std::uint64_t absolu = m < 0 ? 0 - std::uint64_t(m) : std::uint64_t(m);
    QString s = QString::number(absolu / Quantite::echelle);
    if (const std::uint64_t reste = absolu % Quantite::echelle) {
        QString decimales = QStringLiteral("%1").arg(reste, 3, 10, QLatin1Char('0'));
        while (decimales.endsWith(u'0'))
            decimales.chop(1);
        s += u',' + decimales;
    }
    return m < 0 ? u'-' + s : s;
}

QString texteAffiche(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    if (estNombre(v))
        return nombreCourt(v.toDouble());
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("Vrai") : QStringLiteral("Faux");
    case QMetaType::QDate:
        return dateCourte(v.toDate());
    case QMetaType::QDateTime: {
        const QDateTime t = v.toDateTime();
        if (t.time() == QTime(0, 0))
            return dateCourte(t.date());
        return dateCourte(t.date()) + u' ' + t.toString(QStringLiteral("HH:mm:ss"));
    }
    default:
        return v.toString();
    }
}

QString nombreReglage(qint64 v) {
    return v < 0 ? QString::number(v) : u' ' + QString::number(v);
}

QString dateCourte(const QDate& d) {
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QString dateLongue(const QDateTime& t) {
    return francais().toString(t, QStringLiteral("dddd d MMMM yyyy HH:mm"));
}

QString horodatage(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString nomCloture(const QDateTime& t) {
    return t.toString(QStringLiteral("yy")) + QString::number(t.date().dayOfYear()) +
           t.toString(QStringLiteral("_MM_dd_HH_mm"));
}
