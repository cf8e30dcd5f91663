#pragma once

class QLabel;

// Makes a display (a label that shows a value: a total, a quantity, a counter) tell assistive
// technology its value as well as its caption: its name reads "Total TVA : 24,55 €", its value
// "24,55 €". The display's accessibleName stays its caption.
void affichageAccessible(QLabel* affichage);

// Tells assistive technology that a display's value changed (a label whose accessible name is
// set announces nothing by itself).
void annoncerValeur(QLabel* affichage);
