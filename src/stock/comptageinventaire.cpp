#include "stock/comptageinventaire.h"

#include "catalogue/magasinarticles.h"
#include "common/formats.h"
#include "common/texte.h"
#include "common/valeur.h"
#include "database/database.h"
#include "frame/journal.h"
#include "stock/informationsarticle.h"

#include <QLocale>
#include <QSqlQuery>
#include <cmath>

std::optional<QString> quantiteSaisie(const QString& texte) {
    if (texte == QStringLiteral("VOIR"))
        return QStringLiteral("0");
    if (estQuantiteCanonique(texte))
        return texte;
    return std::nullopt;
}

std::optional<QString> ajouterAuCompteur(const QString& compteur, Quantite q) {
    const QString t = compteur.trimmed();
    bool ok = false;
    double v = QLocale(QLocale::French, QLocale::France).toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    const std::optional<Quantite> avant = ok ? Quantite::depuisDouble(v) : std::nullopt;
    if (!avant)
        return std::nullopt;
    return nombreCourt(*avant + q);
}

Resultat<Comptage> saisirInventaire(const Database& bdd, const Journal& journal,
                                    const QString& saisie, EcranInventaire& ecran) {
    const Resultat<std::optional<Article>> lu = MagasinArticles(bdd).parCode(saisie);
    if (!lu)
        return echec(QStringLiteral("l'article « %1 » n'a pas pu être lu : %2")
                         .arg(saisie.left(40), lu.raison()));
    const std::optional<Article>& article = *lu;
    // An article without a description cannot be counted.
    if (!article || article->libelle.isNull()) {
        ecran.nomArticle.clear();
        ecran.infos.clear();
        if (auto nombre = quantiteSaisie(saisie))
            ecran.nombre = *nombre;
        return Comptage{};
    }
    const std::optional<Quantite> q = Quantite::depuisDouble(lireNombre(ecran.nombre));
    if (!q)
        return echec(
            QStringLiteral("la quantité « %1 » n'est pas un nombre d'articles").arg(ecran.nombre));
    const Quantite stock = Quantite::depuisVariant(article->enStock) + *q;
    // The stock first: the journal records counts that were made.
    QSqlQuery maj(bdd.connexion());
    if (Resultat<> r =
            executer(maj,
                     QStringLiteral("UPDATE ARTICLES SET EnStock = "
                                    "round(coalesce(EnStock, 0) + ?, 3) WHERE rowid = ?"),
                     {q->versBase(), article->rowid});
        !r)
        return echec(QStringLiteral("le stock de « %1 » n'a pas été modifié : %2")
                         .arg(sansNullTexte(article->code), r.raison()));
    Comptage comptage;
    if (Resultat<> r =
            journal.ecrireJournal(QStringLiteral("INVENTAIRE"), ecran.nbreInventaireTotal,
                                  sansNullTexte(article->code), nombreCourt(*q));
        !r)
        comptage.journalNonEcrit = r.raison();
    ecran.nomArticle = sansNullTexte(article->libelle);
    ecran.infos = informationsArticle(*article);
    ecran.totalStock = nombreCourt(stock);
    if (auto total = ajouterAuCompteur(ecran.nbreInventaireTotal, *q))
        ecran.nbreInventaireTotal = *total;
    if (auto nbre = ajouterAuCompteur(ecran.nbreInventaire, *q))
        ecran.nbreInventaire = *nbre;
    ecran.nombre = QStringLiteral("1");
    return comptage;
}
