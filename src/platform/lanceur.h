#pragma once

#include <QString>

// Starts another program on a file without waiting for it: the desktop's text editor for the
// event journal, its spreadsheet program for the inventory listing.
class Lanceur {
  public:
    enum class Role { EditeurTexte, Tableur };
    virtual ~Lanceur() = default;
    // False, with the reason in French, when the program could not be started.
    virtual bool ouvrir(const QString& fichier, Role role, QString* erreur = nullptr) = 0;
};

// The desktop's default application for the file (xdg-open).
class LanceurBureau : public Lanceur {
  public:
    bool ouvrir(const QString& fichier, Role role, QString* erreur = nullptr) override;
};
