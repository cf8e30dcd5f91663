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

// An amount with the decimal comma, rounded to `decimales` decimals, then without the trailing
// zeros beyond `minimum` decimals; no thousands separator, no "-0,00".
QString decimal(Montant m, int minimum, int decimales) {
    const std::int64_t v = m.arrondi(decimales).dixMilliemes();
    const std::uint64_t absolu = v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v);
    QString s = QString::number(absolu / Montant::echelle);
    QString fraction = QStringLiteral("%1").arg(absolu % Montant::echelle, 4, 10, QLatin1Char('0'));
    fraction.truncate(decimales);
    while (fraction.size() > minimum && fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        s += u',' + fraction;
    return v < 0 ? u'-' + s : s;
}
} // namespace

QString formatPrixDetail(Montant m) {
    return decimal(m, 2, 3) + u' ';
}

QString formatDeuxDecimales(Montant m) {
    return decimal(m, 2, 2) + u' ';
}

QString formatEuros(Montant m) {
    return decimal(m, 2, 2) + QStringLiteral(" €");
}

QString formatPrixEtiquette(Montant m) {
    return decimal(m, 2, 3) + QStringLiteral(" €");
}

QString nombreCourt(Montant m) {
    return decimal(m, 0, 4);
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
