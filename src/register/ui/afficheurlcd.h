#pragma once

#include <QHash>
#include <QImage>
#include <QLabel>

// A display of the till with LCD-like digits (the DSEG seven-segment faces). Its text is the
// register's state and keeps the French decimal comma; the comma, which those faces lack, is
// drawn as their decimal point.
class AfficheurLcd : public QLabel {
    Q_OBJECT
  public:
    AfficheurLcd(const QString& nom, const QString& texte, double points, bool gras,
                 const QColor& encre, const QColor& fond, QWidget* parent);

    static QString police() { return QStringLiteral("DSEG7 Classic"); }

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    // A character of the digits' face at one size (or a digit with its point): how far it moves
    // the pen, and its ink drawn once, to be laid at `origine` from the pen's place on the base
    // line.
    struct Glyphe {
        double avance = 0;
        QPointF origine;
        QImage image;
    };
    void dessinerParGlyphes(QPainter& p, const QFont& f, QPointF ligne, const QString& affiche);
    Glyphe dessinerGlyphe(const QFontMetricsF& m, const QString& texte) const;

    // The characters drawn so far, for the face, colour and pixel ratio they were drawn at.
    QHash<QString, Glyphe> glyphes_;
    QFont policeGlyphes_;
    QColor encreGlyphes_;
    qreal ratioGlyphes_ = 0;
};
