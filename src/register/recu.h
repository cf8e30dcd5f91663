#pragma once

#include "register/ligneticket.h"
#include "register/totauxticket.h"

#include <QDateTime>
#include <QList>

class Image;
class Surface;

// The one drawing of a ticket, on the screen and on the receipt printer alike: the header
// picture, twelve empty lines, every line (description, size and colour, right-aligned amounts,
// payments in bold), the VAT, the total and the remaining amount in bold, and the date. The
// target's own font is used; only bold is switched. Returns the ticket's sums.
TotauxTicket imprimerTicket(Surface& ticket, const QList<LigneTicket>& lignes, const Image& entete,
                            const QDateTime& maintenant);

// Prints one line ending 40 twips before the right edge of the target.
void imprimerADroite(Surface& ticket, const QString& texte);
