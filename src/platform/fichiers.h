#pragma once

#include <QByteArray>
#include <QString>

// Small file operations with the failure reported to the caller in French.

// Appends one line (Windows-1252, CR LF) to a text file, opening and closing it for the line.
bool ajouterLigne(const QString& chemin, const QString& ligne, QString* erreur = nullptr);

// Replaces a file's content safely: written to a temporary file beside it, then renamed into
// place, so a failure never leaves half a file.
bool ecrireFichierSur(const QString& chemin, const QByteArray& contenu, QString* erreur = nullptr);

// Lines joined with CR LF (each line ended), in Windows-1252.
QByteArray lignesWindows(const QStringList& lignes);
