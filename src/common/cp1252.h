#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit code page of the shop's text files (journal, CSV, settings).
// Characters the code page cannot hold are written as '?'.
QByteArray versWindows1252(const QString& texte);
QString depuisWindows1252(const QByteArray& octets);
