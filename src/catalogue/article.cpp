#include "catalogue/article.h"

#include <QSqlQuery>

QString Article::colonnes() {
    return QStringLiteral("rowid, CodeArticle, libelle, taille, couleur, PrixVenteTTC, "
                          "tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, nbraimprimer");
}

Article lireArticle(const QSqlQuery& q) {
    Article a;
    a.rowid = q.value(0).toLongLong();
    a.code = q.value(1);
    a.libelle = q.value(2);
    a.taille = q.value(3);
    a.couleur = q.value(4);
    a.prixVenteTTC = q.value(5);
    a.tauxTVAvente = q.value(6);
    a.prixHAHT = q.value(7);
    a.tauxTVAHA = q.value(8);
    a.fournisseur = q.value(9);
    a.enStock = q.value(10);
    a.nbrAImprimer = q.value(11);
    return a;
}

double quantiteOuZero(const QVariant& valeur) {
    if (valeur.isNull() || !valeur.isValid())
        return 0;
    bool ok = false;
    const double v = valeur.toDouble(&ok);
    return ok ? v : 0;
}
