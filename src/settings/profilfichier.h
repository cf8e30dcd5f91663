#pragma once

#include "common/resultat.h"

#include <QString>

// The profile-file store: bracketed section lines and key=value lines, section and key names
// matched without regard to case, the first match winning. A write replaces the value in place
// and keeps every other line byte for byte; the file, the section and the key are created when
// missing, and a write that changes nothing leaves the file alone. Files are Windows-1252 text
// with CR LF, as the shop's Windows installations write them; a file that is valid UTF-8
// (with or without a byte-order mark, as Linux editors save it) is read and written as UTF-8,
// and a new file takes UTF-8 for a value Windows-1252 cannot hold. A value the file's encoding
// cannot hold is refused, never written as "?". Files are written safely (temporary file
// renamed into place); a file that is no ordinary file or cannot be read is never written.
namespace profilini {

struct Lecture {
    QString texte;
    int nombre = 0; // characters returned
};

// The stored value, or `defaut` when the file, the section or the key is missing; at most
// `capacite` - 1 characters come back.
Lecture lire(const QString& section, const QString& cle, const QString& defaut, int capacite,
             const QString& fichier);

// Stores the value; fails when the file cannot be read or written, or its encoding cannot hold
// the value.
Resultat<> ecrire(const QString& section, const QString& cle, const QString& valeur,
                  const QString& fichier);

} // namespace profilini
