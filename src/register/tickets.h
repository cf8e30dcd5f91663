#pragma once

#include "common/montant.h"
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

    // The open ticket with the highest number; nothing when there is none or the table
    // cannot be read.
    std::optional<qint64> ouvertLePlusHaut(QString* erreur = nullptr) const;
    // Adds an open ticket (the table gives its number and TicketClos = false).
    std::optional<qint64> creer(const QString& caisse, int vendeur, QString* erreur = nullptr);
    // Closes an open ticket in one transaction: date, total, TicketClos, till and seller.
    // False when the ticket is not open any more or the row could not be written.
    bool clore(qint64 numero, Montant totalTtc, const QDateTime& date, const QString& caisse,
               const QString& vendeur, QString* erreur = nullptr);
    // The lines of the ticket, each with its article's description (the first article of
    // that code) when it is an article line; nothing when they cannot be read.
    std::optional<QList<LigneTicket>> lignes(qint64 numero, QString* erreur = nullptr) const;

  private:
    const Database& bdd_;
};
