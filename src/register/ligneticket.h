#pragma once

#include "common/montant.h"
#include "common/quantite.h"

#include <QString>
#include <QVariant>
#include <optional>

// One stored line of a ticket as the receipt reads it: the line itself and, for an article
// line, the article's description (Null for discounts, payments, sub-total markers and
// articles deleted since).
struct LigneTicket {
    qint64 id = 0;
    QString codeArticle;
    Montant prix; // signed amount including VAT
    Montant tva;
    Quantite qt;                // 0 for payments and sub-total markers
    std::optional<double> taux; // the VAT rate of an article's line or of its discount
    QVariant libelle;
    QVariant taille;
    QVariant couleur;

    // Articles and discounts carry a quantity; they count in the ticket's total.
    bool estPrixee() const { return !qt.estNul(); }
};
