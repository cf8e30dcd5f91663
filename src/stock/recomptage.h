#pragma once

#include <QString>
#include <optional>

class Database;

// The whole stock: the sum of EnStock over every article. Nothing when it cannot be read (no
// database) or when there is nothing to add up (no article, or only Null stocks).
std::optional<double> sommeDuStock(const Database& bdd, QString* erreur = nullptr);

// The number of articles, the figure a closure copy is checked against.
std::optional<qint64> nombreArticles(const Database& bdd, QString* erreur = nullptr);
