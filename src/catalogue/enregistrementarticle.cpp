#include "catalogue/enregistrementarticle.h"

#include "catalogue/magasinarticles.h"
#include "common/montant.h"
#include "common/quantite.h"
#include "common/texte.h"
#include "database/database.h"

#include <QSqlQuery>
#include <QStringList>
#include <cmath>
#include <limits>

double conversionPrix(const QString& texte) {
    return lireNombre(remplacer(texte, QStringLiteral(","), QStringLiteral(".")));
}

double conversionTaux(const QString& texte) {
    return conversionPrix(remplacer(texte, QStringLiteral("%"), QString()));
}

QString texteStocke(const QString& texte) {
    return texte.endsWith(u' ') ? texte : texte + u' ';
}

namespace {
// A label count is a whole number of the column's range; another value is not written.
std::optional<qint64> nombreEntier(double v) {
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < std::numeric_limits<qint32>::min() ||
        r > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint64(r);
}

// A price as stored: at the scale of its column (the ten-thousandth). A number too large to be
// an amount is kept as typed.
QVariant prixStocke(double prix) {
    bool ok = false;
    const Montant m = Montant::depuisDouble(prix, &ok);
    return ok ? m.versBase() : QVariant(prix);
}

// The fields that the first phase writes, in their order, over the row found (or a new row).
void remplir(const SaisieArticle& s, Article& a) {
    a.code = s.code;
    a.libelle = texteStocke(s.libelle);
    a.prixVenteTTC = prixStocke(conversionPrix(s.prixVente));
    a.taille = texteStocke(s.taille);
    a.couleur = texteStocke(s.couleur);
    a.tauxTVAvente = conversionTaux(s.tauxVente);
    a.prixHAHT = prixStocke(conversionPrix(s.prixAchat));
    a.tauxTVAHA = conversionTaux(s.tauxAchat);
    // An empty supplier box leaves the stored supplier as it was.
    if (!s.fournisseur.isEmpty())
        a.fournisseur = s.fournisseur;
}

Resultat<> ecrirePremierePhase(const Database& bdd, const SaisieArticle& s, Enregistrement& e) {
    Article& a = e.article;
    const bool avecFournisseur = !s.fournisseur.isEmpty();
    QStringList colonnes{"CodeArticle", "libelle",      "PrixVenteTTC", "taille",
                         "couleur",     "tauxTVAvente", "PrixHAHT",     "tauxTVAHA"};
    QVariantList valeurs{a.code,    a.libelle,      a.prixVenteTTC, a.taille,
                         a.couleur, a.tauxTVAvente, a.prixHAHT,     a.tauxTVAHA};
    if (avecFournisseur) {
        colonnes << QStringLiteral("fournisseur");
        valeurs << a.fournisseur;
    }
    QSqlQuery q(bdd.connexion());
    if (!e.nouveau)
        return executer(q,
                        QStringLiteral("UPDATE ARTICLES SET ") +
                            colonnes.join(QStringLiteral(" = ?, ")) +
                            QStringLiteral(" = ? WHERE rowid = ?"),
                        valeurs << a.rowid);
    if (Resultat<> r = executer(
            q,
            QStringLiteral("INSERT INTO ARTICLES (") + colonnes.join(QStringLiteral(", ")) +
                QStringLiteral(") VALUES (") +
                QStringList(colonnes.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')',
            valeurs);
        !r)
        return r;
    a.rowid = q.lastInsertId().toLongLong();
    // The table's defaults of a new row.
    QSqlQuery defauts(bdd.connexion());
    if (Resultat<> r = executer(defauts,
                                QStringLiteral("SELECT EnStock, nbraimprimer, fournisseur FROM "
                                               "ARTICLES WHERE rowid = ?"),
                                {a.rowid});
        !r)
        return r;
    if (!defauts.next())
        return echec(QStringLiteral("le nouvel article ne peut pas être relu"));
    a.enStock = defauts.value(0);
    a.nbrAImprimer = defauts.value(1);
    if (!avecFournisseur)
        a.fournisseur = defauts.value(2);
    return {};
}

Resultat<> ecrireSecondePhase(const Database& bdd, const SaisieArticle& s, const Article& a) {
    // The pieces received are read as typed: "2,5" adds 2. A Null stock counts as 0; a stock or
    // a number of pieces beyond any real stock leaves the stock as it was.
    const double n = lireNombre(s.nombre);
    const std::optional<Quantite> avant = Quantite::depuisBase(a.enStock);
    const std::optional<Quantite> recues = Quantite::depuisDouble(n);
    const QVariant stock = avant && recues ? (*avant + *recues).versBase() : a.enStock;
    std::optional<qint64> etiquettes = nombreEntier(quantiteOuZero(a.nbrAImprimer) + n);
    if (s.aImprimerVisible)
        if (auto v = nombreEntier(lireNombre(s.aImprimer)))
            etiquettes = v;
    QSqlQuery q(bdd.connexion());
    if (etiquettes)
        return executer(q,
                        QStringLiteral("UPDATE ARTICLES SET EnStock = ?, nbraimprimer = ? "
                                       "WHERE rowid = ?"),
                        {stock, *etiquettes, a.rowid});
    return executer(q, QStringLiteral("UPDATE ARTICLES SET EnStock = ? WHERE rowid = ?"),
                    {stock, a.rowid});
}
} // namespace

Resultat<Enregistrement> enregistrerArticle(const Database& bdd, const SaisieArticle& saisie) {
    Enregistrement e;
    Transaction transaction(bdd);
    if (!transaction.debut())
        return transaction.debut().echec();
    const Resultat<std::optional<Article>> trouve = MagasinArticles(bdd).parCode(saisie.code);
    if (!trouve)
        return trouve.echec();
    if (*trouve)
        e.article = **trouve;
    else
        e.nouveau = true;
    remplir(saisie, e.article);
    if (e.nouveau)
        e.article.enStock = e.article.nbrAImprimer = 0; // until the table gives its defaults
    if (Resultat<> r = ecrirePremierePhase(bdd, saisie, e); !r)
        return r.echec();
    if (Resultat<> r = ecrireSecondePhase(bdd, saisie, e.article); !r)
        return r.echec();
    if (Resultat<> r = transaction.valider(); !r)
        return r.echec();
    return e;
}
