#pragma once

class QKeyEvent;
class QWidget;

// Moves a window, keeping its size, to the centre of its screen; a window larger than the
// screen is put against the left or top edge.
void centrerFenetre(QWidget* fenetre);

// Selects the whole text of an edit control so that the next typed text replaces it; a
// control without text selection is left alone.
void selectionnerTout(QWidget* controle);

// True for the key that ends a typed or scanned entry: Return, Enter, or the line end that a
// scanner sends as text (CR or LF) with a key Qt does not name.
bool estToucheEntree(const QKeyEvent* touche);

// Makes a box wide enough for its title to be read whole in the title bar (beside the window
// manager's buttons), and drawn in the font of the window it belongs to, `fenetre` or else its
// parent (a main window shown at a larger scale gives larger boxes).
void titreEntier(QWidget* boite, const QWidget* fenetre = nullptr);
