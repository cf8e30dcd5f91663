#include "catalogue/listearticles.h"

#include "common/texte.h"
#include "database/database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <limits>

namespace listearticles {

namespace {
// A part of an entry on one line, without its outer blanks (copied only when it has to change:
// the list may hold a hundred thousand entries).
QString partie(const QString& texte) {
    for (QChar c : texte)
        if (c.category() == QChar::Other_Control)
            return sansCaracteresDeControle(texte).trimmed();
    return texte.trimmed();
}
} // namespace

QString entree(const QString& code, const QString& libelle, const QString& taille,
               const QString& couleur) {
    QString texte = code + QStringLiteral(" | ") + partie(libelle) + QStringLiteral("\n    ");
    const QString t = partie(taille), c = partie(couleur);
    texte += t;
    if (!t.isEmpty() && !c.isEmpty())
        texte += QStringLiteral(" · ");
    return texte + c;
}

namespace {
// Walks the rows (code, libelle, taille, couleur), keeping the entries while fewer than `garder`
// rows came.
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
            r.entrees.append(
                entree(code, q.value(1).toString(), q.value(2).toString(), q.value(3).toString()));
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
    return parcourir(
        bdd,
        QStringLiteral(
            "SELECT CodeArticle, libelle, taille, couleur FROM ARTICLES WHERE EnStock > 0"),
        {}, std::numeric_limits<qint64>::max());
}

Resultat<Liste> rechercher(const Database& bdd, const QString& texte) {
    return parcourir(bdd,
                     QStringLiteral("SELECT CodeArticle, libelle, taille, couleur FROM ARTICLES "
                                    "WHERE PrixVenteTTC > 0 AND correspond(?, libelle)"),
                     {QStringLiteral("*") + texte + QStringLiteral("*")}, kSeuilRecherche);
}

} // namespace listearticles
