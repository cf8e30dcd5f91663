#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The inventory listing "inventaire.csv": the articles in stock, sorted by supplier, libelle and
// code, one line each with its stock value at purchase price, then an empty line, a line of
// ", " and the totals line whose formulas add up the money columns in the spreadsheet.
namespace exportinventaire {

QString nomFichier();

// The lines of the listing, without line ends; nothing when the articles cannot be read.
std::optional<QStringList> lignes(const Database& bdd, QString* erreur = nullptr);

// Writes the listing in Windows-1252 with CR LF, replacing the file only once it is whole.
// False with the system's description of the failure.
bool ecrire(const Database& bdd, const QString& chemin, QString* erreur = nullptr);

} // namespace exportinventaire
