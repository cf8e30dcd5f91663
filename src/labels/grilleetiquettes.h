#pragma once

#include <QString>
#include <QtGlobal>

// The label sheet: 4 columns by 9 rows of 53 x 30 mm labels, abutting, from the top-left corner
// of the drawing area. Positions count from 0 at the top left, along the rows.
namespace grille {

constexpr int colonnes = 4;
constexpr int lignes = 9;
constexpr int positions = colonnes * lignes;
constexpr double largeurEtiquette = 53; // millimetres
constexpr double hauteurEtiquette = 30;

// The position of the first free label of the first sheet, from the setting "etiquettes
// sautees": the text read as a number and rounded to the nearest whole number (halves to the
// even one), then its remainder by 36
// keeping its sign, so that a negative count starts at 0 and 40 starts at 4. Text that is not a
// number, or a number too large to be a count, starts at 0.
int positionDepart(const QString& reglage);

// The next free place on the current sheet.
struct Position {
    int colonne = 0;
    int ligne = 0;

    static Position depuisNumero(int numero) { return {numero % colonnes, numero / colonnes}; }
    int numero() const { return colonnes * ligne + colonne; }
    // The cell's top-left corner, in millimetres.
    double x() const { return largeurEtiquette * colonne; }
    double y() const { return hauteurEtiquette * ligne; }
    // One place further; after the last position of a sheet, back to 0 (true: the sheet is
    // full).
    bool avancer();
};

// The sheets that `etiquettes` labels take from position `depart` of the first sheet (0 when
// there is nothing to print). Saturates instead of overflowing.
qint64 nombreFeuilles(int depart, qint64 etiquettes);

} // namespace grille
