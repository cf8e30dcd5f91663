#pragma once

// The inventory listing's fixtures: the shops of tests/data/stock/ and the files they give.

#include "support/testsupport.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

inline QString donnees(const QString& fichier) {
    return QStringLiteral(TALMIR_TEST_DATA "/stock/") + fichier;
}

inline QByteArray lire(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the statements of a fixture file, one per ";" at a line end.
inline bool remplir(BoutiqueTest& b, const QString& fichierSql) {
    const QString sql = QString::fromUtf8(lire(fichierSql));
    for (QString instruction : sql.split(QStringLiteral(";\n"), Qt::SkipEmptyParts)) {
        QStringList lignes = instruction.split(u'\n');
        lignes.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("--")); });
        instruction = lignes.join(u'\n').trimmed();
        if (!instruction.isEmpty() && !b.sql(instruction))
            return false;
    }
    return true;
}
