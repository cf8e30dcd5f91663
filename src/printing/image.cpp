#include "printing/image.h"

#include "platform/fichiers.h"
#include "printing/metafichier.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

Resultat<> Image::LoadPicture(const QString& chemin) {
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return echec(raisonFichier(fichier));
    if (fichier.size() > metafichier::tailleMaximale)
        return echec(QStringLiteral("l'image %1 est trop grande").arg(chemin));
    const QByteArray octets = fichier.read(metafichier::tailleMaximale + 1);
    const Resultat<metafichier::Analyse> analyse = metafichier::verifier(octets);
    if (!analyse)
        return echec(QStringLiteral("l'image %1 est illisible : %2").arg(chemin, analyse.raison()));
    const Resultat<metafichier::Svg> svg = metafichier::versSvg(octets, *analyse);
    if (!svg)
        return echec(QStringLiteral("l'image %1 est illisible : %2").arg(chemin, svg.raison()));
    auto rendu = std::make_shared<QSvgRenderer>(svg->document);
    if (!rendu->isValid())
        return echec(QStringLiteral("l'image %1 est illisible").arg(chemin));
    rendu_ = std::move(rendu);
    tailleTwips_ = svg->tailleTwips;
    return {};
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
