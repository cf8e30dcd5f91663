#include "stock/informationsarticle.h"

#include "catalogue/article.h"
#include "common/formats.h"
#include "common/valeur.h"

namespace {
// A price as "0.00# " (an empty text for a missing price).
QString prix(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    return formatPrixDetail(Montant::depuisVariant(v));
}
} // namespace

QString informationsArticle(const Article& a) {
    const QString fin = QStringLiteral("\r\n");
    return QStringLiteral("TVA : ") + sansNullTexte(a.tauxTVAvente) + QStringLiteral(" % ") + fin +
           QStringLiteral("Prix TTC : ") + prix(a.prixVenteTTC) + QStringLiteral("€") + fin +
           QStringLiteral("taille : ") + sansNullTexte(a.taille) + fin +
           QStringLiteral("Couleur : ") + sansNullTexte(a.couleur) + fin +
           QStringLiteral("Fournisseur : ") + sansNullTexte(a.fournisseur) + fin +
           QStringLiteral("TVA HA : ") + sansNullTexte(a.tauxTVAHA) + QStringLiteral(" % ") + fin +
           QStringLiteral("Prix HT HA : ") + prix(a.prixHAHT) + QStringLiteral("€") + fin;
}
