#pragma once

#include "common/montant.h"
#include "common/quantite.h"
#include "common/resultat.h"

#include <QList>
#include <QString>
#include <optional>

class Database;

// An article as the till sells it.
struct ArticleCaisse {
    qint64 cle = 0;  // the row, so that its stock is lowered on that row only
    QString code;    // as stored
    QString libelle; // never Null: an article without a name cannot be sold
    Montant prix;    // unit price including VAT (0 when unset)
    double taux = 0; // VAT rate in percent (0 when unset)
};

// What became of a line that the database accepted to look at.
enum class Ecriture {
    Faite,
    TicketFerme // the ticket is not open any more: nothing was written
};

// A line to record that is not an article's.
struct NouvelleLigne {
    QString code;
    Montant prix;
    Montant tva;
    Quantite qt;
    std::optional<double> taux; // the VAT rate in percent, when the line has one rate
};

// Article lookups and the recording of ticket lines in VENTES. Each recording is one
// transaction, and a line is only ever filed under a ticket that is still open.
class Ventes {
  public:
    explicit Ventes(const Database& bdd) : bdd_(bdd) {}

    // The first article of that code, letters compared without regard to case and trailing
    // blanks ignored; nothing when there is none, when its name is Null, or when the code is
    // blank.
    Resultat<std::optional<ArticleCaisse>> chercher(const QString& code) const;

    // An article line and the lowered stock of its article, together or not at all. A negative
    // quantity (a return) raises the stock; a Null stock stays Null. A failure writes nothing.
    Resultat<Ecriture> vendre(qint64 ticket, const ArticleCaisse& article, Quantite qt,
                              Montant prix, Montant tva);

    // A discount, payment or sub-total line.
    Resultat<Ecriture> ajouterLigne(qint64 ticket, const QString& code, Montant prix, Montant tva,
                                    Quantite qt, std::optional<double> taux = std::nullopt);
    // Several lines, together or not at all (a payment and its change).
    Resultat<Ecriture> ajouterLignes(qint64 ticket, const QList<NouvelleLigne>& lignes);

  private:
    // The lines, and the stock of `article` lowered by the first line's qt when given, in one
    // transaction.
    Resultat<Ecriture> enregistrer(qint64 ticket, const QList<NouvelleLigne>& lignes,
                                   std::optional<qint64> article);

    const Database& bdd_;
};
