#include "common/texte.h"

#include <cmath>
#include <cstdlib>
#include <limits>

QString remplacer(const QString& texte, const QString& cherche, const QString& remplacement) {
    if (cherche.isEmpty())
        return texte;
    QString resultat = texte;
    qsizetype pos = 0;
    while (true) {
        const qsizetype trouve = resultat.indexOf(cherche, pos, Qt::CaseInsensitive);
        if (trouve < 0)
            break;
        resultat.replace(trouve, cherche.size(), remplacement);
        pos = trouve + remplacement.size();
    }
    return resultat;
}

QString champ(const QString& texte, const QString& separateur, int n) {
    if (separateur.isEmpty() || n < 1)
        return {};
    const QString complet = texte + separateur;
    qsizetype debut = 0;
    for (int i = 1; i < n; ++i) {
        const qsizetype p = complet.indexOf(separateur, debut);
        if (p < 0)
            return {};
        debut = p + separateur.size();
    }
    const qsizetype fin = complet.indexOf(separateur, debut);
    if (fin <= debut)
        return {};
    return complet.mid(debut, fin - debut);
}

namespace {
bool estBlanc(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

double lireEntierBase(const QString& s, qsizetype i, int base) {
    double v = 0;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (estBlanc(c))
            continue;
        const int d = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (d < 0 || d >= base)
            break;
        v = v * base + d;
    }
    return v;
}
} // namespace

double lireNombre(const QString& texte, bool* ok) {
    if (ok)
        *ok = true;
    // Blanks are ignored wherever they stand.
    QString s;
    s.reserve(texte.size());
    for (QChar c : texte)
        if (!estBlanc(c))
            s.append(c);
    if (s.size() >= 2 && s.at(0) == u'&') {
        const QChar b = s.at(1).toUpper();
        if (b == u'H')
            return lireEntierBase(s, 2, 16);
        if (b == u'O')
            return lireEntierBase(s, 2, 8);
    }
    QByteArray n;
    qsizetype i = 0;
    auto chiffres = [&] {
        qsizetype debut = i;
        while (i < s.size() && s.at(i).isDigit() && s.at(i).unicode() < 128)
            n.append(char(s.at(i++).unicode()));
        return i > debut;
    };
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        n.append(char(s.at(i++).unicode()));
    bool vu = chiffres();
    if (i < s.size() && s.at(i) == u'.') {
        n.append('.');
        ++i;
        vu = chiffres() || vu;
    }
    if (!vu)
        return 0;
    if (i < s.size() && QStringLiteral("EeDd").contains(s.at(i))) {
        const qsizetype retour = i;
        const qsizetype tailleAvant = n.size();
        n.append('e');
        ++i;
        if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
            n.append(char(s.at(i++).unicode()));
        if (!chiffres()) {
            i = retour;
            n.truncate(tailleAvant);
        }
    }
    const double v = std::strtod(n.constData(), nullptr);
    if (!std::isfinite(v)) {
        if (ok)
            *ok = false;
        return 0;
    }
    return v;
}

double hexVersNombre(const QString& texte) {
    static const QString chiffres = QStringLiteral("0123456789ABCDEF");
    double v = 0;
    for (QChar c : texte) {
        const int d = chiffres.indexOf(c); // case-sensitive: small letters are skipped
        if (d >= 0)
            v = v * 16 + d;
    }
    return v;
}

double arrondiDecimal(double valeur, int decimales) {
    if (!std::isfinite(valeur) || decimales < 0)
        return valeur;
    // Work on the decimal text of the value's 15 significant digits, as a cash register
    // does: 12.345 rounds to 12.35 even though the double is a hair below it.
    const QByteArray exact = QByteArray::number(valeur, 'e', 14);
    const double propre = std::strtod(exact.constData(), nullptr);
    const double facteur = std::pow(10.0, decimales);
    const double echelle = propre * facteur;
    if (std::fabs(echelle) > 9.0e15)
        return propre;
    // Correct the product's own binary error before taking the half away from zero.
    const QByteArray e2 = QByteArray::number(echelle, 'e', 14);
    const double net = std::strtod(e2.constData(), nullptr);
    const double arrondi = net < 0 ? -std::floor(-net + 0.5) : std::floor(net + 0.5);
    return arrondi / facteur;
}

double texteVersNombre(const QString& texte, int decimales) {
    if (texte.size() > 2 && texte.left(2).toUpper() == u"&H")
        return hexVersNombre(texte.mid(2));
    QString t = texte;
    t.replace(u',', u'.');
    const double v = lireNombre(t);
    if (decimales == -1)
        return v;
    return arrondiDecimal(v, decimales);
}

QString nombreCanonique(double valeur) {
    if (valeur == 0)
        return QStringLiteral("0");
    QString s = QString::number(valeur, 'g', 15);
    if (s.contains(u'e'))
        return s.toUpper();
    if (s.startsWith(QStringLiteral("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QStringLiteral("-0.")))
        s.remove(1, 1);
    return s;
}

bool estQuantiteCanonique(const QString& texte) {
    const double v = lireNombre(texte);
    return v < 100 && texte == nombreCanonique(v);
}

QString sansCaracteresDeControle(QString texte) {
    for (QChar& c : texte)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    return texte;
}

qint64 entierEnTete(const QString& texte) {
    qint64 v = 0;
    for (QChar c : texte) {
        if (!c.isDigit() || c.unicode() > 127)
            break;
        if (v > (std::numeric_limits<qint64>::max() - 9) / 10)
            break;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}
