#include "frame/ui/navigationonglets.h"

#include "catalogue/ui/gencodestab.h"

#include <QTabWidget>

void NavigationOnglets::ouvrirFicheArticle(const QString& code) {
    // The article as if its code had been typed, then the tab (whose change recounts the stock),
    // then the cursor in the pieces box.
    genCodes_.ouvrirParCode(code);
    onglets_.setCurrentWidget(&genCodes_);
    genCodes_.CodeArticle_KeyPress(13);
}
