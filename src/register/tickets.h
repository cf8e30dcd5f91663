#pragma once

#include "common/montant.h"
#include "common/resultat.h"
#include "register/ligneticket.h"
#include "settings/reglage.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Database;
class QSqlQuery;

// Each till of a shop has its number, the setting "Caisse" (section "systeme"): its own current
// ticket and cash journal. A shop with one till keeps the number 1, which tickets written
// before tills were numbered are taken to carry.
Reglage reglageCaisse();
// The till's number as set; 1 (said in the log) when the setting is no whole number from 1 to 99.
QString numeroCaisse(const Reglages& reglages);

// The TICKETS table as the till uses it: the current open ticket, a new ticket (the closing is
// signatureticket's), and the lines of a ticket in the order they were recorded.
class Tickets {
  public:
    explicit Tickets(const Database& bdd) : bdd_(bdd) {}

    // The open ticket of till `caisse` with the highest number; nothing when there is none.
    Resultat<std::optional<qint64>> ouvertLePlusHaut(const QString& caisse) const;
    // Adds an open ticket (the table gives its number and TicketClos = false).
    Resultat<qint64> creer(const QString& caisse, int vendeur);
    // The lines of the ticket, each with its article's description (the first article of
    // that code) when it is an article line; those recorded after line `apres` alone when it
    // is given (the lines a till just wrote, after those it holds).
    Resultat<QList<LigneTicket>> lignes(qint64 numero, qint64 apres = 0) const;

  private:
    const Database& bdd_;
};

// The amounts of a VENTES line from the current row of `q`: its columns CodeArticle,
// PrixVenteTTC, TVA, qt and TauxTVA, in that order from column `premiere` on.
LigneTicket ligneVente(const QSqlQuery& q, int premiere);
