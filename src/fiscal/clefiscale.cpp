#include "fiscal/clefiscale.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

namespace {
using Cle = std::shared_ptr<EVP_PKEY>;

Cle garder(EVP_PKEY* cle) {
    return Cle(cle, EVP_PKEY_free);
}

// The library's last error, for the log and the operator's message.
QString raisonOpenSsl() {
    const unsigned long e = ERR_get_error();
    ERR_clear_error();
    if (e == 0)
        return QStringLiteral("erreur inconnue de la bibliothèque de chiffrement");
    char texte[256];
    ERR_error_string_n(e, texte, sizeof texte);
    return QString::fromLatin1(texte);
}

// A P-256 key, the only kind the till signs with.
bool estP256(EVP_PKEY* cle) {
    return cle && EVP_PKEY_is_a(cle, "EC") && EVP_PKEY_get_bits(cle) == 256;
}

struct Bio {
    BIO* b;
    explicit Bio(BIO* bio) : b(bio) {}
    ~Bio() { BIO_free(b); }
    QByteArray contenu() const {
        char* p = nullptr;
        const long n = BIO_get_mem_data(b, &p);
        return QByteArray(p, n);
    }
};

Resultat<Cle> lirePrivee(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return echec(QStringLiteral("la clé de signature %1 ne peut pas être lue : %2")
                         .arg(QDir::toNativeSeparators(chemin), f.errorString()));
    const QByteArray pem = f.readAll();
    Bio bio(BIO_new_mem_buf(pem.constData(), int(pem.size())));
    Cle cle = garder(PEM_read_bio_PrivateKey(bio.b, nullptr, nullptr, nullptr));
    if (!estP256(cle.get())) {
        ERR_clear_error();
        return echec(QStringLiteral("la clé de signature %1 est illisible ou n'est pas une clé "
                                    "ECDSA P-256")
                         .arg(QDir::toNativeSeparators(chemin)));
    }
    return cle;
}

Resultat<> ecrire(const QString& chemin, const QByteArray& contenu, QFileDevice::Permissions p) {
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(p) ||
        f.write(contenu) != contenu.size() || !f.commit())
        return echec(QStringLiteral("%1 ne peut pas être écrit : %2")
                         .arg(QDir::toNativeSeparators(chemin), f.errorString()));
    return {};
}

QByteArray pemPublique(EVP_PKEY* cle) {
    Bio bio(BIO_new(BIO_s_mem()));
    if (!PEM_write_bio_PUBKEY(bio.b, cle))
        return {};
    return bio.contenu();
}
} // namespace

Resultat<CleFiscale> CleFiscale::chargerOuCreer(const QString& dossier) {
    const QDir d(dossier);
    const QString prive = d.filePath(fichierPrive());
    const QString publique = d.filePath(fichierPublic());
    if (QFile::exists(prive)) {
        Resultat<Cle> cle = lirePrivee(prive);
        if (!cle)
            return cle.echec();
        // The public key is written again when it went missing: it derives from the private one.
        if (!QFile::exists(publique))
            if (Resultat<> r = ecrire(publique, pemPublique(cle->get()),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ReadOther);
                !r)
                return r.echec();
        return CleFiscale(*cle);
    }
    Cle cle = garder(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    if (!cle)
        return echec(
            QStringLiteral("la clé de signature ne peut pas être créée : %1").arg(raisonOpenSsl()));
    Bio bio(BIO_new(BIO_s_mem()));
    if (!PEM_write_bio_PrivateKey(bio.b, cle.get(), nullptr, nullptr, 0, nullptr, nullptr))
        return echec(QStringLiteral("la clé de signature ne peut pas être écrite : %1")
                         .arg(raisonOpenSsl()));
    // Readable by the shop's user alone, from its first byte on the disk.
    if (Resultat<> r =
            ecrire(prive, bio.contenu(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        !r)
        return r.echec();
    if (Resultat<> r = ecrire(publique, pemPublique(cle.get()),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
        !r)
        return r.echec();
    return CleFiscale(cle);
}

Resultat<CleFiscale> CleFiscale::nouvelle() {
    Cle cle = garder(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    if (!cle)
        return echec(
            QStringLiteral("la clé de signature ne peut pas être créée : %1").arg(raisonOpenSsl()));
    return CleFiscale(cle);
}

ClePublique CleFiscale::publique() const {
    return ClePublique(cle_);
}

Resultat<QByteArray> CleFiscale::signer(QByteArrayView texte) const {
    if (!cle_)
        return echec(QStringLiteral("aucune clé de signature n'est chargée"));
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    size_t n = 0;
    if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha256(), nullptr, cle_.get()) != 1 ||
        EVP_DigestSign(ctx.get(), nullptr, &n, reinterpret_cast<const unsigned char*>(texte.data()),
                       size_t(texte.size())) != 1)
        return echec(QStringLiteral("la signature a échoué : %1").arg(raisonOpenSsl()));
    QByteArray der(qsizetype(n), Qt::Uninitialized);
    if (EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char*>(der.data()), &n,
                       reinterpret_cast<const unsigned char*>(texte.data()),
                       size_t(texte.size())) != 1)
        return echec(QStringLiteral("la signature a échoué : %1").arg(raisonOpenSsl()));
    der.truncate(qsizetype(n));
    return der.toBase64();
}

QByteArray CleFiscale::publiquePem() const {
    return pemPublique(cle_.get());
}

Resultat<ClePublique> ClePublique::lire(const QByteArray& pem) {
    Bio bio(BIO_new_mem_buf(pem.constData(), int(pem.size())));
    Cle cle = garder(PEM_read_bio_PUBKEY(bio.b, nullptr, nullptr, nullptr));
    if (!estP256(cle.get())) {
        ERR_clear_error();
        return echec(QStringLiteral("la clé publique est illisible ou n'est pas une clé ECDSA "
                                    "P-256"));
    }
    return ClePublique(std::move(cle));
}

namespace {
// The verifying context of one key, kept per thread: setting one up costs about as much as the
// check itself, and the tool checks hundreds of thousands of signatures with the same key. The
// context holds its own reference to the key.
class ContexteVerification {
  public:
    ~ContexteVerification() { EVP_PKEY_CTX_free(ctx_); }
    EVP_PKEY_CTX* pour(EVP_PKEY* cle) {
        if (cle == cle_ && ctx_)
            return ctx_;
        EVP_PKEY_CTX_free(ctx_);
        cle_ = nullptr;
        ctx_ = EVP_PKEY_CTX_new(cle, nullptr);
        if (ctx_ && (EVP_PKEY_verify_init(ctx_) != 1 ||
                     EVP_PKEY_CTX_set_signature_md(ctx_, EVP_sha256()) != 1)) {
            EVP_PKEY_CTX_free(ctx_);
            ctx_ = nullptr;
        }
        if (ctx_)
            cle_ = cle;
        return ctx_;
    }

  private:
    EVP_PKEY* cle_ = nullptr;
    EVP_PKEY_CTX* ctx_ = nullptr;
};
} // namespace

Resultat<bool> ClePublique::verifier(QByteArrayView texte, const QByteArray& signature) const {
    const auto decodee =
        QByteArray::fromBase64Encoding(signature, QByteArray::AbortOnBase64DecodingErrors);
    if (!decodee || decodee.decoded.isEmpty())
        return false;
    unsigned char empreinte[EVP_MAX_MD_SIZE];
    unsigned int taille = 0;
    if (EVP_Digest(texte.data(), size_t(texte.size()), empreinte, &taille, EVP_sha256(), nullptr) !=
        1)
        return echec(QStringLiteral("la vérification a échoué : %1").arg(raisonOpenSsl()));
    thread_local ContexteVerification contexte;
    EVP_PKEY_CTX* ctx = contexte.pour(cle_.get());
    if (!ctx)
        return echec(QStringLiteral("la vérification a échoué : %1").arg(raisonOpenSsl()));
    const int rc =
        EVP_PKEY_verify(ctx, reinterpret_cast<const unsigned char*>(decodee.decoded.constData()),
                        size_t(decodee.decoded.size()), empreinte, taille);
    // 0: not this text's signature; below 0: a signature that is not even well formed.
    ERR_clear_error();
    return rc == 1;
}
