#pragma once

#include "common/montant.h"
#include "common/quantite.h"
#include "common/resultat.h"
#include "register/ligneticket.h"
#include "register/motscaisse.h"
#include "register/tickets.h"
#include "register/totauxticket.h"
#include "register/ventes.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class CleFiscale;
class Database;

// The till, without a window: the current ticket, its lines as stored, the quantity of the next
// article and the rules of every entry. The Caisse tab only displays it and feeds it. Every
// figure comes from the stored lines, never from what a display shows, and nothing is recorded
// when a rule refuses an entry: the reason comes back in French.
class Caisse {
  public:
    // `numero`: the till's number; `vendeur`: the seller's number; `cle`: the installation's
    // key, which signs every closed ticket.
    Caisse(const Database& bdd, const CleFiscale& cle, QString numero, int vendeur);

    // What an entry typed or scanned into the till names.
    struct Lecture {
        enum class Genre { Article, ArticleSansPrix, Mot, Quantite, QuantiteHorsLimites, Inconnu };
        Genre genre = Genre::Inconnu;
        std::optional<ArticleCaisse> article;
        Quantite quantite;
    };
    // An article code wins over a word, and a word over a quantity; a text that is none of them
    // is unknown. An article without a price is never sold at 0,00 €. A look-up that fails is
    // tried once more when the server's connection had gone and is back (reprendre).
    Resultat<Lecture> lire(const QString& texte);
    static bool estMot(const QString& texte);

    // After a failure: a server's connection that had gone is opened again, and the current
    // ticket read again from what the server holds (a write whose answer was lost may be
    // recorded, or not). True when the connection was opened again; fails while the server
    // does not answer. Nothing changes on a file.
    Resultat<bool> reprendre();

    // The highest open ticket, a new one when there is none; its lines are read.
    Resultat<qint64> ouvrirTicket();
    // The lines of the current ticket read again from the database.
    Resultat<> relire();
    std::optional<qint64> ticket() const { return ticket_; }
    const QString& numero() const { return numero_; }
    const QList<LigneTicket>& lignes() const { return lignes_; }
    const TotauxTicket& totaux() const { return totaux_; }
    // The last line that carries a quantity (an article or a discount), as stored.
    std::optional<LigneTicket> dernierePrixee() const;
    // Nothing on the ticket: no line of any amount.
    bool estVide() const;

    Quantite quantite() const { return quantite_; }
    void fixerQuantite(Quantite q) { quantite_ = q; }

    // Each recording writes one line (a payment with change, two) and reads what it wrote
    // back from the database; it gives the line for the displays.
    Resultat<LigneCalculee> vendre(const ArticleCaisse& article);
    Resultat<LigneCalculee> sousTotal();
    // "PRIX REMISE": the last priced line's amount becomes `nouveauPrix`.
    Resultat<LigneCalculee> prixSolde(Montant nouveauPrix);
    // "REMISE EXCEPTIONNELLE": `montant` off the ticket.
    Resultat<LigneCalculee> remiseEnEuros(Montant montant);
    // "REMISE sur ARTICLE" and "REMISE sur SOUSTOTAL".
    Resultat<LigneCalculee> remiseSurDernier(double pourcent);
    Resultat<LigneCalculee> remiseSurTotal(double pourcent);

    // A payment of `montant` by `moyen`. Cash beyond what remains to pay gives change, recorded
    // as its own line; a card, cheque or credit note never pays more than what remains.
    struct Paiement {
        LigneCalculee ligne;
        Montant rendu; // the change given back (cash only)
    };
    Resultat<Paiement> payer(const QString& moyen, Montant montant);

    // Closes the current ticket when nothing remains to pay (to the cent) and opens the next.
    // An empty ticket is not closed: `vide` says so and nothing changes.
    struct Cloture {
        bool vide = false;
        qint64 numero = 0;
        QList<LigneTicket> lignes; // the closed ticket's lines, for its receipt
        QByteArray signature;      // its signature, whose excerpt the receipt prints
    };
    Resultat<Cloture> terminer(const QDateTime& quand);

    static QString messageRestantDu() {
        return QStringLiteral("Il n'est pas possible de terminer un ticket avec une somme restant "
                              "à payer...");
    }

    // The current ticket, opened again when needed; fails (with the operator's message) when the
    // database gives none.
    Resultat<> ticketPret();

  private:
    Resultat<LigneCalculee> enregistrer(const LigneCalculee& ligne,
                                        const ArticleCaisse* article = nullptr);
    // The lines stored after those held, added to them (after a write of this till).
    Resultat<> lireNouvelles();
    // Writes on the current ticket through `ecriture` and reads the lines written. A ticket
    // closed elsewhere meanwhile gives way to the next one; a failure is told by `refus`.
    Resultat<> ecrire(const std::function<Resultat<Ecriture>(qint64)>& ecriture,
                      const std::function<QString(const QString&)>& refus);

    const Database& bdd_;
    const CleFiscale& cle_;
    Tickets tickets_;
    Ventes ventes_;
    QString numero_;
    int vendeur_;
    std::optional<qint64> ticket_;
    QList<LigneTicket> lignes_;
    TotauxTicket totaux_;
    Quantite quantite_ = Quantite::unites(1);
};
