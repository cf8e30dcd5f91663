#pragma once

#include "common/resultat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

struct evp_pkey_st;
class ClePublique;

// The installation's signing key: an ECDSA key on the P-256 curve, its signatures over SHA-256.
// The private key lies in the program folder, readable by the shop's user alone; the public
// key beside it is what an inspector is given to check the till's records.
class CleFiscale {
  public:
    static QString fichierPrive() { return QStringLiteral("cle_fiscale.pem"); }
    static QString fichierPublic() { return QStringLiteral("cle_fiscale_publique.pem"); }

    // The key pair of the folder: read, or made and written the first time. A key file that
    // cannot be read is a failure, never replaced: the records signed with it would no longer
    // match the installation's key.
    static Resultat<CleFiscale> chargerOuCreer(const QString& dossier);
    // A key made in memory and never written: for tests and tools that sign a throw-away shop.
    static Resultat<CleFiscale> nouvelle();

    // No key yet: every signature fails until a key is loaded (the till never closes a ticket
    // unsigned).
    CleFiscale() = default;
    bool estChargee() const { return cle_ != nullptr; }

    // The signature of `texte`, in base 64 (DER).
    Resultat<QByteArray> signer(QByteArrayView texte) const;
    // The public half, to check what this key signed.
    ClePublique publique() const;
    // The public key, PEM text.
    QByteArray publiquePem() const;

  private:
    explicit CleFiscale(std::shared_ptr<evp_pkey_st> cle) : cle_(std::move(cle)) {}
    std::shared_ptr<evp_pkey_st> cle_;
};

// A public key that checks signatures: read once, then used for every record of a shop.
class ClePublique {
  public:
    // The key from its PEM text; a text that is not a P-256 public key is a failure.
    static Resultat<ClePublique> lire(const QByteArray& pem);

    // Whether `signature` (base 64) is the signature of `texte` by this key: a signature that
    // does not match, or is not even one, is false.
    Resultat<bool> verifier(QByteArrayView texte, const QByteArray& signature) const;

  private:
    friend class CleFiscale;
    explicit ClePublique(std::shared_ptr<evp_pkey_st> cle) : cle_(std::move(cle)) {}
    std::shared_ptr<evp_pkey_st> cle_;
};
