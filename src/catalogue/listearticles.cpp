#include "catalogue/listearticles.h"

#include "database/database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <limits>

namespace listearticles {

QString entree(const QString& code, const QString& libelle) {
    return code + QStringLiteral(" | ") + libelle;
}

namespace {
// Walks the rows (code, libelle), keeping the entries while fewer than `garder` rows came.
Resultat<Liste> parcourir(const Database& bdd, const QString& sql, const QVariantList& valeurs,
                          qint64 garder) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, sql, valeurs); !r)
        return r.echec();
    Liste r;
    while (q.next()) {
        ++r.trouves;
        if (r.trouves < garder) {
            const QString code = q.value(0).toString();
            r.entrees.append(entree(code, q.value(1).toString()));
            r.longueursCode.append(int(code.size()));
        }
    }
    // A row that cannot be read would leave the list short without a word.
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    if (r.trouves >= garder) {
        r.entrees.clear();
        r.longueursCode.clear();
    }
    return r;
}
} // namespace

Resultat<Liste> enStock(const Database& bdd) {
    return parcourir(bdd,
                     QStringLiteral("SELECT CodeArticle, libelle FROM ARTICLES WHERE EnStock > 0"),
                     {}, std::numeric_limits<qint64>::max());
}

Resultat<Liste> rechercher(const Database& bdd, const QString& texte) {
    return parcourir(bdd,
                     QStringLiteral("SELECT CodeArticle, libelle FROM ARTICLES "
                                    "WHERE PrixVenteTTC > 0 AND correspond(?, libelle)"),
                     {QStringLiteral("*") + texte + QStringLiteral("*")}, kSeuilRecherche);
}

} // namespace listearticles
