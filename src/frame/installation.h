#pragma once

#include <QString>

// Where the shop's files lie: every file is in the program folder, named after the program.
struct Installation {
    QString dossier; // the program folder
    QString nom;     // the program file's name without extension ("TALMIR_vestimentaire")

    // The running program's folder and name.
    static Installation depuisProgramme();

    QString chemin(const QString& fichier) const { return dossier + u'/' + fichier; }
    // fichierini: the settings file.
    QString fichierIni() const { return chemin(nom + QStringLiteral(".ini")); }
    // The shop database's default file, also the source of the backup copies.
    QString baseParDefaut() const { return chemin(nom + extensionBase()); }
    static QString extensionBase() { return QStringLiteral(".db"); }
};
