#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The Windows registry, kept by the program itself on Linux: the seven predefined root keys,
// each a tree of keys holding named values, behind the classic calls of the Win32 API with their
// result codes. Names are 8-bit Windows-1252 text, compared without regard to letter case; a key
// holds its values in the order they were first written and lists its subkeys in alphabetical
// order. The whole store lives in one file, read on first use and rewritten safely (temporary
// file renamed into place) after every change; a change that cannot be saved is undone and
// answers ERROR_REGISTRY_IO_FAILED. Bad input answers a result code, never more.
namespace winreg {

using HKEY = std::uint32_t; // 0 is no key
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using REGSAM = std::uint32_t;
using BYTE = std::uint8_t;

// The predefined root keys, always open.
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;

// Result codes.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2; // missing key or value
inline constexpr LONG ERROR_ACCESS_DENIED = 5;  // right not granted, key with subkeys, root
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87; // bad name, path, size or argument
inline constexpr LONG ERROR_MORE_DATA = 234;        // the caller's buffer is too small
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016; // the store file cannot be written
inline constexpr LONG ERROR_KEY_DELETED = 1018;        // the handle's key has been deleted

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Value types (the store keeps any type as given; the program writes REG_SZ).
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Key creation.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Limits of the store, as on Windows.
inline constexpr int kLongueurNomCle = 255;      // one key name
inline constexpr int kProfondeurMax = 512;       // key levels below a root
inline constexpr int kLongueurNomValeur = 16383; // one value name
inline constexpr DWORD kTailleValeur = 1u << 20; // one value's data

struct SECURITY_ATTRIBUTES {
    DWORD nLength = sizeof(SECURITY_ATTRIBUTES);
    void* lpSecurityDescriptor = nullptr;
    std::int32_t bInheritHandle = 0;
};

// A subkey path is a chain of key names joined by "\" (one trailing "\" is allowed); an empty
// path names the key itself and gives a new handle to it. Names must not be empty nor hold a
// NUL byte.
LONG RegOpenKeyExA(HKEY cle, const QByteArray& sousCle, DWORD options, REGSAM droits,
                   HKEY* resultat);
// Opens the key, creating it and every missing key above it. `disposition` (may be null) says
// REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. The class text and security are not kept.
LONG RegCreateKeyExA(HKEY cle, const QByteArray& sousCle, DWORD reserve, const QByteArray& classe,
                     DWORD options, REGSAM droits, const SECURITY_ATTRIBUTES* securite,
                     HKEY* resultat, DWORD* disposition);
LONG RegCloseKey(HKEY cle);

// `taille` in: the buffer's size; out: the value's size. A null `donnees` asks for the size
// only; a buffer too small answers ERROR_MORE_DATA with the size needed. The empty name is the
// key's unnamed (default) value. `reserve` must be null.
LONG RegQueryValueExA(HKEY cle, const QByteArray& nom, DWORD* reserve, DWORD* type, BYTE* donnees,
                      DWORD* taille);
// Stores the bytes as given: a REG_SZ carries its terminating NUL in `taille`.
LONG RegSetValueExA(HKEY cle, const QByteArray& nom, DWORD reserve, DWORD type, const BYTE* donnees,
                    DWORD taille);

// The value at `index` (0 upwards, ERROR_NO_MORE_ITEMS after the last). `capaciteNom` in: the
// name buffer's size counting the NUL; out: the name's length without it. Data as
// RegQueryValueExA; `type`, `donnees` and `taille` may be null.
LONG RegEnumValueA(HKEY cle, DWORD index, char* nom, DWORD* capaciteNom, DWORD* reserve,
                   DWORD* type, BYTE* donnees, DWORD* taille);
// The subkey at `index`, NUL-terminated in a buffer of `capacite` bytes.
LONG RegEnumKeyA(HKEY cle, DWORD index, char* nom, DWORD capacite);

// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise, and for a root). Handles
// still open on it answer ERROR_KEY_DELETED.
LONG RegDeleteKeyA(HKEY cle, const QByteArray& sousCle);
LONG RegDeleteValueA(HKEY cle, const QByteArray& nom);

// The store file: by default "registre.dat" in the folder "TALMIR_vestimentaire" of the user's
// configuration folder. Setting it (the same path reloads) forgets the keys in memory and
// invalidates every open handle; the file is read at the next call.
QString fichierRegistre();
void utiliserFichierRegistre(const QString& chemin);

// The number of handles open (the predefined roots not counted), to check that none is lost.
int clesOuvertes();

} // namespace winreg
