#include "frame/services.h"

Journal Services::journal() const {
    return Journal(installation.dossier, horloge);
}
