#pragma once

#include "common/resultat.h"
#include "settings/reglage.h"

#include <QString>
#include <QVariant>

class Database;

// The shop's own article codes: "ART" followed by a sequence number of at least six digits
// ("ART000042", "ART1000000").
namespace codeboutique {

// The shop code of a sequence number.
QString depuisNumero(qint64 numero);

// The code that follows the greatest "ART" code `maximum` (Null when there is none): the first
// six characters after "ART", padded on the right with zeros, read as a number, plus one.
// "ART000041" gives "ART000042", "ART12" gives "ART120001". Nothing when that reading does
// not give a shop code (a suffix holding a sign or an exponent).
std::optional<QString> suivant(const QVariant& maximum);

// The shop codes of deleted articles are never given again: labels that carry them may still be
// on clothes in the shop. The greatest of them is kept in the settings.
Reglage reglageDernierSupprime();

// Keeps `code`, a code about to be deleted, when it is a shop code above the one kept. Fails
// when the settings file does not keep it: the article must then not be deleted.
Resultat<> retenirSuppression(const Reglages& reglages, const QString& code);

// The next shop code for a new article: the code that follows the greatest "ART" code in
// text order when no article uses it yet and no deleted article had it, otherwise one more than
// the greatest sequence number of the codes made of "ART" and digits, deleted ones included.
// Never a code that an article has or had: when ARTICLES cannot be read there is no new code.
Resultat<QString> nouveau(const Database& bdd, const Reglages& reglages);

} // namespace codeboutique
