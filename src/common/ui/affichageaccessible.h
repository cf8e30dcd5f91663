#pragma once

class QLabel;
class QString;

// Makes a display (a label that shows a value: a total, a quantity, a counter) tell assistive
// technology its value as well as its caption: its name reads "Total TVA : 24,55 €", its value
// "24,55 €". The display's accessibleName stays its caption.
void affichageAccessible(QLabel* affichage);

// Shows a new value on a display and, when it changed, tells assistive technology (a label whose
// accessible name is set announces nothing by itself).
void montrerValeur(QLabel* affichage, const QString& valeur);
