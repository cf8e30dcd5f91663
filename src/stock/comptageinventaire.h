#pragma once

#include "common/quantite.h"
#include "common/resultat.h"

#include <QString>
#include <functional>
#include <optional>

class Database;
class Journal;

// The captions of the inventory count screen: what an entry reads and changes.
struct EcranInventaire {
    QString nomArticle;                                // the description of the article counted
    QString infos;                                     // its seven information lines
    QString nombre = QStringLiteral("1");              // the quantity the next article adds
    QString totalStock = QStringLiteral("0");          // its stock, this count included
    QString nbreInventaire = QStringLiteral("0");      // counted since the program started
    QString nbreInventaireTotal = QStringLiteral("0"); // the whole stock
};

// What an entry that names no article does to the quantity: "VOIR" sets it to "0" (the next
// article is shown and journaled without changing its stock); a number below 100 written in
// its shortest form ("3", "-2", "2.5", ".5") becomes the quantity; anything else changes
// nothing. Such a number that is no quantity of articles ("-1E+308", beyond
// Quantite::maximum) is refused: the reason is for the operator.
Resultat<std::optional<QString>> quantiteSaisie(const QString& texte);

// A count is questioned before it takes a stock below this.
constexpr Quantite kStockLePlusBas = Quantite::unites(-1000);

// A counter caption (regional format, "2,5") plus q, written back in that format; nothing when
// the caption does not read as a number.
std::optional<QString> ajouterAuCompteur(const QString& compteur, Quantite q);

// What an entry left to be told besides the screen.
struct Comptage {
    // The count is stored but its journal line could not be written: why.
    QString journalNonEcrit;
};

// Asks the operator a yes-or-no question; true for yes.
using Confirmation = std::function<bool(const QString& question)>;

// Enter in the code box: when `saisie` names an article that has a description, adds the
// quantity to its stock (a Null stock counts as 0), then writes the "INVENTAIRE" journal line and
// advances both counters; otherwise takes the text as a quantity input. A count that takes the
// stock below kStockLePlusBas is made only when `confirmer` says yes; declined, it leaves
// everything as it was. Fails with a sentence for the operator, leaving `ecran` as it was and
// the stock unchanged, when the quantity is refused, or the article cannot be read or its stock
// written.
Resultat<Comptage> saisirInventaire(const Database& bdd, const Journal& journal,
                                    const QString& saisie, EcranInventaire& ecran,
                                    const Confirmation& confirmer);
