#include "catalogue/enregistrementarticle.h"

#include "catalogue/lecturesaisie.h"
#include "catalogue/magasinarticles.h"
#include "common/formats.h"
#include "common/montant.h"
#include "common/quantite.h"
#include "common/texte.h"
#include "database/database.h"

#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

QString texteStocke(const QString& texte) {
    return texte.endsWith(u' ') ? texte : texte + u' ';
}

namespace {
// A typed text as a message shows it: on one line, not too long.
QString cite(const QString& texte) {
    QString t = sansCaracteresDeControle(texte);
    return t.size() > 40 ? t.left(40) + u'…' : t;
}

CaseRefusee refus(const char* boite, const QString& legende, const QString& texte,
                  const QString& attendu) {
    return {QLatin1String(boite),
            QStringLiteral("La case « %1 » contient « %2 », qui n'est pas %3.")
                .arg(legende, cite(texte), attendu)};
}

// The fields that the first phase writes, in their order, over the row found (or a new row).
// The form has been checked: every number reads.
void remplir(const SaisieArticle& s, Article& a) {
    a.code = s.code;
    a.libelle = texteStocke(s.libelle);
    a.prixVenteTTC = lecturesaisie::prix(s.prixVente)->versBase();
    a.taille = texteStocke(s.taille);
    a.couleur = texteStocke(s.couleur);
    a.tauxTVAvente = *lecturesaisie::taux(s.tauxVente);
    a.prixHAHT = lecturesaisie::prix(s.prixAchat)->versBase();
    a.tauxTVAHA = *lecturesaisie::taux(s.tauxAchat);
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
    // A Null stock counts as 0, and so does a damaged one (not a number of pieces), which the
    // save puts right.
    const Quantite recues = *lecturesaisie::pieces(s.nombre);
    const Quantite avant = Quantite::depuisVariant(a.enStock);
    const std::optional<Quantite> stock = Quantite::depuisDouble((avant + recues).enDouble());
    if (!stock)
        return echec(QStringLiteral("le stock deviendrait %1, au-delà de tout stock")
                         .arg(nombreCourt(avant + recues)));
    // A new code gets as many labels as pieces received (none for pieces taken off); the box,
    // when it is shown, says how many.
    const double calcul = quantiteOuZero(a.nbrAImprimer) + recues.enDouble();
    qint64 etiquettes = std::isfinite(calcul)
                            ? qint64(std::clamp(std::nearbyint(calcul), 0.0,
                                                double(std::numeric_limits<qint32>::max())))
                            : 0;
    if (s.aImprimerVisible)
        etiquettes = *lecturesaisie::etiquettes(s.aImprimer);
    QSqlQuery q(bdd.connexion());
    return executer(q,
                    QStringLiteral("UPDATE ARTICLES SET EnStock = ?, nbraimprimer = ? "
                                   "WHERE rowid = ?"),
                    {stock->versBase(), etiquettes, a.rowid});
}
} // namespace

std::optional<CaseRefusee> caseRefusee(const SaisieArticle& s) {
    for (QChar c : s.code) {
        if (c == u'*' || c == u'?')
            return CaseRefusee{QStringLiteral("CodeArticle"),
                               QStringLiteral("Le code « %1 » contient « %2 », qui sert à chercher "
                                              "les articles : un article ne peut pas être "
                                              "enregistré sous ce code.")
                                   .arg(cite(s.code), c)};
        if (c.category() == QChar::Other_Control)
            return CaseRefusee{QStringLiteral("CodeArticle"),
                               QStringLiteral("Le code « %1 » contient un caractère de contrôle : "
                                              "un article ne peut pas être enregistré sous ce "
                                              "code.")
                                   .arg(cite(s.code))};
    }
    if (!lecturesaisie::pieces(s.nombre))
        return refus("NombreArticles", QStringLiteral("Nombre à ajouter"), s.nombre,
                     QStringLiteral("un nombre de pièces : tapez par exemple 3, ou -1 pour en "
                                    "retirer une"));
    if (s.aImprimerVisible && !lecturesaisie::etiquettes(s.aImprimer))
        return refus("aimprimer", QStringLiteral("A imprimer"), s.aImprimer,
                     QStringLiteral("un nombre d'étiquettes : tapez un nombre entier, 0 ou plus"));
    const QString prix = QStringLiteral("un prix : tapez un montant en euros de moins de "
                                        "1 000 000 000, par exemple 29,90");
    const QString taux =
        QStringLiteral("un taux de TVA : tapez un pourcentage de 0 à 100, par exemple 20 ou 5,5");
    if (!lecturesaisie::prix(s.prixVente))
        return refus("prixdeventettc", QStringLiteral("Prix Vente TTC"), s.prixVente, prix);
    if (!lecturesaisie::taux(s.tauxVente))
        return refus("tauxtvavente", QStringLiteral("Taux TVA vente"), s.tauxVente, taux);
    if (!lecturesaisie::prix(s.prixAchat))
        return refus("prixhaht", QStringLiteral("Prix achat HT"), s.prixAchat, prix);
    if (!lecturesaisie::taux(s.tauxAchat))
        return refus("tauxtvaha", QStringLiteral("Taux TVA HA"), s.tauxAchat, taux);
    return std::nullopt;
}

Resultat<Enregistrement> enregistrerArticle(const Database& bdd, const SaisieArticle& saisie) {
    if (const std::optional<CaseRefusee> r = caseRefusee(saisie))
        return echec(r->raison);
    Enregistrement e;
    Transaction transaction(bdd);
    if (!transaction.debut())
        return transaction.debut().echec();
    if (Resultat<> r = bdd.reserverArticles(); !r)
        return r.echec();
    const Resultat<std::optional<Article>> trouve = MagasinArticles(bdd).parCode(saisie.code);
    if (!trouve)
        return trouve.echec();
    if (*trouve && saisie.codeNouveau)
        return echec(QStringLiteral("le code %1 vient d'être donné à un autre article, sur une "
                                    "autre caisse ; cliquez à nouveau sur « Créer un nouveau "
                                    "CODE » pour en avoir un autre")
                         .arg(cite(saisie.code)));
    if (*trouve) {
        e.article = **trouve;
        // The stock and labels are written back as they are plus what the form adds: read
        // again, held until the end, since another till may have sold one since.
        QSqlQuery q(bdd.connexion());
        if (Resultat<> r = executer(q,
                                    QStringLiteral("SELECT EnStock, nbraimprimer FROM ARTICLES "
                                                   "WHERE rowid = ?") +
                                        bdd.pourModifier(),
                                    {e.article.rowid});
            !r)
            return r.echec();
        if (q.next()) {
            e.article.enStock = q.value(0);
            e.article.nbrAImprimer = q.value(1);
        }
    } else {
        e.nouveau = true;
    }
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
