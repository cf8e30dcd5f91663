#include "settings/ini32.h"

// Registry form of the settings: filled in by the registry emulation.
QString lireRegistre(const QString&, const QString&) {
    return {};
}

void ecrireRegistre(const QString&, const QString&, const QString&) {}
