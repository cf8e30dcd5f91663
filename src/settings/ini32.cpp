#include "settings/ini32.h"

#include "common/journalisation.h"
#include "settings/profilfichier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
constexpr int kTailleNom = 600;      // section and key buffers
constexpr int kCapaciteValeur = 590; // so a value reads back as at most 589 characters

QString fichierParDefaut() {
    const QFileInfo programme(QCoreApplication::applicationFilePath());
    return programme.absolutePath() + u'/' + programme.completeBaseName() + QStringLiteral(".ini");
}

// The settings are never a reason to stop: a value that cannot be stored is written to the log
// and the program goes on with the value in hand.
void ecrireProfil(const QString& section, const QString& cle, const QString& valeur,
                  const QString& chemin) {
    consigner(profilini::ecrire(section, cle, valeur, chemin),
              QStringLiteral("réglage [%1] %2 dans %3").arg(section, cle, chemin));
}

// A file name without a folder lies in the program folder.
QString placer(const QString& fichier) {
    if (QFileInfo(fichier).isAbsolute() || fichier.contains(u'/'))
        return fichier;
    return QCoreApplication::applicationDirPath() + u'/' + fichier;
}
} // namespace

QString parametre(const QString& sectionDonnee, const QString& cleDonnee, const QString& valeur,
                  const QString& fichierDonne, int mode) {
    const QString section = sectionDonnee.left(kTailleNom);
    const QString cle = cleDonnee.left(kTailleNom);
    const QString fichier = fichierDonne.isEmpty() ? fichierParDefaut() : fichierDonne;
    const QString registre = fichier.startsWith(u'$') ? fichier.mid(1) : QString();

    if (!registre.isEmpty()) {
        const QString chemin = registre + u'\\' + section;
        if (mode == 0) {
            ecrireRegistre(chemin, cle, valeur);
            return valeur;
        }
        const QString v = lireRegistre(chemin, cle);
        if (v.isEmpty()) {
            if (mode == 2)
                ecrireRegistre(chemin, cle, valeur);
            return valeur;
        }
        return v;
    }

    const QString chemin = placer(fichier);
    if (mode == 0) {
        ecrireProfil(section, cle, valeur, chemin);
        return valeur;
    }
    const profilini::Lecture lu = profilini::lire(section, cle, valeur, kCapaciteValeur, chemin);
    if (lu.nombre > 0) {
        if (mode == 2 && lu.texte == valeur)
            return parametre(section, cle, valeur, chemin, 0);
        return lu.texte;
    }
    if (mode == 2)
        ecrireProfil(section, cle, valeur, chemin);
    return valeur;
}
