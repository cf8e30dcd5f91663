#pragma once

// Helpers shared by the registry tests.

#include "platform/registre.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace registretest {

// Points the registry at a fresh store file in `dir` and answers its path.
inline QString storeNeuf(const QTemporaryDir& dir) {
    const QString store = dir.filePath(QStringLiteral("registre.dat"));
    QFile::remove(store);
    QFile::remove(store + QStringLiteral(".illisible"));
    winreg::utiliserFichierRegistre(store);
    return store;
}

// The bytes of a value as stored, or "erreur " and the registry's result code.
inline QByteArray lire(winreg::HKEY h, const QByteArray& nom, winreg::DWORD* type = nullptr) {
    QByteArray tampon(1024, 'x');
    auto taille = winreg::DWORD(tampon.size());
    const winreg::LONG r = winreg::RegQueryValueExA(
        h, nom, nullptr, type, reinterpret_cast<winreg::BYTE*>(tampon.data()), &taille);
    return r == winreg::ERROR_SUCCESS ? tampon.left(taille) : "erreur " + QByteArray::number(r);
}

// The same for a key named under a root, or "pas de clé" when it cannot be opened.
inline QByteArray lire(winreg::HKEY racine, const QByteArray& cle, const QByteArray& nom,
                       winreg::DWORD* type = nullptr) {
    winreg::HKEY h = 0;
    if (winreg::RegOpenKeyExA(racine, cle, 0, winreg::KEY_READ, &h) != winreg::ERROR_SUCCESS)
        return "pas de clé";
    const QByteArray octets = lire(h, nom, type);
    winreg::RegCloseKey(h);
    return octets;
}

} // namespace registretest
