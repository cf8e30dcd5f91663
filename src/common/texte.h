#pragma once

#include <QString>

// Text and number helpers shared by the whole program.

// Replaces every occurrence of `cherche` (letters compared without regard to case) by
// `remplacement`; the search goes on after the inserted text. An empty `cherche` changes nothing.
QString remplacer(const QString& texte, const QString& cherche, const QString& remplacement);

// Field number `n` (from 1) of `texte` cut at `separateur`; empty when the field is empty,
// missing, n < 1, or the separator is empty.
QString champ(const QString& texte, const QString& separateur, int n);

// The program-wide reading of a number from text: blanks ignored anywhere, optional sign,
// digits, optional point and decimals, optional exponent (E or D); "&H" and "&O" prefixes read
// hexadecimal and octal whole numbers; the first other character ends the number; no number
// gives 0. A value too large for a double gives 0 and ok = false.
double lireNombre(const QString& texte, bool* ok = nullptr);

// Reads a number accepting a decimal comma, rounded to `decimales` (halves away from zero);
// -1 keeps every decimal. "&H" followed by hexadecimal digits reads as hexadecimal.
double texteVersNombre(const QString& texte, int decimales);

// Upper-case hexadecimal digits only; every other character is skipped.
double hexVersNombre(const QString& texte);

// Rounds to `decimales` decimals, halves away from zero, on the value's 15 significant digits.
double arrondiDecimal(double valeur, int decimales);

// A number written in its shortest form with a point: "3", "2.5", ".5", "-.5", "0".
QString nombreCanonique(double valeur);

// The rule for a quantity typed at the till or at inventory: the text is a number below 100
// written exactly in its shortest form.
bool estQuantiteCanonique(const QString& texte);

// Every control character (line ends, tabs, NUL, the C1 codes) replaced by a blank, so that a
// text stays on its line of a file, of a label or of a box.
QString sansCaracteresDeControle(QString texte);

// The numeric value of a whole-number text such as a ticket number ("12" -> 12).
qint64 entierEnTete(const QString& texte);
