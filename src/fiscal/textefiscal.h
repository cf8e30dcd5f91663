#pragma once

#include "common/montant.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// What the signature of a closed ticket covers, written as one line of text that a verifying
// tool makes again from the stored ticket: nothing of it depends on the machine's language,
// and a change of any amount, rate, date, number, kind or chain link changes the text.
namespace textefiscal {

// The mark of the first signed record, where a later one gives the previous signature.
inline QByteArray premiereSignature() {
    return QByteArrayLiteral("PREMIERE");
}

enum class Genre { Vente, Annulation };

// The amount including VAT of one VAT rate (in percent, 19.6).
struct MontantParTaux {
    double taux = 0;
    Montant ttc;
};

struct Ticket {
    qint64 numero = 0;
    QString caisse; // the till whose chain it is in ("1" and empty: the first till)
    Genre genre = Genre::Vente;
    QDateTime cloture;
    Montant total;
    QList<MontantParTaux> parTaux;
    QByteArray precedente; // the previous ticket's signature, or premiereSignature()
};

// "TICKET;NUMERO=46;GENRE=VENTE;DATE=20261210203700;TOTAL=149.8000;TVA_5.50=10.0000;
// TVA_19.60=139.8000;PRECEDENTE=..." : ";CAISSE=2" after the number for a till other than the
// first (a shop of one till signs as it always did), amounts to the ten-thousandth, rates to the
// hundredth and in increasing order (one entry per rate, amounts of one rate added), the date in
// the shop's local time.
QByteArray texte(const Ticket& t);

// An amount as the signed texts write it: "-12.3400".
QByteArray montant(Montant m);
// A VAT rate as the signed texts write it: "19.60" (to the hundredth).
QByteArray taux(double pourcent);
// A date and time as the signed texts write it: "20261210203700"; an invalid one is empty.
QByteArray date(const QDateTime& quand);
// The date and time stored in the database ("2026-12-10 20:37:00"), read back; the signed texts
// are made again from what is stored.
QDateTime dateStockee(const QString& texte);

// One event of the till's technical journal: what happened (a word of the journal such as
// "DEMARRAGE"), when, and its detail.
struct Evenement {
    qint64 numero = 0;
    QDateTime quand;
    QString genre;
    QString detail;
    QByteArray precedente;
};
// "EVENEMENT;NUMERO=3;DATE=...;GENRE=DEMARRAGE;DETAIL=...;PRECEDENTE=...": the detail in UTF-8,
// its ';', '%' and control characters percent-encoded so that no detail can pass for another
// field.
QByteArray texte(const Evenement& e);

// The figures of one VAT rate in a closure.
struct TauxCloture {
    double taux = 0;
    Montant ttc;
    Montant ht;
};

// A closure (Z) of the tickets of a stretch of the chain: a day, or a month or a year made of
// the days' closures. Every figure is signed, and the verifying tool makes each again from the
// tickets' lines.
struct Cloture {
    qint64 numero = 0;
    QString caisse; // the till whose tickets it closes ("1" and empty: the first till)
    QString genre;  // "JOUR", "MOIS", "ANNEE"
    QDate debut;    // the period's first and last days
    QDate fin;
    qint64 premier = 0; // the first and last ticket of the chain that it closes (0, 0: none)
    qint64 dernier = 0;
    QDateTime quand; // when it was made
    qint64 tickets = 0;
    Montant totalTtc;
    Montant totalHt;
    QList<TauxCloture> parTaux;           // by increasing rate
    QList<QPair<QString, Montant>> payes; // per payment means, in the till's order
    Montant rendu;
    Montant remises;
    Montant retours;
    qint64 annulations = 0;
    Montant annule;
    qint64 duplicatas = 0;
    // The last event of the journal that the closure counts (its duplicates are those after
    // the previous closure of its kind, up to this one).
    qint64 dernierEvenement = 0;
    Montant grandTotal; // every ticket since the first, up to the last one of this closure
    QByteArray precedente;
};
// "CLOTURE;NUMERO=1;CAISSE=2;GENRE=JOUR;DEBUT=20261210;FIN=20261210;PREMIER=1;DERNIER=46;DATE=...;
// TICKETS=46;TTC=...;HT=...;TVA_19.60=TTC:HT;...;CB=...;RENDU=...;REMISES=...;RETOURS=...;
// ANNULATIONS=0:0.0000;DUPLICATAS=0;EVENEMENTS=12;GRANDTOTAL=...;PRECEDENTE=..."
// (";CAISSE=" only for a till other than the first, as for a ticket)
QByteArray texte(const Cloture& c);

// The till whose chain holds a ticket or closure, as stored (ChaineCaisse): a record signed
// before each till had a chain of its own (none) is the first till's.
QString caisseStockee(const QVariant& valeur);

} // namespace textefiscal
