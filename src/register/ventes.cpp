#include "register/ventes.h"

#include "catalogue/magasinarticles.h"
#include "database/database.h"

#include <QSqlQuery>
#include <QVariant>

Resultat<std::optional<ArticleCaisse>> Ventes::chercher(const QString& code) const {
    int fin = int(code.size());
    while (fin > 0 && code.at(fin - 1) == u' ')
        --fin;
    if (fin == 0)
        return std::optional<ArticleCaisse>();
    // Only the five columns a sale needs, through the code index.
    static const QString colonnes =
        QStringLiteral("rowid, CodeArticle, libelle, PrixVenteTTC, tauxTVAvente");
    static const QString surFichier =
        MagasinArticles::selectionParCode(colonnes, Database::Moteur::SQLite);
    static const QString surServeur =
        MagasinArticles::selectionParCode(colonnes, Database::Moteur::PostgreSQL);
    Preparee p(bdd_, bdd_.moteur() == Database::Moteur::PostgreSQL ? surServeur : surFichier);
    if (Resultat<> r = p.executer({cleCode(code)}); !r)
        return r.echec();
    QSqlQuery& q = p.requete();
    if (!q.next() || q.value(2).isNull())
        return std::optional<ArticleCaisse>();
    ArticleCaisse a;
    a.cle = q.value(0).toLongLong();
    a.code = q.value(1).toString();
    a.libelle = q.value(2).toString();
    a.prix = Montant::depuisVariant(q.value(3));
    a.taux = q.value(4).toDouble();
    return std::optional<ArticleCaisse>(a);
}

Resultat<Ecriture> Ventes::enregistrer(qint64 ticket, const QList<NouvelleLigne>& lignes,
                                       std::optional<qint64> article) {
    if (bdd_.moteur() == Database::Moteur::PostgreSQL && article && lignes.size() == 1) {
        // A scan on a server: the line and the stock in one statement, which the server commits
        // whole or not at all, instead of four exchanges with it (begin, line, stock, commit).
        const NouvelleLigne& l = lignes.first();
        Preparee vente(bdd_, QStringLiteral("WITH ligne AS (INSERT INTO VENTES (NumeroTicket, "
                                            "CodeArticle, PrixVenteTTC, TVA, qt, TauxTVA) SELECT "
                                            "?, ?, ?, ?, ?, ? WHERE EXISTS (SELECT 1 FROM TICKETS "
                                            "WHERE NumeroTicket = ? AND TicketClos = 0) RETURNING "
                                            "1), stock AS (UPDATE ARTICLES SET EnStock = "
                                            "round(EnStock - ?, 3) WHERE rowid = ? AND EXISTS "
                                            "(SELECT 1 FROM ligne)) SELECT count(*) FROM ligne"));
        if (Resultat<> r = vente.executer({ticket, l.code, l.prix.versBase(), l.tva.versBase(),
                                           l.qt.versBase(), l.taux ? QVariant(*l.taux) : QVariant(),
                                           ticket, l.qt.versBase(), *article});
            !r)
            return r.echec();
        if (!vente.requete().next())
            return echec(QStringLiteral("la vente n'a pas donné de réponse"));
        return vente.requete().value(0).toLongLong() == 1 ? Ecriture::Faite : Ecriture::TicketFerme;
    }
    Transaction t(bdd_);
    if (!t.debut())
        return t.debut().echec();
    for (const NouvelleLigne& l : lignes) {
        Preparee ligne(bdd_, QStringLiteral("INSERT INTO VENTES (NumeroTicket, CodeArticle, "
                                            "PrixVenteTTC, TVA, qt, TauxTVA) SELECT ?, ?, ?, ?, "
                                            "?, ? WHERE EXISTS (SELECT 1 FROM TICKETS WHERE "
                                            "NumeroTicket = ? AND TicketClos = 0)"));
        if (Resultat<> r =
                ligne.executer({ticket, l.code, l.prix.versBase(), l.tva.versBase(),
                                l.qt.versBase(), l.taux ? QVariant(*l.taux) : QVariant(), ticket});
            !r)
            return r.echec();
        if (ligne.requete().numRowsAffected() != 1)
            return Ecriture::TicketFerme;
    }
    if (article && !lignes.isEmpty()) {
        Preparee stock(bdd_, QStringLiteral("UPDATE ARTICLES SET EnStock = round(EnStock - ?, 3) "
                                            "WHERE rowid = ?"));
        if (Resultat<> r = stock.executer({lignes.first().qt.versBase(), *article}); !r)
            return r.echec();
    }
    if (Resultat<> r = t.valider(); !r)
        return r.echec();
    return Ecriture::Faite;
}

Resultat<Ecriture> Ventes::vendre(qint64 ticket, const ArticleCaisse& article, Quantite qt,
                                  Montant prix, Montant tva) {
    return enregistrer(ticket, {{article.code, prix, tva, qt, article.taux}}, article.cle);
}

Resultat<Ecriture> Ventes::ajouterLigne(qint64 ticket, const QString& code, Montant prix,
                                        Montant tva, Quantite qt, std::optional<double> taux) {
    return enregistrer(ticket, {{code, prix, tva, qt, taux}}, std::nullopt);
}

Resultat<Ecriture> Ventes::ajouterLignes(qint64 ticket, const QList<NouvelleLigne>& lignes) {
    return enregistrer(ticket, lignes, std::nullopt);
}
