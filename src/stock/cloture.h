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
// checked before it is listed: the copy opens and holds as many articles as the shop (a shop
// on a server: the server's archive, "….dump", read back by pg_restore). Gives the copy's path. A
// copy that fails the check is removed. An existing closure is never replaced: a second closure in
// the same minute is named with "_2", "_3"... after the minute.
Resultat<QString> copier(const Database& bdd, const Installation& installation,
                         const QDateTime& quand);

// The number of articles in a database file opened read-only.
Resultat<qint64> articlesDuFichier(const QString& chemin);

// EnStock = 0 for every article, Null stocks included, in one transaction.
Resultat<> remettreStockAZero(const Database& bdd);

// The date and time a closure's file name gives ("24122_05_01_14_30.db", "..._2.db" for the
// second of that minute); nothing for a name of any other form.
std::optional<QDateTime> dateDuNom(const QString& nom);

// The ordinary files of the closures folder (no folders, no hidden files), oldest first: by the
// date their name gives, or for another name by the file's date. A missing folder gives an
// empty list.
QStringList lister(const Installation& installation);

} // namespace cloture
