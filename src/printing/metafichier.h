#pragma once

#include "common/resultat.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

// Windows metafiles (.wmf): a structural check of the bytes, then libwmf's conversion to SVG.
//
// libwmf trusts the counts and sizes written in the file; a damaged file can make it read past
// its buffers. Nothing reaches libwmf unless the whole record chain has been walked here first:
// headers, record sizes within the file and within the declared largest record, point and
// character counts within their records, object indexes within the object table, bitmaps whose
// pixel data fits in their record, the end record present.
namespace metafichier {

// Larger files are refused (a shop picture is a few kilobytes).
constexpr qint64 tailleMaximale = 8 * 1024 * 1024;

struct Analyse {
    bool placable = false;      // starts with an Aldus placeable header
    QSizeF tailleTwips;         // from the placeable header's frame (empty otherwise)
    QSizeF cadrePoints;         // the same frame in points (empty otherwise)
    bool changeEchelle = false; // a SETMAPMODE record other than MM_TEXT
};

// Checks the bytes; fails with a French reason when they are not a sound metafile.
Resultat<Analyse> verifier(const QByteArray& octets);

// A picture as an SVG document (UTF-8) and its size in twips.
struct Svg {
    QByteArray document;
    QSizeF tailleTwips;
};

// Converts checked bytes to SVG.
Resultat<Svg> versSvg(const QByteArray& octets, const Analyse& analyse);

} // namespace metafichier
