#pragma once

#include "common/montant.h"
#include "register/ligneticket.h"

#include <QList>
#include <QString>

// The sums of a ticket's lines, exact to the ten-thousandth: a fully paid ticket of
// whole-cent lines leaves exactly zero.
struct TotauxTicket {
    Montant restant;  // every line: what remains to pay
    Montant totalTtc; // the priced lines (articles and discounts)
    Montant totalTva; // the VAT of every line
    // The last priced line, shown in `dernierequantite` and `codebarre`.
    bool aLignePrixee = false;
    Quantite derniereQuantite;
    QString dernierCode;

    void ajouter(const LigneTicket& ligne);
    // Nothing to pay to the cent: the ticket may be closed.
    bool soldeAuCentime() const { return restant.arrondiCentime().estNul(); }
};

TotauxTicket totaliser(const QList<LigneTicket>& lignes);
