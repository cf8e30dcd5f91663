#pragma once

#include "common/resultat.h"

#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The inventory listing "inventaire.csv": the articles in stock, sorted by supplier, libelle and
// code, one line each with its stock value at purchase price, then an empty line, a line of
// ", " and the totals line whose formulas add up the money columns in the spreadsheet.
namespace exportinventaire {

QString nomFichier();

// The lines of the listing, without line ends.
Resultat<QStringList> lignes(const Database& bdd);

// Writes the listing in Windows-1252 with CR LF, replacing the file only once it is whole.
Resultat<> ecrire(const Database& bdd, const QString& chemin);

} // namespace exportinventaire
