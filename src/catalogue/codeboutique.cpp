#include "catalogue/codeboutique.h"

#include "catalogue/magasinarticles.h"
#include "common/texte.h"
#include "database/database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <cmath>

namespace codeboutique {

namespace {
const QString kPrefixe = QStringLiteral("ART");
// Sequence numbers stay far below the range where a double loses whole numbers.
constexpr double kNumeroMaxi = 1e15;

// The digits of `texte`, without leading zeros, when it is made of digits only.
std::optional<QString> chiffres(const QString& texte) {
    if (texte.isEmpty())
        return std::nullopt;
    for (QChar c : texte)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    qsizetype debut = 0;
    while (debut < texte.size() - 1 && texte.at(debut) == u'0')
        ++debut;
    return texte.mid(debut);
}

// Decimal digits plus one: "999" -> "1000".
QString plusUn(QString n) {
    for (qsizetype i = n.size() - 1; i >= 0; --i) {
        if (n[i] != u'9') {
            n[i] = QChar(n[i].unicode() + 1);
            return n;
        }
        n[i] = u'0';
    }
    return u'1' + n;
}

// Numbers as digit strings without leading zeros compare by length, then by text.
bool plusGrand(const QString& a, const QString& b) {
    return a.size() != b.size() ? a.size() > b.size() : a > b;
}

// The sequence number of a shop code ("ART" and digits, trailing blanks aside), as digits
// without leading zeros.
std::optional<QString> numero(const QString& code) {
    QString c = code;
    while (c.endsWith(u' '))
        c.chop(1);
    if (!c.startsWith(kPrefixe, Qt::CaseInsensitive))
        return std::nullopt;
    return chiffres(c.mid(kPrefixe.size()));
}

QString depuisChiffres(const QString& n) {
    return kPrefixe + QString(qMax<qsizetype>(0, 6 - n.size()), u'0') + n;
}

// The greatest sequence number among the codes "ART" + digits ("0" when there is none).
Resultat<QString> plusGrandNumero(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    QString plusHaut = QStringLiteral("0");
    if (Resultat<> r = executer(q, QStringLiteral("SELECT CodeArticle FROM ARTICLES "
                                                  "WHERE CodeArticle >= 'ART' AND CodeArticle < "
                                                  "'ARU'"));
        !r)
        return r.echec();
    while (q.next())
        if (auto n = numero(q.value(0).toString()); n && plusGrand(*n, plusHaut))
            plusHaut = *n;
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return plusHaut;
}

// The sequence number of the greatest deleted shop code ("0" when none was deleted).
QString dernierSupprime(const Reglages& reglages) {
    return numero(reglages.lire(reglageDernierSupprime())).value_or(QStringLiteral("0"));
}
} // namespace

QString depuisNumero(qint64 numero) {
    return kPrefixe + QStringLiteral("%1").arg(numero, 6, 10, QLatin1Char('0'));
}

std::optional<QString> suivant(const QVariant& maximum) {
    const QString ca = maximum.isNull() ? QString() : maximum.toString();
    const QString six = (ca.mid(kPrefixe.size()) + QStringLiteral("000000")).left(6);
    bool ok = false;
    const double n = lireNombre(six, &ok) + 1;
    if (!ok || !(n >= 1) || n >= kNumeroMaxi)
        return std::nullopt;
    return depuisNumero(std::llround(n));
}

Reglage reglageDernierSupprime() {
    return {QStringLiteral("systeme"), QStringLiteral("dernier code supprime"), QString()};
}

Resultat<> retenirSuppression(const Reglages& reglages, const QString& code) {
    const std::optional<QString> n = numero(code);
    if (!n || !plusGrand(*n, dernierSupprime(reglages)))
        return {};
    const QString garde = depuisChiffres(*n);
    reglages.ecrire(reglageDernierSupprime(), garde);
    if (reglages.lire(reglageDernierSupprime()) != garde)
        return echec(QStringLiteral("le fichier de réglages %1 ne peut pas être écrit, et le code "
                                    "%2 pourrait être redonné")
                         .arg(reglages.fichier(), garde));
    return {};
}

Resultat<QString> nouveau(const Database& bdd, const Reglages& reglages) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    // The greatest code beginning with "ART", letters compared without regard to case.
    if (Resultat<> r = executer(q, QStringLiteral("SELECT CodeArticle FROM ARTICLES WHERE "
                                                  "CodeArticle >= 'ART' AND CodeArticle < 'ARU' "
                                                  "ORDER BY CodeArticle DESC LIMIT 1"));
        !r)
        return r.echec();
    const QVariant maximum = q.next() ? q.value(0) : QVariant();
    const std::optional<QString> code = suivant(maximum);
    q.finish();
    const QString supprime = dernierSupprime(reglages);
    if (code && plusGrand(*numero(*code), supprime)) {
        const Resultat<std::optional<Article>> deja = MagasinArticles(bdd).parCode(*code);
        if (!deja)
            return deja.echec();
        if (!*deja)
            return *code;
    }
    const Resultat<QString> plusHaut = plusGrandNumero(bdd);
    if (!plusHaut)
        return plusHaut.echec();
    return depuisChiffres(plusUn(plusGrand(*plusHaut, supprime) ? *plusHaut : supprime));
}

} // namespace codeboutique
