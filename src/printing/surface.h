#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <variant>

class Image;
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
    enum class Echelle { Twips, Millimetres };

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

    // Erases everything (all pages) and puts the drawing position back at the top left.
    void Cls();

    void setScaleMode(Echelle e);
    Echelle scaleMode() const { return echelle_; }
    double ScaleWidth() const;
    double ScaleHeight() const;
    // A new drawing area size in pixels (the picture box was resized).
    void redimensionner(double largeurPixels, double hauteurPixels);

    double CurrentX() const { return x_; }
    double CurrentY() const { return y_; }
    void setCurrentX(double x) { x_ = x; }
    void setCurrentY(double y) { y_ = y; }

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

    // The lowest point drawn on the current page, in the current scale (a receipt's length).
    double basDessin() const;

    // Replays page `page` onto a painter whose device has `dpiCible` dots per inch.
    void rejouer(QPainter& p, int page, double dpiCible) const;

    const QList<TexteImprime>& textes() const { return textes_; }
    double dpi() const { return dpi_; }

    // Conversions between the current scale and device pixels at the surface's resolution.
    double versPixels(double v) const;
    double depuisPixels(double px) const;

  private:
    struct Operation;
    QFont policeEffective() const;
    void ajouter(Operation op);

    double dpi_;
    double largeurPx_, hauteurPx_;
    Echelle echelle_ = Echelle::Twips;
    double x_ = 0, y_ = 0;
    QFont police_;
    QColor couleur_ = Qt::black;
    std::vector<std::vector<Operation>> pages_;
    QList<TexteImprime> textes_;
};
