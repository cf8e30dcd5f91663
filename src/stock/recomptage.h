#pragma once

#include "common/quantite.h"
#include "common/resultat.h"

#include <QString>
#include <optional>

class Database;

// The whole stock: the sum of EnStock over every article, exact to the thousandth. Nothing when
// there is nothing to add up (no article, or only Null stocks) or when the sum is beyond any
// real stock.
Resultat<std::optional<Quantite>> sommeDuStock(const Database& bdd);

// The number of articles, the figure a closure copy is checked against.
Resultat<qint64> nombreArticles(const Database& bdd);
