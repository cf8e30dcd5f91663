#include "settings/registrykey.h"

#include "common/cp1252.h"

#include <vector>

using namespace winreg;

namespace {

const QString kSourceLecture = QStringLiteral("RegistryKey.Get Value");
const QString kSourceListe = QStringLiteral("RegistryKey.GetValues");
const QString kListeImpossible = QStringLiteral("Unable to retrieve value names for registry key");

QString cite(const QString& nom) {
    return u'\'' + nom + u'\'';
}

// Names and texts cross into the registry in the 8-bit code page.
QByteArray octets(const QString& texte) {
    return versWindows1252(texte);
}

} // namespace

RegistryError::RegistryError(LONG number, const QString& source, const QString& description)
    : std::runtime_error((source + QStringLiteral(": ") + description).toStdString()),
      number_(number), source_(source), description_(description) {}

RegistryKey::~RegistryKey() {
    try {
        CloseKey();
    } catch (const RegistryError&) {
        // A handle the registry no longer knows: nothing left to release.
    }
}

bool RegistryKey::CreateKey(HKEY racine, const QString& sousCle, const QString& classe,
                            DWORD options, REGSAM droits) {
    derniere_.reset();
    CloseKey();
    SECURITY_ATTRIBUTES securite;
    HKEY h = 0;
    DWORD disposition = 0;
    if (RegCreateKeyExA(racine, octets(sousCle), 0, octets(classe), options, droits, &securite, &h,
                        &disposition) != ERROR_SUCCESS) {
        handle_ = 0;
        return false;
    }
    handle_ = h;
    return disposition == REG_CREATED_NEW_KEY;
}

void RegistryKey::OpenKey(HKEY racine, const QString& sousCle, REGSAM droits) {
    derniere_.reset();
    CloseKey();
    HKEY h = 0;
    LONG r = RegOpenKeyExA(racine, octets(sousCle), 0, droits, &h);
    if (droits == KEY_WRITE && r == ERROR_FILE_NOT_FOUND) {
        CreateKey(racine, sousCle, QString(), 0, KEY_ALL_ACCESS);
        CloseKey(); // the key is opened again below with the rights asked for
        r = RegOpenKeyExA(racine, octets(sousCle), 0, droits, &h);
    }
    handle_ = r == ERROR_SUCCESS ? h : 0;
}

void RegistryKey::CloseKey() {
    if (handle_ == 0)
        return;
    if (const LONG r = RegCloseKey(handle_))
        throw RegistryError(r, QStringLiteral("RegistryKey.CloseKey"),
                            QStringLiteral("An error occurred while closing the registy key"));
    handle_ = 0;
}

DWORD RegistryKey::GetRegistryValueLen(const QString& nom) {
    DWORD type = 0;
    DWORD taille = 0;
    if (const LONG r = RegQueryValueExA(handle_, octets(nom), nullptr, &type, nullptr, &taille))
        throw RegistryError(r, QStringLiteral("RegistryKey.GetRegistryValueLen"),
                            QStringLiteral("An error occurred while getting the length of the "
                                           "registy value ") +
                                cite(nom));
    return taille;
}

QString RegistryKey::value(const QString& nom) {
    derniere_.reset();
    DWORD taille = 0;
    try {
        taille = GetRegistryValueLen(nom);
    } catch (const RegistryError& e) {
        derniere_.emplace(e.number(), kSourceLecture,
                          QStringLiteral("Unable to get the length of the registy value ") +
                              cite(nom));
    }
    std::vector<char> tampon(size_t(taille) + 1, '\0');
    DWORD type = 0;
    if (const LONG r = RegQueryValueExA(handle_, octets(nom), nullptr, &type,
                                        reinterpret_cast<BYTE*>(tampon.data()), &taille)) {
        derniere_.emplace(r, kSourceLecture,
                          QStringLiteral("An error occurred while getting the registy value ") +
                              cite(nom));
        return {};
    }
    QByteArray lu(tampon.data(), qsizetype(taille));
    if (lu.endsWith('\0'))
        lu.chop(1); // the string's terminator
    return depuisWindows1252(lu);
}

bool RegistryKey::setValue(const QString& nom, const QString& valeur) {
    derniere_.reset();
    const QByteArray texte = octets(valeur) + '\0';
    return RegSetValueExA(handle_, octets(nom), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(texte.constData()),
                          DWORD(texte.size())) == ERROR_SUCCESS;
}

QStringList RegistryKey::ValueNames() {
    derniere_.reset();
    constexpr DWORD kCapacite = 4096;
    std::vector<char> tampon(kCapacite, ' ');
    QStringList noms;
    for (DWORD index = 0;; ++index) {
        DWORD capacite = kCapacite;
        DWORD type = 0;
        const LONG r = RegEnumValueA(handle_, index, tampon.data(), &capacite, nullptr, &type,
                                     nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS)
            return noms;
        if (r != ERROR_SUCCESS)
            throw RegistryError(r, kSourceListe, kListeImpossible);
        if (capacite > 0)
            noms << depuisWindows1252(QByteArray(tampon.data(), qsizetype(capacite)));
    }
}

QStringList RegistryKey::SubKeyNames() {
    return listerNoms(true);
}

QStringList RegistryKey::SubValueNames() {
    return listerNoms(false);
}

// The subkeys or the named values, the registry's failure kept in lastError().
QStringList RegistryKey::listerNoms(bool cles) {
    derniere_.reset();
    constexpr DWORD kCapacite = 512;
    std::vector<char> tampon(4096, ' ');
    QStringList noms;
    for (DWORD index = 0;; ++index) {
        DWORD capacite = kCapacite;
        DWORD type = 0;
        const LONG r = cles ? RegEnumKeyA(handle_, index, tampon.data(), kCapacite)
                            : RegEnumValueA(handle_, index, tampon.data(), &capacite, nullptr,
                                            &type, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS)
            return noms;
        if (r != ERROR_SUCCESS) {
            derniere_.emplace(r, kSourceListe, kListeImpossible);
            return {};
        }
        const QByteArray nom(tampon.data()); // up to the NUL
        if (cles || !nom.isEmpty())
            noms << depuisWindows1252(nom);
    }
}

void RegistryKey::DeleteKey(HKEY racine, const QString& sousCle) {
    derniere_.reset();
    if (const LONG r = RegDeleteKeyA(racine, octets(sousCle)))
        throw RegistryError(r, QStringLiteral("RegistryKey.DeleteKey"),
                            QStringLiteral("Unable to delete registry key ") + cite(sousCle));
}

void RegistryKey::DeleteSubKey(const QString& sousCle) {
    derniere_.reset();
    if (const LONG r = RegDeleteKeyA(handle_, octets(sousCle)))
        throw RegistryError(r, QStringLiteral("RegistryKey.DeleteSubKey"),
                            QStringLiteral("Unable to delete registry subkey ") + cite(sousCle));
}

void RegistryKey::DeleteValue(const QString& nom) {
    derniere_.reset();
    if (const LONG r = RegDeleteValueA(handle_, octets(nom)))
        throw RegistryError(r, QStringLiteral("RegistryKey.DeleteValue"),
                            QStringLiteral("Unable to delete registry value ") + cite(nom));
}
