#include "catalogue/ui/gencodestab.h"

#include "labels/ui/impression.h"

// The label sheets' preview window, opened from the article form: one window however often the
// button is pressed, drawn anew each time.
void GenCodesTab::imprimerlesetiquettes_Click() {
    if (!impression_)
        impression_ = new Impression(services_);
    impression_->montrerApercu();
}

GenCodesTab::~GenCodesTab() {
    delete impression_;
}
