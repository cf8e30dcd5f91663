#pragma once

#include "platform/registre.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

// A failed registry key operation: `number` is the registry's result code of the failing call
// (2 for a missing key or value...), `source` the member that failed ("RegistryKey.DeleteValue"),
// `description` what went wrong, naming the value or subkey concerned.
class RegistryError : public std::runtime_error {
  public:
    RegistryError(winreg::LONG number, const QString& source, const QString& description);
    winreg::LONG number() const { return number_; }
    const QString& source() const { return source_; }
    const QString& description() const { return description_; }

  private:
    winreg::LONG number_;
    QString source_;
    QString description_;
};

// One open key of the registry: opens or creates it, reads and writes its string values, lists
// the names of its values and subkeys, deletes keys and values. The object holds at most one
// key (every open closes the held one first) and closes it when it goes away.
//
// Members that throw RegistryError: CloseKey (a handle the registry refuses, which stays held),
// ValueNames, DeleteKey, DeleteSubKey, DeleteValue. The value read, SubKeyNames and
// SubValueNames never throw: they keep their failure in lastError() and answer what they have
// (the empty text, an empty list). Lists are in the registry's order: values as first written,
// subkeys alphabetical.
class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // True when the key was newly created, false when an existing key was opened or on failure
    // (handle() is then 0).
    bool CreateKey(winreg::HKEY racine, const QString& sousCle, const QString& classe,
                   winreg::DWORD options, winreg::REGSAM droits);
    // A failure leaves handle() at 0. With exactly KEY_WRITE a missing key is created.
    void OpenKey(winreg::HKEY racine, const QString& sousCle, winreg::REGSAM droits);
    void CloseKey();
    winreg::HKEY handle() const { return handle_; }

    // The stored bytes read as text without the string's terminating NUL; the empty text when
    // the value is missing or cannot be read.
    QString value(const QString& nom);
    // Stores the text as a REG_SZ with its terminating NUL; false when it was not stored.
    bool setValue(const QString& nom, const QString& valeur);

    QStringList ValueNames();    // the named values (the unnamed default value is not listed)
    QStringList SubKeyNames();   // the subkeys
    QStringList SubValueNames(); // the named values, like ValueNames, failures kept aside
    void DeleteKey(winreg::HKEY racine, const QString& sousCle);
    void DeleteSubKey(const QString& sousCle);
    void DeleteValue(const QString& nom);

    // The failure the last member call passed over, if any.
    const std::optional<RegistryError>& lastError() const { return derniere_; }

  private:
    winreg::DWORD GetRegistryValueLen(const QString& nom);
    QStringList listerNoms(bool cles);

    winreg::HKEY handle_ = 0;
    std::optional<RegistryError> derniere_;
};
