#pragma once

#include "common/montant.h"
#include "common/resultat.h"
#include "register/tvapartaux.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

class Database;

// The totals of the tickets closed over some days, as a daily closure (Z) reports them: per VAT
// rate, per payment means, the change given, the discounts and the returns. Exact to the
// ten-thousandth: the rates' amounts add up to the period's total, the means less the change to
// what was paid.

// The rates' shares are the tickets' own (see totauxParTaux), added up.
struct TotauxPeriode {
    qint64 tickets = 0;
    Montant totalTtc; // the articles and discounts
    Montant totalTva;
    QList<TotalTaux> parTaux;     // by increasing rate
    QMap<QString, Montant> payes; // per payment means, the amounts paid (CB, ESPECES, ...)
    Montant rendu;                // the change given back in cash
    Montant remises;              // the discount lines (zero or below)
    Montant retours;              // the article lines of negative quantity (zero or below)
    qint64 lignesRetournees = 0;
    qint64 annulations = 0; // the cancelling tickets, and their total
    Montant annule;

    // The totals of two stretches of tickets, one after the other: the same figures as if
    // they had been read as one.
    TotauxPeriode& operator+=(const TotauxPeriode& autre);
};

// The tickets closed on the days from `premier` to `dernier`, both included.
Resultat<TotauxPeriode> totauxPeriode(const Database& bdd, const QDate& premier,
                                      const QDate& dernier);
// The signed tickets of till `caisse`'s chain from place `premier` to place `dernier`, both
// included (none when `dernier` < `premier`).
Resultat<TotauxPeriode> totauxChaine(const Database& bdd, const QString& caisse, qint64 premier,
                                     qint64 dernier);
