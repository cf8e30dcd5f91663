#pragma once

#include <QString>

// One setting of the settings file: its section, its key and its default, declared once beside
// the code that reads it.
struct Reglage {
    QString section;
    QString cle;
    QString defaut;
};

// The settings file of an installation (fichierini), read and written through `parametre`.
class Reglages {
  public:
    explicit Reglages(QString fichier) : fichier_(std::move(fichier)) {}

    // The stored value, or the default; the file is left as it is.
    QString lire(const Reglage& reglage) const;
    // The stored value; the default is stored (and given) when nothing usable is stored.
    QString lireOuInitialiser(const Reglage& reglage) const;
    // Stores the value. A value that cannot be stored is written to the log.
    void ecrire(const Reglage& reglage, const QString& valeur) const;

    const QString& fichier() const { return fichier_; }

  private:
    QString fichier_;
};
