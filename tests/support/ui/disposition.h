#pragma once

// Checks of a window as a user meets it, rather than of the numbers it was built from.

#include <QString>
#include <QStringList>

class QWidget;

// The first fault among the controls named `noms` in `fenetre`, or an empty text: a control
// that is missing or hidden, that does not lie inside its parent, that another control covers
// at its centre (a click there would not reach it), or that overlaps another of `noms` (a
// pixel of rounding from the design's twips aside).
QString fauteDeDisposition(const QWidget* fenetre, const QStringList& noms);

// The named controls of `zone` that Tab can reach: shown, enabled, taking focus by Tab.
QStringList controlesAuClavier(const QWidget* zone);

// The controls Tab visits, by name (a control without a name by its nearest named parent),
// from `depart`, which gets the focus first, until the focus comes back to it or leaves no
// widget; at most `pas` keys. The window must be shown and active.
QStringList parcoursTabulation(QWidget* depart, int pas = 200);

// The fault of `suivants` read in the order a user reads a form, top to bottom and, on one
// line, left to right; an empty text when each control lies after the one before it.
QString fauteDOrdreDeLecture(const QWidget* fenetre, const QStringList& suivants);
