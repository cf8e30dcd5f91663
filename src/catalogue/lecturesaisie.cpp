#include "catalogue/lecturesaisie.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace lecturesaisie {

namespace {
// The text without its outer blanks and the spaces that group its thousands.
QString sansBlancs(const QString& texte) {
    QString t = texte.trimmed();
    t.removeIf([](QChar c) { return c == u' ' || c == u'\u00a0' || c == u'\u202f'; });
    return t;
}

// A sign, digits, at most one decimal comma or point and digits: nothing else. "" is 0.
std::optional<double> decimal(const QString& texte) {
    const QString t = sansBlancs(texte);
    if (t.isEmpty())
        return 0.0;
    qsizetype i = t.front() == u'-' || t.front() == u'+' ? 1 : 0;
    qsizetype chiffres = 0, separateurs = 0;
    QString lu = t.left(i);
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= u'0' && c <= u'9') {
            ++chiffres;
            lu += c;
        } else if ((c == u',' || c == u'.') && ++separateurs == 1) {
            lu += u'.';
        } else {
            return std::nullopt;
        }
    }
    if (chiffres == 0)
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(lu, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}
} // namespace

std::optional<Montant> prix(const QString& texte) {
    QString t = sansBlancs(texte);
    if (t.endsWith(u'€'))
        t.chop(1);
    const std::optional<double> v = decimal(t);
    if (!v)
        return std::nullopt;
    bool ok = false;
    const Montant m = Montant::depuisDouble(*v, &ok);
    if (!ok || !(m < kPrixLimite) || !(-m < kPrixLimite))
        return std::nullopt;
    return m;
}

std::optional<double> taux(const QString& texte) {
    const std::optional<double> v = decimal(QString(texte).remove(u'%'));
    if (!v || *v < 0 || *v > 100)
        return std::nullopt;
    return *v;
}

std::optional<Quantite> pieces(const QString& texte) {
    const std::optional<double> v = decimal(texte);
    return v ? Quantite::depuisDouble(*v) : std::nullopt;
}

std::optional<qint64> etiquettes(const QString& texte) {
    const QString t = sansBlancs(texte);
    qint64 n = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
        if (n > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    return n;
}

} // namespace lecturesaisie
