#pragma once

#include "common/resultat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class Database;

// The suppliers of the FOURNISSEURS table, read as the table is now: a column added from
// outside is shown at the next reading. Every statement names its columns, so that none can
// come back with more columns than it was prepared for.
namespace fournisseurs {

// A row of the suppliers' list: its code as stored (Null, a number or a text) and its name.
struct Entree {
    QVariant code;
    QVariant nom;
};

// One entry per row, in table order (a missing column reads as Null).
Resultat<QList<Entree>> liste(const Database& bdd);

struct Fiche {
    QStringList colonnes; // every column of the table, in its order
    // The values of the first row whose code is exactly the one asked; nothing when no row has
    // it, or when no code was asked.
    std::optional<QVariantList> valeurs;
};

// The supplier of that exact stored code (a Null code names a row without a code); without a
// code, the columns alone.
Resultat<Fiche> fiche(const Database& bdd, const std::optional<QVariant>& code);

} // namespace fournisseurs
