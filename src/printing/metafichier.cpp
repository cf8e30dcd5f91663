#include "printing/metafichier.h"

#include "common/cp1252.h"
#include "common/unites.h"

#include <QList>
#include <QScopeGuard>

extern "C" {
#include <libwmf/api.h>
#include <libwmf/svg.h>
}

namespace metafichier {
namespace {

constexpr quint32 clePlacable = 0x9AC6CDD7;
constexpr int taillePlacable = 22;
constexpr int tailleEntete = 18;
constexpr int enregistrementsMaxi = 1'000'000;

// Record functions the check looks into.
enum : quint16 {
    FinFichier = 0x0000,
    SetMapMode = 0x0103,
    SelectObject = 0x012D,
    SelectClipRegion = 0x012C,
    InvertRegion = 0x012A,
    PaintRegion = 0x012B,
    DeleteObject = 0x01F0,
    SelectPalette = 0x0234,
    FillRegion = 0x0228,
    FrameRegion = 0x0429,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    CreatePalette = 0x00F7,
    SetPalEntries = 0x0037,
    AnimatePalette = 0x0436,
    CreateRegion = 0x06FF,
    CreatePatternBrush = 0x01F9,
    DibCreatePatternBrush = 0x0142,
    Polygon = 0x0324,
    Polyline = 0x0325,
    PolyPolygon = 0x0538,
    TextOut = 0x0521,
    ExtTextOut = 0x0A32,
    Escape = 0x0626,
    BitBlt = 0x0922,
    StretchBlt = 0x0B23,
    DibBitBlt = 0x0940,
    DibStretchBlt = 0x0B41,
    StretchDib = 0x0F43,
    SetDibToDev = 0x0D33,
};

// The fixed number of parameter words of the records read field by field.
int parametresFixes(quint16 fonction) {
    switch (fonction) {
    case 0x001E: // SAVEDC
    case 0x0035: // REALIZEPALETTE
        return 0;
    case 0x0102: // SETBKMODE
    case 0x0103: // SETMAPMODE
    case 0x0104: // SETROP2
    case 0x0106: // SETPOLYFILLMODE
    case 0x0107: // SETSTRETCHBLTMODE
    case 0x0108: // SETTEXTCHAREXTRA
    case 0x0127: // RESTOREDC
    case 0x012E: // SETTEXTALIGN
    case 0x0139: // RESIZEPALETTE
    case SelectObject:
    case DeleteObject:
    case SelectPalette:
    case SelectClipRegion:
    case InvertRegion:
    case PaintRegion:
        return 1;
    case 0x0201: // SETBKCOLOR
    case 0x0209: // SETTEXTCOLOR
    case 0x020A: // SETTEXTJUSTIFICATION
    case 0x020B: // SETWINDOWORG
    case 0x020C: // SETWINDOWEXT
    case 0x020D: // SETVIEWPORTORG
    case 0x020E: // SETVIEWPORTEXT
    case 0x020F: // OFFSETWINDOWORG
    case 0x0211: // OFFSETVIEWPORTORG
    case 0x0213: // LINETO
    case 0x0214: // MOVETO
    case 0x0220: // OFFSETCLIPRGN
    case 0x0231: // SETMAPPERFLAGS
    case FillRegion:
        return 2;
    case 0x0410: // SCALEWINDOWEXT
    case 0x0412: // SCALEVIEWPORTEXT
    case 0x0415: // EXCLUDECLIPRECT
    case 0x0416: // INTERSECTCLIPRECT
    case 0x0418: // ELLIPSE
    case 0x0419: // FLOODFILL
    case 0x041B: // RECTANGLE
    case 0x041F: // SETPIXEL
    case FrameRegion:
    case CreateBrushIndirect:
        return 4;
    case 0x0548: // EXTFLOODFILL
    case CreatePenIndirect:
        return 5;
    case 0x061C: // ROUNDRECT
    case 0x061D: // PATBLT
        return 6;
    case 0x0817: // ARC
    case 0x081A: // PIE
    case 0x0830: // CHORD
        return 8;
    case CreateFontIndirect:
        return 9;
    default:
        return -1;
    }
}

// The parameter words that come before the device-independent bitmap of a record.
int avantBitmap(quint16 fonction) {
    switch (fonction) {
    case DibCreatePatternBrush:
        return 2;
    case DibBitBlt:
        return 8;
    case SetDibToDev:
        return 9;
    case DibStretchBlt:
        return 10;
    case StretchDib:
        return 11;
    default:
        return -1;
    }
}

class Verification {
  public:
    explicit Verification(const QByteArray& o) : o_(o) {}

    bool executer(Analyse& a) {
        if (o_.size() > tailleMaximale)
            return refuser(QStringLiteral("le fichier est trop grand"));
        qint64 debut = 0;
        if (o_.size() >= 4 && dmot(0) == clePlacable) {
            if (o_.size() < taillePlacable + tailleEntete)
                return refuser(QStringLiteral("l'en-tête est tronqué"));
            const qint16 gauche = qint16(mot(6)), haut = qint16(mot(8));
            const qint16 droite = qint16(mot(10)), bas = qint16(mot(12));
            const quint16 unitesParPouce = mot(14);
            if (unitesParPouce == 0 || droite <= gauche || bas <= haut)
                return refuser(QStringLiteral("le cadre de l'image est vide"));
            a.placable = true;
            const double w = double(droite) - gauche, h = double(bas) - haut;
            // The header's own units per inch.
            const double pouces = 1.0 / unitesParPouce;
            auto en = [&](unites::Unite u) {
                return QSizeF(unites::convertir(w * pouces, unites::Unite::Pouces, u),
                              unites::convertir(h * pouces, unites::Unite::Pouces, u));
            };
            a.tailleTwips = en(unites::Unite::Twips);
            a.cadrePoints = en(unites::Unite::Points);
            debut = taillePlacable;
        }
        if (o_.size() < debut + tailleEntete)
            return refuser(QStringLiteral("ce n'est pas un métafichier Windows"));
        const quint16 type = mot(debut), tailleEnteteMots = mot(debut + 2);
        const quint16 version = mot(debut + 4);
        const quint32 tailleMots = dmot(debut + 6);
        objets_ = QList<bool>(mot(debut + 10), false);
        plusGrand_ = dmot(debut + 12);
        if ((type != 1 && type != 2) || tailleEnteteMots != 9 ||
            (version != 0x0100 && version != 0x0300))
            return refuser(QStringLiteral("ce n'est pas un métafichier Windows"));
        fin_ = debut + qint64(tailleMots) * 2;
        if (tailleMots < 9 + 3 || fin_ > o_.size())
            return refuser(QStringLiteral("le fichier est tronqué"));
        // libwmf sizes its record buffer on the declared largest record.
        if (plusGrand_ < 3 || plusGrand_ > tailleMots)
            return refuser(QStringLiteral("l'en-tête est abîmé"));
        return enregistrements(debut + tailleEntete, a);
    }

    QString erreur;

  private:
    bool refuser(const QString& raison) {
        erreur = raison;
        return false;
    }
    quint16 mot(qint64 i) const { return quint16(uchar(o_[i]) | (uchar(o_[i + 1]) << 8)); }
    quint32 dmot(qint64 i) const { return mot(i) | (quint32(mot(i + 2)) << 16); }

    bool enregistrements(qint64 pos, Analyse& a) {
        for (int n = 0; n < enregistrementsMaxi; ++n) {
            if (pos + 6 > fin_)
                return refuser(QStringLiteral("l'enregistrement de fin manque"));
            const quint32 taille = dmot(pos);
            const quint16 fonction = mot(pos + 4);
            if (taille < 3 || qint64(taille) * 2 > fin_ - pos || taille > plusGrand_)
                return refuser(QStringLiteral("un enregistrement déborde du fichier"));
            if (fonction == FinFichier)
                return true;
            if (!enregistrement(fonction, pos + 6, qint64(taille) - 3, a))
                return false;
            pos += qint64(taille) * 2;
        }
        return refuser(QStringLiteral("le fichier a trop d'enregistrements"));
    }

    bool enregistrement(quint16 f, qint64 p, qint64 nb, Analyse& a) {
        const QString abime = QStringLiteral("un enregistrement est abîmé");
        if (const int fixes = parametresFixes(f); fixes >= 0 && nb < fixes)
            return refuser(abime);
        auto param = [&](qint64 i) { return mot(p + 2 * i); };
        switch (f) {
        case SetMapMode:
            if (param(0) != 1)
                a.changeEchelle = true;
            return true;
        case Polygon:
        case Polyline:
            return (nb >= 1 && param(0) >= 1 && 1 + 2 * qint64(param(0)) <= nb) || refuser(abime);
        case PolyPolygon: {
            if (nb < 1 || param(0) < 1 || 1 + qint64(param(0)) > nb)
                return refuser(abime);
            qint64 points = 0;
            for (qint64 i = 0; i < param(0); ++i) {
                if (param(1 + i) < 1)
                    return refuser(abime);
                points += param(1 + i);
            }
            return 1 + param(0) + 2 * points <= nb || refuser(abime);
        }
        case TextOut:
            return (nb >= 1 && 1 + (qint64(param(0)) + 1) / 2 + 2 <= nb) || refuser(abime);
        case ExtTextOut: {
            if (nb < 4)
                return refuser(abime);
            const qint64 longueur = param(2);
            const qint64 avant = 4 + ((param(3) & 0x0006) ? 4 : 0) + (longueur + 1) / 2;
            // Character spacings, when present, are one word per character.
            return (avant <= nb && (nb == avant || nb - avant >= longueur)) || refuser(abime);
        }
        case CreateFontIndirect:
            return police(p + 18, nb * 2 - 18) && creer();
        case CreatePenIndirect:
        case CreateBrushIndirect:
            return creer();
        case CreatePalette:
            return palette(param, nb) && creer();
        case SetPalEntries:
        case AnimatePalette:
            return palette(param, nb);
        case CreateRegion:
            return region(param, nb) && creer();
        case SelectObject:
        case SelectPalette:
        case InvertRegion:
        case PaintRegion:
            return objetExistant(param(0));
        case SelectClipRegion:
            return param(0) < objets_.size() || refuser(abime);
        case FillRegion:
            return objetExistant(param(0)) && objetExistant(param(1));
        case FrameRegion:
            return objetExistant(param(0)) && objetExistant(param(1));
        case DeleteObject:
            if (!objetExistant(param(0)))
                return false;
            objets_[param(0)] = false;
            return true;
        case Escape:
            return (nb >= 2 && 2 + (qint64(param(1)) + 1) / 2 <= nb) || refuser(abime);
        case BitBlt:
        case StretchBlt:
        case CreatePatternBrush:
            return refuser(QStringLiteral("les images bitmap d'ancien format ne sont pas lues"));
        default:
            break;
        }
        if (const int avant = avantBitmap(f); avant >= 0) {
            // DIBBITBLT and DIBSTRETCHBLT also come without a bitmap (a plain raster operation).
            if ((f == DibBitBlt || f == DibStretchBlt) && nb == (f >> 8))
                return true;
            if (nb < avant || !bitmap(p + 2 * avant, (nb - avant) * 2))
                return refuser(abime);
            return f == DibCreatePatternBrush ? creer() : true;
        }
        return true;
    }

    bool police(qint64 p, qint64 octets) {
        // The face name ends within the record, or fills its 32 bytes.
        for (qint64 i = 0; i < octets; ++i)
            if (o_[p + i] == '\0' || i == 31)
                return true;
        return octets == 0 || refuser(QStringLiteral("un nom de police est abîmé"));
    }

    template <typename Param> bool palette(Param param, qint64 nb) {
        return (nb >= 2 && 2 + 2 * qint64(param(1)) <= nb) ||
               refuser(QStringLiteral("une palette est abîmée"));
    }

    template <typename Param> bool region(Param param, qint64 nb) {
        if (nb < 11)
            return refuser(QStringLiteral("une région est abîmée"));
        qint64 i = 11;
        for (int s = 0; s < param(5); ++s) {
            if (i >= nb)
                return refuser(QStringLiteral("une région est abîmée"));
            const qint64 suivant = i + 3 + param(i) + 1;
            if (param(i) % 2 || suivant > nb)
                return refuser(QStringLiteral("une région est abîmée"));
            i = suivant;
        }
        return true;
    }

    // A device-independent bitmap: its header, palette and pixels within `octets` bytes.
    bool bitmap(qint64 p, qint64 octets) const {
        if (octets < 12)
            return false;
        const quint32 entete = dmot(p);
        qint64 largeur, hauteur, bits, compression = 0, couleurs = 0, octetsCouleur = 4;
        if (entete == 12) {
            largeur = mot(p + 4);
            hauteur = mot(p + 6);
            bits = mot(p + 10);
            octetsCouleur = 3;
        } else {
            if (entete < 40 || entete > octets)
                return false;
            largeur = qint32(dmot(p + 4));
            hauteur = qint32(dmot(p + 8));
            bits = mot(p + 14);
            compression = dmot(p + 16);
            couleurs = dmot(p + 32);
        }
        hauteur = hauteur < 0 ? -hauteur : hauteur;
        if (largeur < 1 || largeur > 16384 || hauteur < 1 || hauteur > 16384)
            return false;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return false;
        // Uncompressed pixels only (and bit-field masks); run-length and embedded JPEG/PNG
        // pixels are refused.
        if (compression != 0 && compression != 3)
            return false;
        if (couleurs == 0 && bits <= 8)
            couleurs = qint64(1) << bits;
        if (couleurs > 65536)
            return false;
        const qint64 masques = (compression == 3 && entete == 40) ? 12 : 0;
        const qint64 ligne = (largeur * bits + 31) / 32 * 4;
        return entete + masques + couleurs * octetsCouleur + ligne * hauteur <= octets;
    }

    // A new object takes the lowest free slot of the object table.
    bool creer() {
        const qsizetype libre = objets_.indexOf(false);
        if (libre < 0)
            return refuser(QStringLiteral("la table des objets est pleine"));
        objets_[libre] = true;
        return true;
    }

    bool objetExistant(quint16 index) {
        return (index < objets_.size() && objets_[index]) ||
               refuser(QStringLiteral("un enregistrement désigne un objet absent"));
    }

    const QByteArray& o_;
    qint64 fin_ = 0;
    quint32 plusGrand_ = 0;
    QList<bool> objets_;
};

// Two slips of libwmf's SVG output are put right here. It writes texts as they are in the
// file: Windows-1252 bytes, and no escaping of the characters that XML reserves; each text is
// escaped and the document made UTF-8. And it draws every filled shape half transparent when
// the background mode is TRANSPARENT, a mode that only concerns the gaps of hatched brushes
// and the box behind texts: solid fills are made opaque again.
QByteArray corriger(QByteArray svg) {
    svg.replace("fill-opacity:0.5; ", "");
    const QByteArray ouverture = "<text ";
    const QByteArray debutContenu = "\n\t>";
    const QByteArray fermeture = "</text>\n";
    QString sortie;
    qsizetype pos = 0;
    while (true) {
        const qsizetype t = svg.indexOf(ouverture, pos);
        const qsizetype c = t < 0 ? -1 : svg.indexOf(debutContenu, t);
        const qsizetype f = c < 0 ? -1 : svg.indexOf(fermeture, c);
        if (f < 0)
            break;
        const qsizetype contenu = c + debutContenu.size();
        sortie += depuisWindows1252(svg.mid(pos, contenu - pos));
        sortie += depuisWindows1252(svg.mid(contenu, f - contenu)).toHtmlEscaped();
        pos = f;
    }
    sortie += depuisWindows1252(svg.mid(pos));
    return sortie.toUtf8();
}

} // namespace

Resultat<Analyse> verifier(const QByteArray& octets) {
    Verification v(octets);
    Analyse a;
    if (!v.executer(a))
        return echec(v.erreur);
    return a;
}

Resultat<Svg> versSvg(const QByteArray& octets, const Analyse& analyse) {
    wmfAPI* api = nullptr;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long drapeaux =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&api, drapeaux, &options) != wmf_E_None) {
        if (api)
            wmf_api_destroy(api);
        return echec(QStringLiteral("le lecteur de métafichiers n'a pas démarré"));
    }
    auto liberer = qScopeGuard([api] { wmf_api_destroy(api); });

    QByteArray copie = octets; // libwmf wants writable bytes
    wmfD_Rect cadre{};
    if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(copie.data()), long(copie.size())) !=
            wmf_E_None ||
        wmf_scan(api, 0, &cadre) != wmf_E_None)
        return echec(QStringLiteral("le métafichier n'a pas pu être lu"));
    unsigned int largeur = 0, hauteur = 0;
    constexpr auto twips = unites::parPouce(unites::Unite::Twips);
    if (wmf_display_size(api, &largeur, &hauteur, twips, twips) != wmf_E_None || largeur == 0 ||
        hauteur == 0)
        return echec(QStringLiteral("l'image est vide"));

    // A placeable picture drawn in the player's default scale keeps its own frame (and the
    // margins inside it); otherwise the frame is what the drawing covers.
    if (analyse.placable && !analyse.changeEchelle) {
        cadre.TL = {0, 0};
        cadre.BR = {float(analyse.cadrePoints.width()), float(analyse.cadrePoints.height())};
    }
    if (!(cadre.BR.x > cadre.TL.x && cadre.BR.y > cadre.TL.y))
        return echec(QStringLiteral("l'image est vide"));

    // A memory stream: its buffer belongs to the API and goes with it, so it is copied first.
    wmf_svg_t* svg = WMF_SVG_GetData(api);
    svg->out = wmf_stream_create(api, nullptr);
    if (!svg->out)
        return echec(QStringLiteral("mémoire insuffisante"));
    svg->Description = const_cast<char*>("TALMIR");
    svg->bbox = cadre;
    svg->width = largeur;
    svg->height = hauteur;
    svg->flags |= WMF_SVG_INLINE_IMAGES;
    const wmf_error_t joue = wmf_play(api, 0, &cadre);
    char* tampon = nullptr;
    unsigned long longueur = 0;
    wmf_stream_destroy(api, svg->out, &tampon, &longueur);
    svg->out = nullptr;
    const QByteArray brut(tampon, tampon ? qsizetype(longueur) : 0);
    if (joue != wmf_E_None || brut.isEmpty())
        return echec(QStringLiteral("le métafichier n'a pas pu être lu"));
    return Svg{corriger(brut), analyse.placable ? analyse.tailleTwips : QSizeF(largeur, hauteur)};
}

} // namespace metafichier
