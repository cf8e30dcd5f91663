#include "register/tickets.h"

#include "common/formats.h"
#include "database/database.h"

#include <QSqlQuery>
#include <QVariant>

std::optional<qint64> Tickets::ouvertLePlusHaut(QString* erreur) const {
    QSqlQuery q(bdd_.connexion());
    if (!executer(q, QStringLiteral("SELECT max(NumeroTicket) FROM TICKETS WHERE TicketClos = 0"),
                  {}, erreur) ||
        !q.next() || q.value(0).isNull())
        return std::nullopt;
    return q.value(0).toLongLong();
}

std::optional<qint64> Tickets::creer(const QString& caisse, int vendeur, QString* erreur) {
    Transaction t(bdd_);
    QSqlQuery q(bdd_.connexion());
    if (!executer(q, QStringLiteral("INSERT INTO TICKETS (caisse, vendeur) VALUES (?, ?)"),
                  {caisse, vendeur}, erreur))
        return std::nullopt;
    const QVariant numero = q.lastInsertId();
    if (!numero.isValid() || !t.valider()) {
        if (erreur && erreur->isEmpty())
            *erreur = QStringLiteral("le nouveau ticket n'a pas pu être enregistré");
        return std::nullopt;
    }
    return numero.toLongLong();
}

bool Tickets::clore(qint64 numero, Montant totalTtc, const QDateTime& date, const QString& caisse,
                    const QString& vendeur, QString* erreur) {
    Transaction t(bdd_);
    QSqlQuery q(bdd_.connexion());
    if (!executer(q,
                  QStringLiteral("UPDATE TICKETS SET Date = ?, TotalTTC = ?, TicketClos = 1, "
                                 "caisse = ?, vendeur = ? WHERE NumeroTicket = ? AND "
                                 "TicketClos = 0"),
                  {horodatage(date), totalTtc.versBase(), caisse, vendeur, numero}, erreur))
        return false;
    if (q.numRowsAffected() != 1) {
        if (erreur)
            *erreur = QStringLiteral("le ticket n° %1 n'est pas ouvert").arg(numero);
        return false;
    }
    if (!t.valider()) {
        if (erreur)
            *erreur = QStringLiteral("la clôture du ticket n'a pas pu être enregistrée");
        return false;
    }
    return true;
}

std::optional<QList<LigneTicket>> Tickets::lignes(qint64 numero, QString* erreur) const {
    // One row per line: an article code shared by several rows shows the first of them.
    QSqlQuery q(bdd_.connexion());
    q.setForwardOnly(true);
    if (!executer(
            q,
            QStringLiteral("SELECT V.Id, V.CodeArticle, V.PrixVenteTTC, V.TVA, V.qt, A.libelle, "
                           "A.taille, A.couleur FROM VENTES V LEFT JOIN ARTICLES A ON A.rowid = "
                           "(SELECT min(rowid) FROM ARTICLES WHERE CodeArticle = V.CodeArticle) "
                           "WHERE V.NumeroTicket = ? ORDER BY V.Id"),
            {numero}, erreur))
        return std::nullopt;
    QList<LigneTicket> resultat;
    while (q.next()) {
        LigneTicket l;
        l.id = q.value(0).toLongLong();
        l.codeArticle = q.value(1).toString();
        l.prix = Montant::depuisVariant(q.value(2));
        l.tva = Montant::depuisVariant(q.value(3));
        l.qt = q.value(4).toDouble();
        l.libelle = q.value(5);
        l.taille = q.value(6);
        l.couleur = q.value(7);
        resultat.append(l);
    }
    return resultat;
}
