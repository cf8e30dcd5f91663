#pragma once

#include "frame/installation.h"
#include "frame/journal.h"
#include "settings/reglage.h"

class CleFiscale;
class Database;
class Dialogues;
class Horloge;
class Lanceur;
class Progression;
class RolesImprimantes;
class ServiceImpression;

// What the main window and its tabs are given: the installation, the database connection
// (bdd), the boxes, the printers, the launcher, the clock, the progress window, the way to
// end the program and the installation's signing key (loaded once the database is open). Production
// passes Qt implementations, tests recording doubles.
class FinProgramme {
  public:
    virtual ~FinProgramme() = default;
    // Ends the program at once: no further window event, no stop line.
    virtual void terminer() = 0;
};

struct Services {
    Installation installation;
    Database& bdd;
    Dialogues& dialogues;
    ServiceImpression& imprimantes;
    Lanceur& lanceur;
    const Horloge& horloge;
    Progression& progression;
    FinProgramme& fin;
    CleFiscale& cle;

    Journal journal() const;
    // fichierini
    QString fichierini() const { return installation.fichierIni(); }
    Reglages reglages() const { return Reglages(fichierini()); }
    // The receipt and A4 printers chosen on the Parametres tab.
    RolesImprimantes roles() const;
};
