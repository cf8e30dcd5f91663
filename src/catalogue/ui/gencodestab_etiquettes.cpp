#include "catalogue/ui/gencodestab.h"

// The label sheets' preview window, opened from the article form.
void GenCodesTab::imprimerlesetiquettes_Click() {}
