#include "stock/comptageinventaire.h"

#include "catalogue/magasinarticles.h"
#include "common/formats.h"
#include "common/texte.h"
#include "common/valeur.h"
#include "database/database.h"
#include "frame/journal.h"
#include "stock/informationsarticle.h"

#include <QLocale>
#include <cmath>

Resultat<std::optional<QString>> quantiteSaisie(const QString& texte) {
    if (texte == QStringLiteral("VOIR"))
        return std::optional(QStringLiteral("0"));
    if (!estQuantiteCanonique(texte))
        return std::optional<QString>();
    if (!Quantite::depuisDouble(lireNombre(texte)))
        return echec(QStringLiteral("La quantité « %1 » est refusée : une quantité comptée est "
                                    "inférieure à 100 et ne retire pas plus de "
                                    "1 000 000 000 000 articles.")
                         .arg(texte));
    return std::optional(texte);
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
                                    const QString& saisie, EcranInventaire& ecran,
                                    const Confirmation& confirmer) {
    const QString nonEnregistre = QStringLiteral("Le comptage n'est pas enregistré : %1.");
    const Resultat<std::optional<Article>> lu = MagasinArticles(bdd).parCode(saisie);
    if (!lu)
        return echec(nonEnregistre.arg(QStringLiteral("l'article « %1 » n'a pas pu être lu : %2")
                                           .arg(saisie.left(40), lu.raison())));
    const std::optional<Article>& article = *lu;
    // An article without a description cannot be counted.
    if (!article || article->libelle.isNull()) {
        const Resultat<std::optional<QString>> nombre = quantiteSaisie(saisie);
        if (!nombre)
            return nombre.echec();
        ecran.nomArticle.clear();
        ecran.infos.clear();
        if (*nombre)
            ecran.nombre = **nombre;
        return Comptage{};
    }
    const std::optional<Quantite> q = Quantite::depuisDouble(lireNombre(ecran.nombre));
    if (!q)
        return echec(nonEnregistre.arg(
            QStringLiteral("la quantité « %1 » n'est pas un nombre d'articles").arg(ecran.nombre)));
    const QString code = sansNullTexte(article->code);
    const Quantite stock = Quantite::depuisVariant(article->enStock) + *q;
    // A stock taken far below zero is most likely a slip of the finger on the quantity.
    if (*q < Quantite() && stock < kStockLePlusBas &&
        !confirmer(QStringLiteral("Ce comptage ferait passer le stock de %1 à %2. Enregistrer ce "
                                  "comptage ?")
                       .arg(code, nombreCourt(stock))))
        return Comptage{};
    // The stock first: the journal records counts that were made.
    Preparee maj(bdd, QStringLiteral("UPDATE ARTICLES SET EnStock = "
                                     "round(coalesce(EnStock, 0) + ?, 3) WHERE rowid = ?"));
    if (Resultat<> r = maj.executer({q->versBase(), article->rowid}); !r)
        return echec(nonEnregistre.arg(
            QStringLiteral("le stock de « %1 » n'a pas été modifié : %2").arg(code, r.raison())));
    Comptage comptage;
    if (Resultat<> r = journal.ecrireJournal(QStringLiteral("INVENTAIRE"),
                                             ecran.nbreInventaireTotal, code, nombreCourt(*q));
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
