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
// them dated today so that the day's cash journal has something to print. The rows are
// the same on a file and on a server (same codes, amounts, ticket numbers), written in one
// transaction: a failure leaves the shop as empty as it was.
Resultat<> remplirDemo(const QString& chemin);

// Fills a new shop with `articles` articles and about `lignes` ticket lines over the past year,
// for benchmarks; as remplirDemo, alike on both engines and in one transaction.
Resultat<> remplirGrande(const QString& chemin, int articles, int lignes);

// A new shop (see creerBase) filled as remplirDemo or remplirGrande fill one. On a server its
// tables and rows are made in one transaction, so that a failure leaves the database empty as it
// was; a file that cannot be filled is removed.
Resultat<> creerDemo(const QString& chemin);
Resultat<> creerGrande(const QString& chemin, int articles, int lignes);

} // namespace creation
