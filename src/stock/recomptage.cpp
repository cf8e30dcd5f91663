#include "stock/recomptage.h"

#include "database/database.h"

#include <QSqlQuery>
#include <QVariant>

std::optional<double> sommeDuStock(const Database& bdd, QString* erreur) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (!executer(q, QStringLiteral("SELECT Sum(ARTICLES.EnStock) AS SommeDeEnStock FROM ARTICLES"),
                  {}, erreur) ||
        !q.next() || q.value(0).isNull())
        return std::nullopt;
    bool ok = false;
    const double somme = q.value(0).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return somme;
}

std::optional<qint64> nombreArticles(const Database& bdd, QString* erreur) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (!executer(q, QStringLiteral("SELECT count(*) FROM ARTICLES"), {}, erreur) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}
