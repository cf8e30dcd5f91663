#pragma once

#include "common/montant.h"
#include "common/quantite.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

// The shop's French regional conventions, in one place, whatever the machine's locale.

// "0.00# ": two or three decimals (three only when the third is not zero), decimal comma,
// one trailing blank: 12.5 -> "12,50 ", 12.505 -> "12,505 ".
QString formatPrixDetail(Montant m);
// "#0.00 ": two decimals and a blank: "12,50 ".
QString formatDeuxDecimales(Montant m);
// "#0.00 €": two decimals, a blank and the euro sign: "12,50 €".
QString formatEuros(Montant m);
// "0.00# €" of the label sheets: "12,50 €".
QString formatPrixEtiquette(Montant m);
// An amount in its shortest decimal form with the decimal comma: 12.5 -> "12,5", 3 -> "3".
QString nombreCourt(Montant m);
// A number in its shortest decimal form with the decimal comma: 19.6 -> "19,6", 3 -> "3".
QString nombreCourt(double v);
// A quantity the same way: 2.5 -> "2,5", 3 -> "3", -0.125 -> "-0,125".
QString nombreCourt(Quantite q);
// How a field value is shown in a box or joined to text: numbers in their shortest French
// form, dates as "dd/mm/yyyy hh:mm:ss" (time left out at midnight), text as is, Null empty.
QString texteAffiche(const QVariant& v);
// A number written into the settings file: one blank before a non-negative number (" 5").
QString nombreReglage(qint64 v);

// "dd/mm/yyyy"
QString dateCourte(const QDate& d);
// "dddd d mmmm yyyy hh:nn": "jeudi 10 décembre 2026 04:06"
QString dateLongue(const QDateTime& t);
// "yyyy-mm-dd hh:nn:ss"
QString horodatage(const QDateTime& t);
// "yyy_mm_dd_hh_nn": two-digit year followed by the day of the year, then month, day, hour,
// minutes: 1 May 2024 14:30 -> "24122_05_01_14_30".
QString nomCloture(const QDateTime& t);
