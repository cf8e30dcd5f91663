#pragma once

#include <QString>

// The one accessor of the program's settings.
//  mode 0 writes `valeur` and returns it;
//  any other mode reads, `valeur` being the default;
//  mode 2 also stores the default when nothing usable is stored.
// `fichier` is the settings file path; empty means the program's default settings file;
// "$" followed by a registry path addresses the registry (section = last key component,
// cle = value name). Never reports an error.
QString parametre(const QString& section, const QString& cle, const QString& valeur,
                  const QString& fichier, int mode);

// The registry form's two routines: `chemin` is a root name, "\" and the subkey path.
QString lireRegistre(const QString& chemin, const QString& nomvaleur);
void ecrireRegistre(const QString& chemin, const QString& nomvaleur, const QString& valeur);
