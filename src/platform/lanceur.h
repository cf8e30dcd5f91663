#pragma once

#include "common/resultat.h"

#include <QString>

// Starts another program on a file without waiting for it: the desktop's text editor for the
// event journal, its spreadsheet program for the inventory listing.
class Lanceur {
  public:
    enum class Role { EditeurTexte, Tableur };
    virtual ~Lanceur() = default;
    // Fails, with the reason in French, when the program could not be started.
    virtual Resultat<> ouvrir(const QString& fichier, Role role) = 0;
};

// The desktop's default application for the file (xdg-open).
class LanceurBureau : public Lanceur {
  public:
    Resultat<> ouvrir(const QString& fichier, Role role) override;
};
