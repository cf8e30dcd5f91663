#include "catalogue/listearticles.h"

#include "database/database.h"

#include <QSqlQuery>
#include <limits>

namespace listearticles {

QString entree(const QString& code, const QString& libelle) {
    return code + QStringLiteral(" | ") + libelle;
}

namespace {
// Walks the rows (code, libelle), keeping the entries while fewer than `garder` rows came.
std::optional<Resultat> parcourir(const Database& bdd, const QString& sql,
                                  const QVariantList& valeurs, qint64 garder) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (!executer(q, sql, valeurs))
        return std::nullopt;
    Resultat r;
    while (q.next()) {
        ++r.trouves;
        if (r.trouves < garder) {
            const QString code = q.value(0).toString();
            r.entrees.append(entree(code, q.value(1).toString()));
            r.longueursCode.append(int(code.size()));
        }
    }
    if (r.trouves >= garder) {
        r.entrees.clear();
        r.longueursCode.clear();
    }
    return r;
}
} // namespace

std::optional<Resultat> enStock(const Database& bdd) {
    return parcourir(bdd,
                     QStringLiteral("SELECT CodeArticle, libelle FROM ARTICLES WHERE EnStock > 0"),
                     {}, std::numeric_limits<qint64>::max());
}

std::optional<Resultat> rechercher(const Database& bdd, const QString& texte) {
    return parcourir(bdd,
                     QStringLiteral("SELECT CodeArticle, libelle FROM ARTICLES "
                                    "WHERE PrixVenteTTC > 0 AND correspond(?, libelle)"),
                     {QStringLiteral("*") + texte + QStringLiteral("*")}, kSeuilRecherche);
}

} // namespace listearticles
