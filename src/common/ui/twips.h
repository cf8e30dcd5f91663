#pragma once

#include "common/unites.h"

#include <QString>

class QLabel;
class QWidget;

// The screen layouts are given in twips: 15 twips to a pixel of the screen they were drawn for,
// rounded to the nearest pixel.
constexpr int twips(int t) {
    return (t + unites::twipsParPixelEcran / 2) / unites::twipsParPixelEcran;
}

// Places a control at (left, top) with a size, all in twips.
void placer(QWidget* w, int gauche, int haut, int largeur, int hauteur);
// A caption label placed in twips (a width or height of 0 keeps the label's natural size).
QLabel* creerLabel(QWidget* parent, const QString& nom, const QString& texte, int gauche, int haut,
                   int largeur = 0, int hauteur = 0);
