#pragma once

#include "common/unites.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

class Image;
class QImage;
class QPainter;

// The drawing operations shared by every printout: the on-screen picture boxes, the printers
// and PDF all draw through this one class. Coordinates are in twips (1440 to the inch) unless
// the caller switches to millimetres; fonts are in points.
//
// A surface records what is drawn as a display list, page by page. A picture box replays it
// on every repaint (so the drawing survives covering and scrolling until the next Cls); a print
// job replays it on the printer's pages at EndDoc. Text widths are measured at the resolution
// the surface was made for. Every printed text is also kept in a log for tests.
class Surface {
  public:
    // Twips or millimetres.
    using Echelle = unites::Unite;

    // One text drawn: its top-left corner in the scale in force when it was drawn.
    struct TexteImprime {
        double x = 0;
        double y = 0;
        QString texte;
        bool gras = false;
        QString police;
        double taille = 0;
        int page = 0;
        Echelle echelle = Echelle::Twips;
    };

    // largeur, hauteur: the drawing area in device pixels at `dpi` dots per inch.
    Surface(double largeurPixels, double hauteurPixels, double dpi);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Erases everything (all pages and the text log) and puts the drawing position back at the
    // top left. A printer's surface has nothing to clear: there Cls does nothing.
    void Cls();
    // Marks a print job's surface (see Cls); a drawing procedure tells the printer from a
    // picture box by it.
    void setImprimante(bool imprimante) { imprimante_ = imprimante; }
    bool estImprimante() const { return imprimante_; }

    void setScaleMode(Echelle e);
    Echelle scaleMode() const { return echelle_; }
    double ScaleWidth() const;
    double ScaleHeight() const;
    // A new drawing area size in pixels (the picture box was resized).
    void redimensionner(double largeurPixels, double hauteurPixels);

    double CurrentX() const { return x_; }
    double CurrentY() const { return y_; }
    // A position that is not a number is ignored.
    void setCurrentX(double x) {
        if (std::isfinite(x))
            x_ = x;
    }
    void setCurrentY(double y) {
        if (std::isfinite(y))
            y_ = y;
    }

    // The font asked for, as asked ("Arial", "LcdD"); the face drawn may be another one of the
    // same kind (see familleReelle).
    QString FontName() const { return police_.family(); }
    double FontSize() const { return police_.pointSizeF(); }
    bool FontBold() const { return police_.bold(); }
    void setFontName(const QString& nom);
    void setFontSize(double points);
    void setFontBold(bool gras);
    void setForeColor(const QColor& c) { couleur_ = c; }

    // Text drawn with its top-left corner at the drawing position, then X back to 0 and Y down
    // by one line of the current font.
    void Print(const QString& texte);
    // Text drawn; X moves to the text's right end (a "Print texte;" without line end).
    void PrintSuite(const QString& texte);
    // An empty line: Y down by one line.
    void Print();

    double TextWidth(const QString& texte) const;
    double TextHeight(const QString& texte = QStringLiteral("A")) const;

    // A picture stretched into the rectangle. A null picture draws nothing.
    void PaintPicture(const Image& image, double x, double y, double largeur, double hauteur);
    // A filled box between two corners.
    void LineBF(double x1, double y1, double x2, double y2, const QColor& couleur);
    // Bars of a bar code or any other filled shapes given in the current scale.
    void remplirRectangles(const QList<QRectF>& rectangles, const QColor& couleur);

    // Starts a new page (printers); on screen only the first page is shown.
    void NouvellePage();
    int nombrePages() const;
    // Nothing drawn on the page.
    bool pageVide(int page) const;

    // The lowest point drawn on the current page, in the current scale (a receipt's length).
    double basDessin() const;
    // The same for any page.
    double basDessinPage(int page) const;

    // Empties the surface whatever its kind: a print job's pages once sent.
    void vider();

    // A point of the drawing of the first page, to go back to: what was drawn up to it, the
    // drawing position and the font. A drawing that grows at its end (a ticket on the screen)
    // goes back to where its last part began and draws it again, rather than all of it.
    struct Marque {
        quint64 dessin = 0; // the drawing it belongs to (a Cls starts another)
        size_t operations = 0;
        qsizetype textes = 0;
        double x = 0, y = 0, bas = 0;
        Echelle echelle = Echelle::Twips;
        QFont police;
        QColor couleur;
    };
    Marque marque() const;
    // Takes the drawing back to `m`, as a Cls followed by drawing again what came before `m`
    // would (the change is told as such). False, changing nothing, when the drawing is no
    // longer the one `m` was taken on.
    bool revenirA(const Marque& m);

    // Replays page `page` onto a painter whose device has `dpiCible` dots per inch. Texts that
    // lie wholly above or below `zone` (device pixels; an empty zone: the whole page) are not
    // drawn: a picture box repaints only the band that shows.
    void rejouer(QPainter& p, int page, double dpiCible, const QRectF& zone = {}) const;

    const QList<TexteImprime>& textes() const { return textes_; }
    double dpi() const { return dpi_; }

    // Conversions between the current scale and device pixels at the surface's resolution.
    double versPixels(double v) const;
    double depuisPixels(double px) const;

    // A change of the drawing, as a picture box repaints it: the band of the first page whose
    // look changed (pixels at the surface's resolution; empty when nothing shown changed). A
    // drawing made again after a Cls is compared with the one before, operation by operation,
    // so a ticket drawn again after a scan gives only its new line and the totals below it.
    // `efface`: a Cls; what the previous drawing had beyond the new one is given by
    // zoneRetiree() once the new drawing is done.
    struct Modification {
        QRectF zone;
        bool efface = false;
    };
    // Called after every change of the drawing.
    void surModification(std::function<void(const Modification&)> rappel) {
        rappel_ = std::move(rappel);
    }
    // The band of the drawing before the last Cls that the new drawing has not drawn over; it
    // is given once.
    QRectF zoneRetiree();
    // The drawing area's size in pixels comes from `taillePixels` (a picture box's own size,
    // right even while it is hidden and gets no resize event).
    void suivreTaille(std::function<QSizeF()> taillePixels) { taille_ = std::move(taillePixels); }

    // The installed face drawn for a font name of the shop's Windows machines: "Arial",
    // "MS Sans Serif" and "Trebuchet MS" give Liberation Sans, the LCD faces "LcdD" and
    // "GlaserSteD" give DSEG7 Classic; any other name is asked for as it is.
    static QString familleReelle(const QString& nom);
    // That face at a size, ready for a widget or a painter.
    static QFont policeReelle(const QString& nom, double points, bool gras = false);

    // The font of new surfaces: "MS Sans Serif" 8.25 points, as a new picture box has.
    static QString policeParDefaut() { return QStringLiteral("MS Sans Serif"); }
    static constexpr double taillePoliceParDefaut = 8.25;

  private:
    struct Operation;
    QFont policeEffective() const;
    void ajouter(Operation op);
    // Line spacing and ascent of the current font at the surface's resolution, in pixels.
    const QFontMetricsF& metriques() const;
    double hauteurLignePx() const;
    // The current font changed: its drawn face and metrics are made again at the next use.
    void policeChangee();
    void dessinerTexte(const QString& texte);

    double dpi_;
    double largeurPx_, hauteurPx_;
    Echelle echelle_ = Echelle::Twips;
    double x_ = 0, y_ = 0;
    QFont police_;
    // The drawn face and its metrics, made once per font rather than for every text.
    mutable std::optional<QFont> policeEffective_;
    mutable std::optional<QFontMetricsF> metriques_;
    // Text widths in pixels already measured, per drawn face: a receipt drawn again measures
    // the same lines as the time before.
    mutable QHash<QString, QHash<QString, double>> largeurs_;
    mutable QHash<QString, double>* largeursPolice_ = nullptr;
    QColor couleur_ = Qt::black;
    std::vector<std::vector<Operation>> pages_;
    std::vector<double> basPages_; // the lowest point drawn on each page, in pixels
    QList<TexteImprime> textes_;
    bool imprimante_ = false;
    std::function<void(const Modification&)> rappel_;
    quint64 dessin_ = 1; // the number of the drawing since the last Cls
    // The first page as it was before the last Cls, for the bands that changed.
    std::vector<Operation> avant_;
    // The band covered by an operation, in pixels, and that of the operations of `ops` from
    // `debut` on.
    static QRectF zone(const Operation& op);
    static QRectF zoneDepuis(const std::vector<Operation>& ops, size_t debut);
    std::function<QSizeF()> taille_;
    std::unique_ptr<QImage> mesure_; // a device at the surface's resolution, for measuring
};
