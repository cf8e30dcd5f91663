#pragma once

#include "common/resultat.h"

class Database;

// The shop database's schema carries its version (SQLite's user_version): 0 for the shops made
// before it was counted, then one more at each change of the tables. A shop of an older version
// is brought to this program's at start-up, after the rotating backup, in one transaction; a
// shop made by a newer program is refused, since this one would not know what it holds.
namespace versionschema {

// The version this program makes and works with.
constexpr int kActuelle = 4;

// The version of the open database.
Resultat<int> lire(const Database& bdd);

// Brings the open database to kActuelle: every step from its version on, together or not at
// all. Nothing to do for a database at kActuelle; a failure (and its reason, in French) for one
// above it.
Resultat<> mettreANiveau(const Database& bdd);

} // namespace versionschema
