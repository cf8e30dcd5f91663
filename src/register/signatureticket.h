#pragma once

#include "common/montant.h"
#include "common/resultat.h"
#include "fiscal/textefiscal.h"
#include "register/ligneticket.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

class CleFiscale;
class Database;

// The signature of closed tickets: each closed ticket is signed over its figures and the
// signature of the ticket closed before it, so that no ticket can be changed, removed, put in
// another's place or slipped in without the chain showing it.
namespace signatureticket {

// The signed text's figures of a ticket of till `caisse` from its stored lines: the total as
// stored, the amounts per VAT rate from its priced lines.
textefiscal::Ticket figures(qint64 numero, const QString& caisse, textefiscal::Genre genre,
                            const QDateTime& cloture, Montant total,
                            const QList<LigneTicket>& lignes, const QByteArray& precedente);

// Each till signs its tickets in a chain of its own (the ticket's ChaineCaisse, its till when it
// was closed; none: the first till's chain, which holds every ticket signed before tills had
// chains of their own), so that tills sharing a shop's database never break each other's chain.
//
// The last ticket of till `caisse`'s chain: its place and signature (0 and empty before the
// first).
struct Maillon {
    qint64 chainage = 0;
    QByteArray signature;
    QDateTime date; // its closing time
};
Resultat<Maillon> dernier(const Database& bdd, const QString& caisse);

// What the closing writes.
struct Fermeture {
    qint64 numero = 0;
    Montant total;
    QDateTime quand;
    QString caisse;
    QString vendeur;
    textefiscal::Genre genre = textefiscal::Genre::Vente;
    qint64 annule = 0; // for a cancelling ticket, the ticket it cancels
};

// Closes an open ticket, signed and put at the end of its till's chain, in one statement of one
// transaction; gives its signature. A closing time earlier than the previous ticket's (a clock
// set back) is recorded in the events journal; the sale is closed all the same. Fails, changing
// nothing, when the ticket is not open any more, when there is no key or when the row cannot be
// written.
Resultat<QByteArray> clore(const Database& bdd, const CleFiscale& cle, const Fermeture& f,
                           const QList<LigneTicket>& lignes);
// The same inside the caller's transaction (a cancelling ticket made, filled and closed at
// once): nothing is written for good until the caller commits. `precedent`, when given,
// receives the link the ticket was chained to.
Resultat<QByteArray> cloreDans(const Database& bdd, const CleFiscale& cle, const Fermeture& f,
                               const QList<LigneTicket>& lignes, Maillon* precedent = nullptr);

// Seals the tickets closed before tickets were signed: each signed in the first till's chain in
// its number's order, as if closed one after the other. Only while no ticket is signed (the first
// start after the upgrade, or a shop just filled with its demo): a ticket closed without a
// signature later can only have been written around the program, and stays unsigned for the
// verifying tool to find. Gives how many were sealed.
Resultat<qint64> sceller(const Database& bdd, const CleFiscale& cle);

// The few characters of a signature printed on the receipt.
QString extrait(const QByteArray& signature);

} // namespace signatureticket
