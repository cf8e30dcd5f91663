#include "stock/recomptage.h"

#include "database/database.h"

#include <QSqlQuery>
#include <QVariant>
#include <cmath>

Resultat<std::optional<Quantite>> sommeDuStock(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    // Each stock is taken in whole thousandths, so that the sum is exact.
    if (Resultat<> r = executer(q, QStringLiteral("SELECT Sum(round(ARTICLES.EnStock * 1000)) AS "
                                                  "SommeDeEnStock FROM ARTICLES"));
        !r)
        return r.echec();
    if (!q.next() || q.value(0).isNull())
        return std::optional<Quantite>();
    bool ok = false;
    const double milliemes = q.value(0).toDouble(&ok);
    if (!ok || !std::isfinite(milliemes) ||
        std::fabs(milliemes) > Quantite::maximum * Quantite::echelle)
        return std::optional<Quantite>();
    return std::optional<Quantite>(Quantite::depuisMilliemes(std::llround(milliemes)));
}

Resultat<qint64> nombreArticles(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, QStringLiteral("SELECT count(*) FROM ARTICLES")); !r)
        return r.echec();
    if (!q.next())
        return echec(QStringLiteral("le nombre d'articles ne peut pas être lu"));
    return q.value(0).toLongLong();
}
