#pragma once

#include "common/resultat.h"

#include <QList>
#include <QRectF>
#include <QString>

class Surface;

// Code 39 bar codes, as a "3 of 9 Barcode" font draws them, made with zint.
//
// A symbol is "*" + text + "*": zint adds the start and stop characters. Each character is
// five bars and four spaces, three of them wide, then a narrow gap: with wide elements three
// times as wide as narrow ones, 6 + 3 x 3 + 1 = 16 modules. zint encodes wide elements two
// modules wide; they are widened to three here, the ratio of the common bar-code faces.
namespace code39 {

// Narrow modules per character, gap included.
constexpr int modulesParCaractere = 16;
// Wide elements are this many narrow modules.
constexpr int rapportLarge = 3;

// Module width of a "3 of 9 Barcode" face at `points`, in inches. Such a face draws a
// character 0.8 em wide, so a module is 0.8 / 16 = 1/20 of the size: at N points a module is
// N twips (13 points: 13 twips, 0.229 mm; a 9-character code such as ART000123, with its start
// and stop characters and the blank character before it, is then 44 mm wide and fits a 53 mm
// label).
double moduleEnPouces(double points);
// The same in twips and in millimetres.
double moduleEnTwips(double points);
double moduleEnMm(double points);

// True when Code 39 can carry the text: digits, capital letters, space and - . $ / + %
// (not empty, at most 80 characters). Small letters are refused: callers pass capitals.
bool accepte(const QString& texte);

// The bars of the symbol of `texte`, in the caller's units: left edge at `gauche`, bars from
// `haut` down `hauteur`, narrow module `module` wide. Fails, with a French reason, for a text
// Code 39 cannot carry.
Resultat<QList<QRectF>> barres(const QString& texte, double gauche, double haut, double hauteur,
                               double module);

// The width of the symbol of a text of `caracteres` characters (start and stop added).
double largeurSymbole(int caracteres, double module);

// Draws the symbol in black on the surface, in its current scale.
Resultat<> dessiner(Surface& surface, const QString& texte, double gauche, double haut,
                    double hauteur, double module);

} // namespace code39
