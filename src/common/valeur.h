#pragma once

#include <QVariant>

// Helpers over values read from database fields and controls (empty, Null, number, text, date).

// True for a value of a number type (integer or floating point), even a Null one; false for
// text, a boolean and a date.
bool estNombre(const QVariant& valeur);

// The second value when the condition holds (a non-zero number, true, or a text that cannot be
// taken as a number), the third when it is false or Null.
QVariant choisir(const QVariant& condition, const QVariant& siVrai, const QVariant& siFaux);

// Null becomes empty text; any other value is kept.
QVariant sansNull(const QVariant& valeur);
// The same, as text for a control: numbers in their shortest French form (19,6).
QString sansNullTexte(const QVariant& valeur);

// a when a > b, otherwise b (numbers compare by value).
QVariant maxi(const QVariant& a, const QVariant& b);
// b when a > b, otherwise a.
QVariant mini(const QVariant& a, const QVariant& b);

template <typename T> T maxi(T a, T b) {
    return a > b ? a : b;
}
template <typename T> T mini(T a, T b) {
    return a > b ? b : a;
}
