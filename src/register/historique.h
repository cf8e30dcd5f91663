#pragma once

#include "common/montant.h"
#include "common/resultat.h"
#include "fiscal/textefiscal.h"
#include "register/ligneticket.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class CleFiscale;
class Database;

// The closed tickets looked up again: found by number, day or total, read back with their
// lines to be shown or printed again as a duplicate, and cancelled by a cancelling ticket.
namespace historique {

// How many tickets a search lists at most, the newest first.
constexpr int kMaximumTrouves = 300;

// A closed ticket as the list of found tickets shows it.
struct TicketTrouve {
    qint64 numero = 0;
    QDateTime date;
    Montant total;
    textefiscal::Genre genre = textefiscal::Genre::Vente;
    qint64 annule = 0; // the ticket it cancels, for a cancelling ticket
};

// The closed tickets that the typed text names: a ticket number ("46"), a day ("05/03/2024"),
// or a total in euros ("12,50", "12.5 €", "-3,00"); an empty text lists the latest tickets.
// A text that is none of them is refused with the reason.
Resultat<QList<TicketTrouve>> chercher(const Database& bdd, const QString& texte);

// A closed ticket with its lines and its signature.
struct TicketClos {
    TicketTrouve entete;
    QList<LigneTicket> lignes;
    QByteArray signature;
    qint64 annulePar = 0; // the cancelling ticket, when it was cancelled
};
// Fails when there is no closed ticket of that number.
Resultat<TicketClos> lire(const Database& bdd, qint64 numero);

// The detail of the duplicate event: "ticket n° 46, duplicata n° 2".
QString detailDuplicata(qint64 numero, int rang);
// The ticket a duplicate event's detail names; 0 when it names none.
qint64 ticketDuDuplicata(const QString& detail);
// Records in the events journal that the ticket is printed again, before it is printed;
// gives the duplicate's rank, 1 for the first duplicate of that ticket.
Resultat<int> consignerDuplicata(const Database& bdd, const CleFiscale& cle, qint64 numero,
                                 const QDateTime& quand);

// Who cancels, and when.
struct Annulation {
    qint64 numero = 0; // the ticket to cancel
    QDateTime quand;
    QString caisse;
    QString vendeur;
};
// Cancels a closed sale by a new cancelling ticket: its lines negated (articles back in stock,
// payments handed back), closed and signed, all in one transaction, then the cancellation
// recorded in the events journal. Refuses a cancelling ticket, a ticket already cancelled,
// an open or missing ticket. Gives the cancelling ticket's number.
Resultat<qint64> annuler(const Database& bdd, const CleFiscale& cle, const Annulation& a);

} // namespace historique
