#pragma once

#include "common/montant.h"
#include "common/resultat.h"
#include "register/ligneticket.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Database;

// The TICKETS table as the till uses it: the current open ticket, a new ticket, the closing
// of a ticket, and the lines of a ticket in the order they were recorded.
class Tickets {
  public:
    explicit Tickets(const Database& bdd) : bdd_(bdd) {}

    // The open ticket with the highest number; nothing when there is none.
    Resultat<std::optional<qint64>> ouvertLePlusHaut() const;
    // Adds an open ticket (the table gives its number and TicketClos = false).
    Resultat<qint64> creer(const QString& caisse, int vendeur);
    // Closes an open ticket in one transaction: date, total, TicketClos, till and seller.
    // Fails when the ticket is not open any more or the row could not be written.
    Resultat<> clore(qint64 numero, Montant totalTtc, const QDateTime& date, const QString& caisse,
                     const QString& vendeur);
    // The lines of the ticket, each with its article's description (the first article of
    // that code) when it is an article line.
    Resultat<QList<LigneTicket>> lignes(qint64 numero) const;

  private:
    const Database& bdd_;
};
