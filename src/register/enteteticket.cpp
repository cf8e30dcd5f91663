#include "register/enteteticket.h"

#include "common/journalisation.h"

#include <QFileInfo>

const Image& EnteteTicket::charger(const QString& chemin) {
    const QFileInfo info(chemin);
    if (!info.isFile())
        return image_;
    const QDateTime modification = info.lastModified();
    if (chemin == chemin_ && modification == modification_ && info.size() == taille_)
        return image_;
    // A file that cannot be read is not tried again until it changes.
    // The receipt prints without it (or with the previous one): the log says why.
    consigner(image_.LoadPicture(chemin), QStringLiteral("en-tête des tickets"));
    chemin_ = chemin;
    modification_ = modification;
    taille_ = info.size();
    return image_;
}
