#pragma once

#include "common/resultat.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Small file operations with the failure reported to the caller in French.

// Appends one line (Windows-1252, CR LF) to a text file, opening and closing it for the line.
Resultat<> ajouterLigne(const QString& chemin, const QString& ligne);

// Replaces a file's content safely: written to a temporary file beside it, then renamed into
// place, so a failure never leaves half a file.
Resultat<> ecrireFichierSur(const QString& chemin, const QByteArray& contenu);

// Creates a folder and the folders above it; nothing to do when it exists.
Resultat<> creerDossier(const QString& chemin);

// Lines joined with CR LF (each line ended), in Windows-1252.
QByteArray lignesWindows(const QStringList& lignes);

// Why a file operation failed, in French, with the file concerned.
QString raisonFichier(const QFileDevice& fichier);
