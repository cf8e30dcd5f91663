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
