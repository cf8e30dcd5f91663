#pragma once

#include "common/montant.h"
#include "register/ligneticket.h"

#include <QList>

// A ticket's amounts per VAT rate, as the receipt and the daily closure give them.

// One VAT rate's share. A discount on the whole ticket spans its rates: it is shared among them
// in proportion to each rate's amount on that ticket (the last rate takes what the rounding
// leaves, so that the rates add up exactly to the ticket). Lines sold before rates were
// recorded, on a ticket without any recorded rate, come under the rate kTauxInconnu.
struct TotalTaux {
    double taux = 0;
    Montant ttc;
    Montant tva;
    Montant ht() const { return ttc - tva; }
};
constexpr double kTauxInconnu = -1;

// The priced lines of one ticket per rate, by increasing rate.
QList<TotalTaux> totauxParTaux(const QList<LigneTicket>& lignes);

// Adds rates' totals to others, rate by rate, keeping the increasing order.
void cumulerParTaux(QList<TotalTaux>& cumul, const QList<TotalTaux>& ajout);
