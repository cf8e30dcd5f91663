#pragma once

#include "common/montant.h"
#include "fiscal/clefiscale.h"
#include "register/ligneticket.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <limits>
#include <memory>

// The check of the closed tickets' chains, whatever they are read from (the shop database, an
// archive's text files): each till signs its tickets in a chain of its own, and the tickets of
// every till are given first, then their lines in the tickets' number order. Each ticket's
// signed text is made again from what is stored, with its till and the signature of the ticket
// before it in its till's chain, and its signature checked on two threads while the lines are
// still being read. The failure reported is the first one of the first till (in the order of
// the tills' names) that has one, in its chain's order.
class ChaineTickets {
  public:
    struct Ticket {
        qint64 numero = 0;
        QString genre; // "VENTE", "ANNULATION"
        QString date;  // as stored: "2026-12-10 20:37:00"
        Montant total;
        qint64 chainage = 0; // its place in its till's chain; 0: not in the chain
        QByteArray signature;
        QString caisse = QStringLiteral("1"); // its till, as textefiscal::caisseStockee reads it
    };

    explicit ChaineTickets(const ClePublique& cle);
    ~ChaineTickets();
    ChaineTickets(const ChaineTickets&) = delete;
    ChaineTickets& operator=(const ChaineTickets&) = delete;

    // A stretch of till `caisse`'s chain that does not start at its first ticket (an archive,
    // the end of the chain): the place of its first ticket and the signature of the ticket
    // before it. A till not given starts at its first ticket.
    void commencerA(const QString& caisse, qint64 place, const QByteArray& precedente);
    // Every closed ticket, before any line.
    void ajouter(const Ticket& t);
    // One line of the closed ticket n° `numero`, the tickets' numbers in increasing order and
    // each ticket's lines in their own order. A line of a ticket not given is left out.
    void ligne(qint64 numero, const LigneTicket& l);
    // Once every line is given: the first failing ticket, named in French; empty when sound.
    QString terminer();

    qint64 tickets() const;
    qint64 lignes() const;

  private:
    struct Prive;
    std::unique_ptr<Prive> d_;
};
