#pragma once

#include "fiscal/textefiscal.h"
#include "journals/clotures.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class Surface;

// The printed report of a closure (Z), in French: the shop, the closure's number, till and
// period, its tickets, the VAT per rate, the payment means, the change, discounts, returns,
// cancellations and duplicates, the totals, the perpetual grand total and the signature's
// excerpt. When the shop has other tills (`boutique`'s parts: every till's closures of the same
// kind and period, as clotures::totalBoutique gives them), each till's total and the shop's
// total follow.
QStringList lignesRapport(const textefiscal::Cloture& c, const QString& boutique,
                          const QByteArray& signature,
                          const QList<clotures::PartCaisse>& parCaisse = {});

// Prints the lines from the top of the page, `marge` twips clear around them; on a sheet
// (`parPages`) a line that would not fit goes to a new page, a roll just grows.
void imprimerRapport(Surface& page, const QStringList& lignes, double marge, bool parPages);
