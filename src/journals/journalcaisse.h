#pragma once

#include "common/resultat.h"
#include "register/totauxticket.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Database;
class Surface;

// The day's cash journal on the A4 printer: ticket after ticket, every line with its amounts as
// on the receipt but aligned on the middle of the page, then the running VAT, total and
// remaining amount, which add up from the first ticket of the journal to the one just printed.

// The closed tickets of till `caisse` dated `jour`, by ticket number.
Resultat<QList<qint64>> ticketsDuJour(const Database& bdd, const QDate& jour,
                                      const QString& caisse);

// Prints one line ending 40 twips before the middle of the target.
void imprimerADroiteDuMilieu(Surface& ticket, const QString& texte);

// What a printed journal holds.
struct JournalImprime {
    TotauxTicket totaux;             // the running sums after the last ticket
    QList<qint64> ticketsSansLignes; // tickets whose lines could not be read
};

// Draws the journal of `tickets` onto the surface, starting new pages as it fills them; a day
// without ticket gets a page that says so. A ticket whose lines cannot be read prints a line
// saying so in their place, and its number comes back in `ticketsSansLignes`: a journal with
// missing lines never looks whole.
JournalImprime imprimerJournal(Surface& page, const Database& bdd, const QList<qint64>& tickets,
                               const QDate& jour, const QDateTime& maintenant);
