#include "platform/lanceur.h"

#include <QProcess>
#include <QStandardPaths>

namespace {
struct Programme {
    const char* nom;
    QStringList arguments; // placed before the file
};

// The spreadsheet programs a shop's desktop may have, in order of preference; the text editor
// is the desktop's default application for a text file.
QList<Programme> candidats(Lanceur::Role role) {
    if (role == Lanceur::Role::Tableur)
        return {{"localc", {}},
                {"libreoffice", {QStringLiteral("--calc")}},
                {"gnumeric", {}},
                {"xdg-open", {}}};
    return {
        {"xdg-open", {}}, {"gnome-text-editor", {}}, {"gedit", {}}, {"mousepad", {}}, {"kate", {}}};
}
} // namespace

Resultat<> LanceurBureau::ouvrir(const QString& fichier, Role role) {
    for (const Programme& p : candidats(role)) {
        const QString chemin = QStandardPaths::findExecutable(QString::fromLatin1(p.nom));
        if (chemin.isEmpty())
            continue;
        if (QProcess::startDetached(chemin, p.arguments + QStringList{fichier}))
            return {};
        return echec(QStringLiteral("impossible de démarrer ") + chemin);
    }
    return echec((role == Role::Tableur
                      ? QStringLiteral("aucun tableur n'est installé pour ouvrir ")
                      : QStringLiteral("aucun éditeur de texte n'est installé pour ouvrir ")) +
                 fichier);
}
