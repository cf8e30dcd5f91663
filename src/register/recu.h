#pragma once

#include "register/ligneticket.h"
#include "register/totauxticket.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <memory>
#include <optional>

class Image;
class Surface;

// The one drawing of a ticket, on the screen and on the receipt printer alike: the header
// picture, twelve empty lines, every line (description, size and colour, right-aligned amounts,
// payments and change in bold), the VAT, the total and the remaining amount in bold, and the
// date. Texts keep a 2 mm margin on both sides; a long description wraps. The target's own font
// is used; only bold is switched. Returns the ticket's sums.
TotauxTicket imprimerTicket(Surface& ticket, const QList<LigneTicket>& lignes, const Image& entete,
                            const QDateTime& maintenant);

// The ticket on the screen, drawn again after each entry: when the lines already drawn are
// still the first lines of the ticket (a scan adds one), only the new lines, the totals and the
// date are drawn again; otherwise the whole ticket. The drawing is the same either way.
class TicketAffiche {
  public:
    TotauxTicket dessiner(Surface& ecran, const QList<LigneTicket>& lignes, const Image& entete,
                          const QDateTime& maintenant);

  private:
    struct Dessine;
    std::shared_ptr<Dessine> dessine_; // what the last drawing left, to go on from
};

// The receipt's margin on either side, in twips: 2 mm.
double margeRecu();

// Prints one line ending at the right margin of the target.
void imprimerADroite(Surface& ticket, const QString& texte);

// What a printed receipt says below the ticket, and the ticket on the screen does not: the
// ticket's number, its VAT per rate (amount without VAT, VAT, amount with VAT), the shop's
// identity as the settings give it, and the program that printed it.
struct MentionsRecu {
    std::optional<qint64> numero;
    QStringList boutique; // the shop's name, address, SIRET, VAT number: the lines set, in order
    QString programme;    // "TALMIR_vestimentaire 1.2.3"
    QString signature;    // the excerpt of the closed ticket's signature
    // A closed ticket printed again: its duplicate's rank, printed first ("DUPLICATA n° 2").
    std::optional<int> duplicata;
};
void imprimerMentions(Surface& ticket, const QList<LigneTicket>& lignes, const MentionsRecu& m);
