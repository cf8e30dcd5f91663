#pragma once

// Qt's own texts in French: the context menu of the entry boxes (Annuler, Rétablir, Couper...),
// the buttons and titles of the standard boxes. The translations are the ones the system's Qt
// ships (Debian: qt6-translations-l10n); without them Qt's texts stay in English and the log
// says why.
void traduireQtEnFrancais();
