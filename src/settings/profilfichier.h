#pragma once

#include "common/resultat.h"

#include <QString>

// The profile-file store: bracketed section lines and key=value lines, section and key names
// matched without regard to case, the first match winning. A write replaces the value in place
// and keeps every other line as it was; the file, the section and the key are created when
// missing. Files are Windows-1252 text with CR LF, written safely (temporary file renamed).
namespace profilini {

struct Lecture {
    QString texte;
    int nombre = 0; // characters returned
};

// The stored value, or `defaut` when the file, the section or the key is missing; at most
// `capacite` - 1 characters come back.
Lecture lire(const QString& section, const QString& cle, const QString& defaut, int capacite,
             const QString& fichier);

// Stores the value; fails when the file cannot be written.
Resultat<> ecrire(const QString& section, const QString& cle, const QString& valeur,
                  const QString& fichier);

} // namespace profilini
