#include "register/ventes.h"

#include "database/database.h"

#include <QSqlQuery>
#include <QVariant>

std::optional<ArticleCaisse> Ventes::chercher(const QString& code, QString* erreur) const {
    int fin = int(code.size());
    while (fin > 0 && code.at(fin - 1) == u' ')
        --fin;
    if (fin == 0)
        return std::nullopt;
    QSqlQuery q(bdd_.connexion());
    q.setForwardOnly(true);
    if (!executer(q,
                  QStringLiteral("SELECT rowid, CodeArticle, libelle, PrixVenteTTC, tauxTVAvente "
                                 "FROM ARTICLES WHERE rtrim(CodeArticle) = rtrim(?) COLLATE "
                                 "NOCASE ORDER BY rowid LIMIT 1"),
                  {code}, erreur) ||
        !q.next() || q.value(2).isNull())
        return std::nullopt;
    ArticleCaisse a;
    a.cle = q.value(0).toLongLong();
    a.code = q.value(1).toString();
    a.libelle = q.value(2).toString();
    a.prix = Montant::depuisVariant(q.value(3));
    a.taux = q.value(4).toDouble();
    return a;
}

Ecriture Ventes::enregistrer(qint64 ticket, const QString& code, Montant prix, Montant tva,
                             double qt, std::optional<qint64> article, QString* erreur) {
    Transaction t(bdd_);
    if (!t.active()) {
        if (erreur)
            *erreur = QStringLiteral("la base de données n'est pas disponible");
        return Ecriture::Echec;
    }
    QSqlQuery q(bdd_.connexion());
    if (!executer(q,
                  QStringLiteral("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, "
                                 "TVA, qt) SELECT ?, ?, ?, ?, ? WHERE EXISTS (SELECT 1 FROM "
                                 "TICKETS WHERE NumeroTicket = ? AND TicketClos = 0)"),
                  {ticket, code, prix.versBase(), tva.versBase(), qt, ticket}, erreur))
        return Ecriture::Echec;
    if (q.numRowsAffected() != 1) {
        if (erreur)
            *erreur = QStringLiteral("le ticket n° %1 n'est plus ouvert").arg(ticket);
        return Ecriture::TicketFerme;
    }
    if (article &&
        !executer(q, QStringLiteral("UPDATE ARTICLES SET EnStock = EnStock - ? WHERE rowid = ?"),
                  {qt, *article}, erreur))
        return Ecriture::Echec;
    if (!t.valider()) {
        if (erreur)
            *erreur = QStringLiteral("la ligne n'a pas pu être enregistrée");
        return Ecriture::Echec;
    }
    return Ecriture::Faite;
}

Ecriture Ventes::vendre(qint64 ticket, const ArticleCaisse& article, double qt, Montant prix,
                        Montant tva, QString* erreur) {
    return enregistrer(ticket, article.code, prix, tva, qt, article.cle, erreur);
}

Ecriture Ventes::ajouterLigne(qint64 ticket, const QString& code, Montant prix, Montant tva,
                              double qt, QString* erreur) {
    return enregistrer(ticket, code, prix, tva, qt, std::nullopt, erreur);
}
