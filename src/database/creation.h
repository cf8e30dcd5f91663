#pragma once

#include <QString>

// Creation of a shop database file (the program itself never creates tables).
namespace creation {

// A new empty shop: the four tables, their defaults and indexes. Refuses an existing file.
bool creerBase(const QString& chemin, QString* erreur = nullptr);

// Fills a new shop with a few hundred clothing articles, suppliers and closed tickets, some of
// them dated `aujourdhui` so that the day's cash journal has something to print.
bool remplirDemo(const QString& chemin, QString* erreur = nullptr);

// Fills a new shop with `articles` articles and about `lignes` ticket lines, for benchmarks.
bool remplirGrande(const QString& chemin, int articles, int lignes, QString* erreur = nullptr);

} // namespace creation
