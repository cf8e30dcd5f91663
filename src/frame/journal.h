#pragma once

#include "common/resultat.h"

#include <QString>

class Horloge;

// The event journal "inventaire.txt": one line per start, stop and inventory count, five
// fields joined by " | ", Windows-1252 with CR LF, the file opened and closed for each line.
class Journal {
  public:
    Journal(QString dossier, const Horloge& horloge);

    static QString nomFichier() { return QStringLiteral("inventaire.txt"); }
    QString chemin() const;

    // Appends the line; fails with the system's reason when it could not be written.
    Resultat<> ecrireJournal(const QString& mot, const QString& totalAvant = {},
                             const QString& codeArticle = {}, const QString& quantite = {}) const;

  private:
    QString dossier_;
    const Horloge& horloge_;
};
