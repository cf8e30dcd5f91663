#pragma once

#include "printing/image.h"

#include <QDateTime>
#include <QString>

// The receipt's header picture, "enteteimprimante.wmf" in the program folder. It is read
// again whenever the file has changed since the last rendering, so a new picture shows at the
// next ticket; a file that cannot be read leaves the picture read before (none at first).
class EnteteTicket {
  public:
    static QString nomFichier() { return QStringLiteral("enteteimprimante.wmf"); }

    const Image& charger(const QString& chemin);
    const Image& image() const { return image_; }

  private:
    Image image_;
    QString chemin_;
    QDateTime modification_;
    qint64 taille_ = -1;
};
