#include "settings/ini32.h"

#include "common/journalisation.h"
#include "settings/registrykey.h"

// The registry form of the settings: a path "ROOT\subkey path" names a key under one of the
// predefined roots, whatever the letter case of the root's name.

namespace {

struct Cle {
    winreg::HKEY racine = 0; // 0 for a name that is no root
    QString sousCle;
};

winreg::HKEY racineNommee(const QString& nom) {
    using namespace winreg;
    static constexpr struct {
        const char* nom;
        HKEY cle;
    } kRacines[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"HKEY_USERS", HKEY_USERS},
    };
    const QString capitales = nom.toUpper();
    for (const auto& r : kRacines)
        if (capitales == QLatin1String(r.nom))
            return r.cle;
    return 0;
}

// The root is the text before the first "\", the subkey path the text after it.
Cle decouper(const QString& chemin) {
    const qsizetype barre = chemin.indexOf(u'\\');
    if (barre < 0)
        return {racineNommee(chemin), QString()};
    return {racineNommee(chemin.left(barre)), chemin.mid(barre + 1)};
}

} // namespace

QString lireRegistre(const QString& chemin, const QString& nomvaleur) {
    const Cle c = decouper(chemin);
    if (c.racine == 0)
        return {};
    try {
        RegistryKey cle;
        cle.OpenKey(c.racine, c.sousCle, winreg::KEY_READ);
        return cle.handle() ? cle.value(nomvaleur) : QString();
    } catch (const RegistryError&) {
        return {};
    }
}

void ecrireRegistre(const QString& chemin, const QString& nomvaleur, const QString& valeur) {
    const QString quoi = QStringLiteral("réglage %1\\%2 du registre").arg(chemin, nomvaleur);
    const Cle c = decouper(chemin);
    if (c.racine == 0) {
        consigner(Resultat<>(echec(QStringLiteral("racine inconnue"))), quoi);
        return;
    }
    try {
        RegistryKey cle;
        cle.OpenKey(c.racine, c.sousCle, winreg::KEY_WRITE);
        if (!cle.handle() || !cle.setValue(nomvaleur, valeur))
            consigner(Resultat<>(echec(QStringLiteral("la clé ne peut pas être écrite"))), quoi);
    } catch (const RegistryError& e) {
        // A write that cannot be done is lost, as a profile-file write would be: the log keeps it.
        consigner(Resultat<>(echec(e.description())), quoi);
    }
}
