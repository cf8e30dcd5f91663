#include "stock/ui/inventairetab.h"

#include "frame/services.h"

InventaireTab::InventaireTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {}
