#include "frame/services.h"

#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"

RolesImprimantes Services::roles() const {
    return RolesImprimantes(reglages(), imprimantes.imprimanteParDefaut());
}

Journal Services::journal() const {
    return Journal(installation.dossier, horloge);
}
