#include "catalogue/ui/arrivagestab.h"

#include "frame/services.h"

ArrivagesTab::ArrivagesTab(Services& services, QWidget* parent) : QWidget(parent), services_(services) {}
