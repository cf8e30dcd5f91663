#pragma once

#include "common/resultat.h"

#include <QString>

// Creation of a shop database file (the program itself never creates tables).
namespace creation {

// A new empty shop: the four tables, their defaults and indexes. Refuses an existing file. On a
// server (`chemin` a postgresql:// address, see AdresseServeur), in its empty database; one that
// holds a shop already is refused.
Resultat<> creerBase(const QString& chemin);

// The statements of the fiscal records (tables and triggers), run on a new shop after its tables
// and by the upgrade of an older one.
QByteArray scriptFiscal();

// Fills a new shop with a few hundred clothing articles, suppliers and closed tickets, some of
// them dated `aujourdhui` so that the day's cash journal has something to print.
Resultat<> remplirDemo(const QString& chemin);

// Fills a new shop with `articles` articles and about `lignes` ticket lines over the past year,
// for benchmarks.
Resultat<> remplirGrande(const QString& chemin, int articles, int lignes);

} // namespace creation
