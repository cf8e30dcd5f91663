#pragma once

#include <QString>
#include <QVariant>

class Image;
class Surface;

// An article with labels to print, as the label run reads it from ARTICLES.
struct ArticleEtiquette {
    qint64 rowid = -1;
    QVariant code;
    QVariant taille;
    QVariant libelle;
    QVariant prix;
    qint64 nombre = 0; // labels to print, a whole number
};

// What a label shows, as texts.
namespace etiquette {

// "taille : libelle"; a missing size or name is empty text.
QString ligneArticle(const ArticleEtiquette& a);
// "code : " and the code as stored.
QString ligneCode(const ArticleEtiquette& a);
// "Prix : " and the price as "0.00# €" (12,50 €); nothing after "Prix : " without a price.
QString lignePrix(const ArticleEtiquette& a);
// The text of the bar code: the code with its small letters a to z in capitals (the till finds a
// code whatever the case of its letters). Other characters are kept as they are.
QString texteCodeBarre(const ArticleEtiquette& a);

// How a bar code fits a label: the width of its narrow bar in millimetres, or 0 when the code
// cannot be drawn (characters Code 39 has not, or too long for the label).
double moduleCodeBarre(const QString& texte);

// Draws one label with its top-left corner at (x0, y0) millimetres on a surface in millimetres:
// the background stretched into the cell, the article line, the bar code, the code and the
// price. False when the bar code could not be drawn (the label has everything else).
bool dessiner(Surface& s, const Image& fond, const ArticleEtiquette& a, double x0, double y0);

} // namespace etiquette
