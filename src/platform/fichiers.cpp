#include "platform/fichiers.h"

#include "common/cp1252.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

bool ajouterLigne(const QString& chemin, const QString& ligne, QString* erreur) {
    QFile f(chemin);
    if (!f.open(QIODevice::Append | QIODevice::WriteOnly)) {
        if (erreur)
            *erreur = f.errorString();
        return false;
    }
    const QByteArray octets = versWindows1252(ligne) + "\r\n";
    const bool ok = f.write(octets) == octets.size() && f.flush();
    if (!ok && erreur)
        *erreur = f.errorString();
    f.close();
    return ok;
}

bool ecrireFichierSur(const QString& chemin, const QByteArray& contenu, QString* erreur) {
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly)) {
        if (erreur)
            *erreur = f.errorString();
        return false;
    }
    if (f.write(contenu) != contenu.size()) {
        if (erreur)
            *erreur = f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (erreur)
            *erreur = f.errorString();
        return false;
    }
    return true;
}

QByteArray lignesWindows(const QStringList& lignes) {
    QByteArray out;
    for (const QString& l : lignes)
        out += versWindows1252(l) + "\r\n";
    return out;
}
