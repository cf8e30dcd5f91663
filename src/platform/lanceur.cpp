#include "platform/lanceur.h"

#include <QProcess>
#include <QStandardPaths>

bool LanceurBureau::ouvrir(const QString& fichier, Role, QString* erreur) {
    const QString programme = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (programme.isEmpty()) {
        if (erreur)
            *erreur = QStringLiteral("aucun programme n'est installé pour ouvrir ") + fichier;
        return false;
    }
    if (!QProcess::startDetached(programme, {fichier})) {
        if (erreur)
            *erreur = QStringLiteral("impossible de démarrer ") + programme;
        return false;
    }
    return true;
}
