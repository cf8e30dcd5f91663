#include "printing/code39.h"

#include "common/unites.h"
#include "printing/surface.h"

#include <QScopeGuard>

#include <algorithm>

#include <zint.h>

namespace code39 {
namespace {
constexpr int longueurMaxi = 80;

bool caractereCode39(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ||
           QStringLiteral(" -.$/+%").contains(c);
}
} // namespace

double moduleEnPouces(double points) {
    return unites::convertir(points, unites::Unite::Points, unites::Unite::Pouces) * 0.8 /
           modulesParCaractere;
}

double moduleEnTwips(double points) {
    return unites::convertir(moduleEnPouces(points), unites::Unite::Pouces, unites::Unite::Twips);
}

double moduleEnMm(double points) {
    return unites::convertir(moduleEnPouces(points), unites::Unite::Pouces,
                             unites::Unite::Millimetres);
}

bool accepte(const QString& texte) {
    return !texte.isEmpty() && texte.size() <= longueurMaxi &&
           std::all_of(texte.begin(), texte.end(), caractereCode39);
}

double largeurSymbole(int caracteres, double module) {
    // Each character with its gap, less the gap after the stop character.
    return ((caracteres + 2) * modulesParCaractere - 1) * module;
}

Resultat<QList<QRectF>> barres(const QString& texte, double gauche, double haut, double hauteur,
                               double module) {
    if (!accepte(texte))
        return echec(QStringLiteral("Le code « %1 » ne peut pas s'écrire en Code 39 "
                                    "(chiffres, lettres capitales, espace et - . $ / + %).")
                         .arg(texte.left(longueurMaxi)));
    zint_symbol* symbole = ZBarcode_Create();
    if (!symbole)
        return echec(QStringLiteral("mémoire insuffisante pour le code-barres"));
    auto liberer = qScopeGuard([symbole] { ZBarcode_Delete(symbole); });
    symbole->symbology = BARCODE_CODE39;
    symbole->show_hrt = 0;
    const QByteArray donnees = texte.toLatin1();
    if (ZBarcode_Encode(symbole, reinterpret_cast<const unsigned char*>(donnees.constData()),
                        int(donnees.size())) >= ZINT_ERROR ||
        symbole->rows < 1)
        return echec(QStringLiteral("Le code « %1 » ne peut pas s'écrire en Code 39 (%2).")
                         .arg(texte, QString::fromLatin1(symbole->errtxt)));
    // The first row of modules, one bit a module: runs of one module are narrow, longer runs
    // wide.
    auto module1 = [symbole](int colonne) {
        return ((symbole->encoded_data[0][colonne >> 3] >> (colonne & 7)) & 1) != 0;
    };
    QList<QRectF> resultat;
    double x = gauche;
    int colonne = 0;
    while (colonne < symbole->width) {
        const bool barre = module1(colonne);
        int fin = colonne;
        while (fin < symbole->width && module1(fin) == barre)
            ++fin;
        const double largeur = (fin - colonne > 1 ? rapportLarge : 1) * module;
        if (barre)
            resultat.append(QRectF(x, haut, largeur, hauteur));
        x += largeur;
        colonne = fin;
    }
    return resultat;
}

Resultat<> dessiner(Surface& surface, const QString& texte, double gauche, double haut,
                    double hauteur, double module) {
    const Resultat<QList<QRectF>> r = barres(texte, gauche, haut, hauteur, module);
    if (!r)
        return r.echec();
    surface.remplirRectangles(*r, Qt::black);
    return {};
}

} // namespace code39
