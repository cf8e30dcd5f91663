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

// One more than the greatest sequence number among the codes "ART" + digits.
Resultat<QString> apresLePlusGrandNumero(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    QString plusHaut = QStringLiteral("0");
    if (Resultat<> r = executer(q, QStringLiteral("SELECT rtrim(CodeArticle) FROM ARTICLES "
                                                  "WHERE CodeArticle >= 'ART' AND CodeArticle < "
                                                  "'ARU'"));
        !r)
        return r.echec();
    while (q.next())
        if (auto n = chiffres(q.value(0).toString().mid(kPrefixe.size()));
            n && plusGrand(*n, plusHaut))
            plusHaut = *n;
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    const QString n = plusUn(plusHaut);
    return kPrefixe + QString(qMax<qsizetype>(0, 6 - n.size()), u'0') + n;
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

Resultat<QString> nouveau(const Database& bdd) {
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
    if (code) {
        const Resultat<std::optional<Article>> deja = MagasinArticles(bdd).parCode(*code);
        if (!deja)
            return deja.echec();
        if (!*deja)
            return *code;
    }
    return apresLePlusGrandNumero(bdd);
}

} // namespace codeboutique
