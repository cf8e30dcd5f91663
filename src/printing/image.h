#pragma once

#include "common/resultat.h"

#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>

class QPainter;
class QSvgRenderer;

// A picture read from a Windows metafile (.wmf) through libwmf's SVG output, drawn as vectors
// with QSvgRenderer so that it stays sharp on paper. A picture that failed to load is null.
class Image {
  public:
    Image() = default;
    // Reads the file; a missing or malformed file fails, with the reason, and leaves the
    // picture unchanged (the caller keeps the previous picture).
    Resultat<> LoadPicture(const QString& chemin);
    bool estNulle() const { return !rendu_; }
    // The picture's own size in twips.
    QSizeF tailleTwips() const { return tailleTwips_; }
    void dessiner(QPainter& p, const QRectF& cible) const;
    // The same picture, read from the same file once.
    bool operator==(const Image& autre) const {
        return rendu_ == autre.rendu_ && tailleTwips_ == autre.tailleTwips_;
    }

  private:
    std::shared_ptr<QSvgRenderer> rendu_;
    QSizeF tailleTwips_;
};
