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

std::optional<QString> ajouterAuCompteur(const QString& compteur, double q) {
    const QString t = compteur.trimmed();
    bool ok = false;
    double v = QLocale(QLocale::French, QLocale::France).toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v + q))
        return std::nullopt;
    return nombreCourt(v + q);
}

void saisirInventaire(const Database& bdd, const Journal& journal, const QString& saisie,
                      EcranInventaire& ecran) {
    ecran.nomArticle.clear();
    ecran.infos.clear();
    const std::optional<Article> article = MagasinArticles(bdd).parCode(saisie);
    // An article without a description cannot be counted.
    if (!article || article->libelle.isNull()) {
        if (auto nombre = quantiteSaisie(saisie))
            ecran.nombre = *nombre;
        return;
    }
    ecran.nomArticle = sansNullTexte(article->libelle);
    const double q = lireNombre(ecran.nombre);
    const double stock = quantiteOuZero(article->enStock) + q;
    ecran.totalStock = nombreCourt(stock);
    ecran.infos = informationsArticle(*article);
    journal.ecrireJournal(QStringLiteral("INVENTAIRE"), ecran.nbreInventaireTotal,
                          sansNullTexte(article->code), nombreCourt(q));
    QSqlQuery maj(bdd.connexion());
    executer(
        maj,
        QStringLiteral("UPDATE ARTICLES SET EnStock = coalesce(EnStock, 0) + ? WHERE rowid = ?"),
        {q, article->rowid});
    if (auto total = ajouterAuCompteur(ecran.nbreInventaireTotal, q))
        ecran.nbreInventaireTotal = *total;
    if (auto nbre = ajouterAuCompteur(ecran.nbreInventaire, q))
        ecran.nbreInventaire = *nbre;
    ecran.nombre = QStringLiteral("1");
}
