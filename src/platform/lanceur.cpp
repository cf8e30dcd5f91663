#include "platform/lanceur.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace {
struct Programme {
    const char* nom;
    QStringList arguments; // placed before the file
};

const QString kOuvreur = QStringLiteral("xdg-open");

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

// Why the desktop's opener did not open the file, from its exit status.
QString raisonOuvreur(int code, QProcess::ExitStatus etat, const QString& fichier) {
    if (etat != QProcess::NormalExit)
        return QStringLiteral("le programme d'ouverture du bureau s'est arrêté brutalement");
    switch (code) {
    case 2:
        return QStringLiteral("le fichier %1 est introuvable")
            .arg(QDir::toNativeSeparators(fichier));
    case 3:
        return QStringLiteral("aucun programme n'est installé pour ouvrir ce genre de fichier");
    case 4:
        return QStringLiteral("le programme prévu pour ce genre de fichier n'a pas pu être lancé");
    default:
        return QStringLiteral("le programme d'ouverture du bureau a échoué (code %1)").arg(code);
    }
}
} // namespace

Resultat<> LanceurBureau::ouvrir(const QString& fichier, Role role, SiEchec siEchec) {
    for (const Programme& p : candidats(role)) {
        const QString chemin = QStandardPaths::findExecutable(QString::fromLatin1(p.nom));
        if (chemin.isEmpty())
            continue;
        // The opener may find no program for the file, which only its end tells.
        if (QString::fromLatin1(p.nom) == kOuvreur)
            return suivre(chemin, fichier, std::move(siEchec));
        if (QProcess::startDetached(chemin, p.arguments + QStringList{fichier}))
            return {};
        return echec(QStringLiteral("impossible de démarrer ") + chemin);
    }
    return echec((role == Role::Tableur
                      ? QStringLiteral("aucun tableur n'est installé pour ouvrir ")
                      : QStringLiteral("aucun éditeur de texte n'est installé pour ouvrir ")) +
                 fichier);
}

Resultat<> LanceurBureau::suivre(const QString& programme, const QString& fichier,
                                 SiEchec siEchec) {
    // The program is not waited for: its end is followed from the event loop. An opener still
    // running when the shop's program ends is running the program it found: it is left to run
    // (no owner stops it), as a program started on its own would be.
    auto* processus = new QProcess();
    processus->setStandardOutputFile(QProcess::nullDevice());
    processus->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(
        processus, &QProcess::finished, processus,
        [processus, fichier, siEchec, enCours = enCours_](int code, QProcess::ExitStatus etat) {
            --*enCours;
            processus->deleteLater();
            if ((etat != QProcess::NormalExit || code != 0) && siEchec)
                siEchec(raisonOuvreur(code, etat, fichier));
        });
    processus->start(programme, {fichier});
    if (!processus->waitForStarted()) {
        delete processus;
        return echec(QStringLiteral("impossible de démarrer ") + programme);
    }
    ++*enCours_;
    return {};
}
