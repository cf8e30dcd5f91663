#pragma once

#include "common/montant.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

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
    Genre genre = Genre::Vente;
    QDateTime cloture;
    Montant total;
    QList<MontantParTaux> parTaux;
    QByteArray precedente; // the previous ticket's signature, or premiereSignature()
};

// "TICKET;NUMERO=46;GENRE=VENTE;DATE=20261210203700;TOTAL=149.8000;TVA_5.50=10.0000;
// TVA_19.60=139.8000;PRECEDENTE=..." : amounts to the ten-thousandth, rates to the hundredth
// and in increasing order (one entry per rate, amounts of one rate added), the date in the
// shop's local time.
QByteArray texte(const Ticket& t);

// An amount as the signed texts write it: "-12.3400".
QByteArray montant(Montant m);

} // namespace textefiscal
