#include "stock/ui/inventairetab.h"

#include "frame/services.h"

// The stock as a whole: recount, export and the journal viewer.

void InventaireTab::inventaireCalculer_Click() {}

void InventaireTab::SortirInventaire_Click() {}

void InventaireTab::consulterjournal_Click() {}
