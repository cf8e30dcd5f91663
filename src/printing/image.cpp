#include "printing/image.h"

#include "printing/metafichier.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

bool Image::LoadPicture(const QString& chemin) {
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly) || fichier.size() > metafichier::tailleMaximale)
        return false;
    const QByteArray octets = fichier.read(metafichier::tailleMaximale + 1);
    metafichier::Analyse analyse;
    if (!metafichier::verifier(octets, &analyse))
        return false;
    QSizeF taille;
    const QByteArray svg = metafichier::versSvg(octets, analyse, &taille);
    if (svg.isEmpty())
        return false;
    auto rendu = std::make_shared<QSvgRenderer>(svg);
    if (!rendu->isValid())
        return false;
    rendu_ = std::move(rendu);
    tailleTwips_ = taille;
    return true;
}

void Image::dessiner(QPainter& p, const QRectF& cible) const {
    if (!rendu_)
        return;
    // Nothing of the picture spills out of its rectangle.
    p.save();
    p.setClipRect(cible, Qt::IntersectClip);
    rendu_->render(&p, cible);
    p.restore();
}
