#pragma once

#include "common/montant.h"
#include "fiscal/clefiscale.h"
#include "register/ligneticket.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <limits>
#include <memory>

// The check of the closed tickets' chain, whatever they are read from (the shop database, an
// archive's text files): the tickets are given first, then their lines in the tickets' number
// order. Each ticket's signed text is made again from what is stored, with the signature of
// the ticket before it in the chain, and its signature checked on two threads while the lines
// are still being read. The failure reported is the first one in the chain's order.
class ChaineTickets {
  public:
    struct Ticket {
        qint64 numero = 0;
        QString genre; // "VENTE", "ANNULATION"
        QString date;  // as stored: "2026-12-10 20:37:00"
        Montant total;
        qint64 chainage = 0; // 0: not in the chain
        QByteArray signature;
    };

    explicit ChaineTickets(const ClePublique& cle);
    ~ChaineTickets();
    ChaineTickets(const ChaineTickets&) = delete;
    ChaineTickets& operator=(const ChaineTickets&) = delete;

    // A stretch of the chain that does not start at its first ticket (an archive): the place of
    // its first ticket and the signature of the ticket before it.
    void commencerA(qint64 place, const QByteArray& precedente);
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
