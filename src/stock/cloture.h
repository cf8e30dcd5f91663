#pragma once

#include "common/resultat.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class Database;
struct Installation;

// The annual closure: before the stock is set to zero for an inventory, the whole shop database
// is copied into the closures folder under a name made of the date and time. The copy is the
// shop's only record of the stock before the reset, so it is checked before the reset goes on.
namespace cloture {

// "SAUVEANNUELS" inside the program folder: where the copies go and what the list shows.
QString dossier(const Installation& installation);
// "yyy_mm_dd_hh_nn" + the database extension: 24122_05_01_14_30.db for 1 May 2024 at 14:30.
QString nomFichier(const QDateTime& quand);

// A consistent copy of the open shop database into the closures folder (created when missing),
// checked afterwards: the copy opens and holds as many articles as the shop. Gives the copy's
// path. A copy that fails the check is removed.
Resultat<QString> copier(const Database& bdd, const Installation& installation,
                         const QDateTime& quand);

// The number of articles in a database file opened read-only.
Resultat<qint64> articlesDuFichier(const QString& chemin);

// EnStock = 0 for every article, Null stocks included, in one transaction.
Resultat<> remettreStockAZero(const Database& bdd);

// The ordinary files of the closures folder (no folders, no hidden files), by name. A missing
// folder gives an empty list.
QStringList lister(const Installation& installation);

} // namespace cloture
