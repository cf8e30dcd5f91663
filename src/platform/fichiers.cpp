#include "platform/fichiers.h"

#include "common/cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <cerrno>

QString raisonFichier(const QFileDevice& fichier) {
    const QString nom = QDir::toNativeSeparators(fichier.fileName());
    // The system's own reason, which Qt gives in English, is told in French from its number;
    // the number is read only where it belongs to the kind of failure Qt reports.
    const int numero = errno;
    switch (fichier.error()) {
    case QFileDevice::OpenError:
        if (numero == EACCES || numero == EPERM)
            return QStringLiteral("l'accès au fichier %1 est refusé").arg(nom);
        if (numero == EROFS)
            return QStringLiteral("le fichier %1 est sur un disque en lecture seule").arg(nom);
        if (numero == ENOENT)
            return QFileInfo(fichier.fileName()).absoluteDir().exists()
                       ? QStringLiteral("le fichier %1 est introuvable").arg(nom)
                       : QStringLiteral("le dossier du fichier %1 n'existe pas").arg(nom);
        if (numero == EISDIR)
            return QStringLiteral("%1 est un dossier, pas un fichier").arg(nom);
        if (numero == ENOSPC || numero == EDQUOT)
            return QStringLiteral("le disque est plein (%1)").arg(nom);
        return QStringLiteral("le fichier %1 ne peut pas être ouvert").arg(nom);
    case QFileDevice::PermissionsError:
        return QStringLiteral("l'accès au fichier %1 est refusé").arg(nom);
    case QFileDevice::RenameError:
    case QFileDevice::CopyError:
    case QFileDevice::RemoveError:
        return QStringLiteral("le fichier %1 ne peut pas être remplacé").arg(nom);
    default:
        if (numero == ENOSPC || numero == EDQUOT)
            return QStringLiteral("le disque est plein (%1)").arg(nom);
        return QStringLiteral("le fichier %1 ne peut pas être écrit").arg(nom);
    }
}

Resultat<> ajouterLigne(const QString& chemin, const QString& ligne) {
    QFile f(chemin);
    errno = 0;
    if (!f.open(QIODevice::Append | QIODevice::WriteOnly))
        return echec(raisonFichier(f));
    const QByteArray octets = versWindows1252(ligne) + "\r\n";
    if (f.write(octets) != octets.size() || !f.flush())
        return echec(raisonFichier(f));
    f.close();
    return {};
}

Resultat<> ecrireFichierSur(const QString& chemin, const QByteArray& contenu) {
    QSaveFile f(chemin);
    errno = 0;
    if (!f.open(QIODevice::WriteOnly))
        return echec(raisonFichier(f));
    if (f.write(contenu) != contenu.size()) {
        const QString raison = raisonFichier(f);
        f.cancelWriting();
        return echec(raison);
    }
    if (!f.commit())
        return echec(raisonFichier(f));
    return {};
}

Resultat<> creerDossier(const QString& chemin) {
    errno = 0;
    if (QDir().mkpath(chemin) && QFileInfo(chemin).isDir())
        return {};
    const QString nom = QDir::toNativeSeparators(chemin);
    if (QFileInfo(chemin).exists() && !QFileInfo(chemin).isDir())
        return echec(QStringLiteral("%1 existe déjà et n'est pas un dossier").arg(nom));
    if (errno == ENOSPC)
        return echec(
            QStringLiteral("le disque est plein : le dossier %1 ne peut pas être créé").arg(nom));
    return echec(QStringLiteral("le dossier %1 ne peut pas être créé").arg(nom));
}

QByteArray lignesWindows(const QStringList& lignes) {
    QByteArray out;
    for (const QString& l : lignes)
        out += versWindows1252(l) + "\r\n";
    return out;
}
