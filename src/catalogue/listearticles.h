#pragma once

#include "common/resultat.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Database;

// The article list of the Gen Codes tab: its entries (code, description, size and colour) and
// the two ways of filling it, the articles in stock and the search by description.
namespace listearticles {

// A search that finds this many articles or more lists none of them.
constexpr qint64 kSeuilRecherche = 10000;

// An entry: the code, " | " and the description on its first line; the size and the colour on
// a second line of their own, so that articles of one description can be told apart in the
// narrow list. The code is as stored; the other parts lose their outer blanks, and an empty
// size or colour is left out (the second line stays, so that every entry has the same height).
QString entree(QStringView code, QStringView libelle, QStringView taille, QStringView couleur);

struct Liste {
    qint64 trouves = 0;       // rows found
    QStringList entrees;      // the entries to list, in the order the rows came
    QList<int> longueursCode; // the length of each entry's code, in the same order
};

// Every article with a stock above zero.
Resultat<Liste> enStock(const Database& bdd);

// The articles with a positive sale price whose description contains `texte`, letters
// compared without regard to case (accented ones too); "*" and "?" in the text are wildcards,
// every other character stands for itself. From kSeuilRecherche rows on, `entrees` stays
// empty and `trouves` still counts them all.
Resultat<Liste> rechercher(const Database& bdd, const QString& texte);

} // namespace listearticles
