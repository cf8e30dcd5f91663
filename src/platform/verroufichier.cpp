#include "platform/verroufichier.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

VerrouFichier::~VerrouFichier() {
    liberer();
}

void VerrouFichier::liberer() {
    if (descripteur_ < 0)
        return;
    ::close(descripteur_); // closing the file releases its lock
    descripteur_ = -1;
}

Resultat<bool> VerrouFichier::prendre(bool sansAttendre) {
    if (pris())
        return true;
    const QByteArray nom = QFile::encodeName(chemin_);
    // A file this program may not write can still carry a lock when it can be read. O_NONBLOCK:
    // a pipe left at that name must not hang the start.
    int fd = ::open(nom.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd = ::open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int numero = errno;
        const QString natif = QDir::toNativeSeparators(chemin_);
        if (numero == EISDIR)
            return echec(QStringLiteral("%1 est un dossier, pas un fichier").arg(natif));
        if (numero == ENOENT)
            return echec(QStringLiteral("le dossier du fichier %1 n'existe pas").arg(natif));
        if (numero == ENOSPC || numero == EDQUOT)
            return echec(QStringLiteral("le disque est plein (%1)").arg(natif));
        return echec(QStringLiteral("le fichier %1 ne peut pas être ouvert").arg(natif));
    }
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | (sansAttendre ? LOCK_NB : 0));
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int numero = errno;
        ::close(fd);
        if (numero == EWOULDBLOCK)
            return false;
        return echec(QStringLiteral("le fichier %1 ne peut pas être verrouillé")
                         .arg(QDir::toNativeSeparators(chemin_)));
    }
    descripteur_ = fd;
    return true;
}

Resultat<bool> VerrouFichier::essayer() {
    return prendre(true);
}

Resultat<> VerrouFichier::attendre() {
    const Resultat<bool> r = prendre(false);
    if (!r)
        return r.echec();
    return {};
}
