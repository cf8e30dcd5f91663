#pragma once

#include <QImage>
#include <QStringList>
#include <QVariant>

class BoutiqueTest;
class Surface;

// Helpers of the label tests.
namespace etiquettestest {

// Adds an article with labels to print.
bool ajouter(BoutiqueTest& b, const QString& code, qint64 nombre,
             const QVariant& taille = QStringLiteral("M"),
             const QVariant& libelle = QStringLiteral("Pull"), const QVariant& prix = 7.0);
// "A1*2 A2*1": articles and their counts.
bool ajouterTous(BoutiqueTest& b, const QString& liste);

// Stores the skip count as the shop's settings file would hold it.
void reglerSautees(BoutiqueTest& b, const QString& valeur);
// The line of the skip count in the settings file, as written ("etiquettes sautees= 3").
QString ligneSautees(const BoutiqueTest& b);

// The labels of a surface, in drawing order: "position:code" from each "code : " line.
QString placements(const Surface& s);
// "0-2:A 5:B" -> "0:A 1:A 2:A 5:B".
QString etendre(const QString& abrege);

// Page `page` of a surface drawn on white paper at `dpi`.
QImage rendre(const Surface& s, double dpi, int page = 0);

} // namespace etiquettestest
