#pragma once

#include "common/resultat.h"

#include <QString>
#include <functional>
#include <memory>

// Starts another program on a file without waiting for it: the desktop's text editor for the
// event journal, its spreadsheet program for the inventory listing.
class Lanceur {
  public:
    enum class Role { EditeurTexte, Tableur };
    // Told, from the event loop, why the file could not be opened when that is known only once
    // the program runs (the desktop's opener finds no program for the file).
    using SiEchec = std::function<void(const QString& raison)>;

    virtual ~Lanceur() = default;
    // Fails, with the reason in French, when the program could not be started; a failure known
    // later goes to `siEchec`.
    virtual Resultat<> ouvrir(const QString& fichier, Role role, SiEchec siEchec) = 0;
};

// A program the desktop names for the role, or the desktop's default application for the file
// (xdg-open), whose failure to find one is reported.
class LanceurBureau : public Lanceur {
  public:
    Resultat<> ouvrir(const QString& fichier, Role role, SiEchec siEchec) override;
    // The desktop's openers started and not yet ended.
    int ouverturesEnCours() const { return *enCours_; }

  private:
    Resultat<> suivre(const QString& programme, const QString& fichier, SiEchec siEchec);

    std::shared_ptr<int> enCours_ = std::make_shared<int>(0);
};
