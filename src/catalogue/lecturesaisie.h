#pragma once

#include "common/montant.h"
#include "common/quantite.h"

#include <QString>
#include <optional>

// The numbers typed into the article form, read strictly: a box holds one number written as
// the shop writes it, or it is refused (the form then says which box is wrong) rather than
// read as a part of it or as 0. Blanks are ignored (groups of thousands, "1 234,50"); the
// decimal separator is a comma or a point; an empty box is 0.
namespace lecturesaisie {

// The till sells nothing at this price or above.
constexpr Montant kPrixLimite = Montant::euros(1000000000);

// A price in euros, an optional "€" after it: "29,90", "12.5", "12,50 €", "-3". Nothing for
// text, an exponent ("1e3"), two separators ("12.345,67") or a price the till refuses.
std::optional<Montant> prix(const QString& texte);
// A VAT rate in percent, from 0 to 100, "%" signs ignored: "19,6 %", "5.5%", "20".
std::optional<double> taux(const QString& texte);
// Pieces received, negative to take some off: "3", "-1", "2,5" (a length of cloth).
std::optional<Quantite> pieces(const QString& texte);
// A number of labels to print: a whole number, 0 or more.
std::optional<qint64> etiquettes(const QString& texte);

} // namespace lecturesaisie
