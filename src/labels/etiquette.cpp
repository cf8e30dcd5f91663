#include "labels/etiquette.h"

#include "common/formats.h"
#include "common/texte.h"
#include "common/unites.h"
#include "common/valeur.h"
#include "labels/grilleetiquettes.h"
#include "printing/code39.h"
#include "printing/image.h"
#include "printing/surface.h"

#include <algorithm>

namespace etiquette {
namespace {
const QString arial = QStringLiteral("Arial");
// The bar code is drawn as a "3 of 9 Barcode" face at 13 points would draw it.
constexpr double pointsCodeBarre = 13;
// Tops of the texts and of the bar code rows, from the top of the label.
constexpr double hautLigneArticle = 6;
constexpr double hautDerniereRangee = 13;
constexpr double hautLigneCode = 18;
constexpr double hautLignePrix = 21;
// Narrower bars than this do not read back on the shop's printers.
constexpr double moduleMinimum = 0.19;
// The bars end this far from the label's left edge at most: on the A4 page in the fourth
// column (whose labels run 2 mm past the page), and with a white zone of 3 mm before a
// border drawn along the label's edge, which a reader would otherwise take for one more bar.
constexpr double finCodeBarre = 49.2;

// The blank before the symbol: one "*" of the bar-code face, as on the shop's first labels.
double margeGauche() {
    return code39::modulesParCaractere * code39::moduleEnMm(pointsCodeBarre);
}

// A field shown on a label: Null is empty; control characters (line ends pasted into a name)
// would break the line, they print as blanks.
QString texteChamp(const QVariant& v) {
    return sansCaracteresDeControle(sansNullTexte(v));
}

// The longest start of `texte` that the current font draws within `largeur`: a long name
// must not run onto the next label.
QString dansLaLargeur(const Surface& s, const QString& texte, double largeur) {
    if (s.TextWidth(texte) <= largeur)
        return texte;
    qsizetype bas = 0, haut = texte.size(); // bas fits, haut does not
    while (haut - bas > 1) {
        const qsizetype milieu = (bas + haut) / 2;
        if (s.TextWidth(texte.left(milieu)) <= largeur)
            bas = milieu;
        else
            haut = milieu;
    }
    return texte.left(bas);
}

void imprimerLigne(Surface& s, double points, double x0, double y, const QString& texte) {
    s.setFontName(arial);
    s.setFontSize(points);
    s.setCurrentX(x0);
    s.setCurrentY(y);
    s.Print(dansLaLargeur(s, texte, grille::largeurEtiquette));
}
} // namespace

QString ligneArticle(const ArticleEtiquette& a) {
    return texteChamp(a.taille) + QStringLiteral(" : ") + texteChamp(a.libelle);
}

QString ligneCode(const ArticleEtiquette& a) {
    return QStringLiteral("code : ") + texteChamp(a.code);
}

QString lignePrix(const ArticleEtiquette& a) {
    bool nombre = false;
    const double prix = a.prix.toDouble(&nombre);
    bool montant = false;
    const Montant m = Montant::depuisDouble(prix, &montant);
    const QString texte = a.prix.isNull()     ? QString()
                          : nombre && montant ? formatPrixEtiquette(m)
                                              : texteChamp(a.prix);
    return QStringLiteral("Prix : ") + texte;
}

QString texteCodeBarre(const ArticleEtiquette& a) {
    QString t = sansNullTexte(a.code);
    for (QChar& c : t)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    return t;
}

double moduleCodeBarre(const QString& texte) {
    if (!code39::accepte(texte))
        return 0;
    // A code too long for the bars of a 13-point face gets narrower bars, down to the minimum.
    const double module =
        std::min(code39::moduleEnMm(pointsCodeBarre),
                 (finCodeBarre - margeGauche()) / code39::largeurSymbole(int(texte.size()), 1));
    return module >= moduleMinimum ? module : 0;
}

bool dessiner(Surface& s, const Image& fond, const ArticleEtiquette& a, double x0, double y0) {
    s.PaintPicture(fond, x0, y0, grille::largeurEtiquette, grille::hauteurEtiquette);
    imprimerLigne(s, 8, x0, y0 + hautLigneArticle, ligneArticle(a));
    // The bars run from the line under the article line to the foot of a 13-point row at 13 mm.
    const double haut = s.CurrentY();
    const double bas =
        y0 + hautDerniereRangee +
        unites::convertir(pointsCodeBarre, unites::Unite::Points, unites::Unite::Millimetres);
    const QString texte = texteCodeBarre(a);
    const double module = moduleCodeBarre(texte);
    const bool barres =
        module > 0 && code39::dessiner(s, texte, x0 + margeGauche(), haut, bas - haut, module);
    imprimerLigne(s, 8, x0, y0 + hautLigneCode, ligneCode(a));
    imprimerLigne(s, 10, x0, y0 + hautLignePrix, lignePrix(a));
    return barres;
}

} // namespace etiquette
