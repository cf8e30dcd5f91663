#include "register/motscaisse.h"

#include "common/formats.h"
#include "common/texte.h"

#include <cmath>

namespace {
bool dansLesLimites(double v) {
    return std::isfinite(v) && std::fabs(v) < kMontantLimite;
}

// A line whose amounts are kept to the ten-thousandth, the scale of the money columns.
LigneCalculee ligne(const QString& code, double prix, double tva, double qt) {
    LigneCalculee l;
    l.code = code;
    l.qt = qt;
    l.admise = dansLesLimites(prix) && dansLesLimites(tva);
    if (l.admise) {
        l.prix = Montant::depuisDouble(prix);
        l.tva = Montant::depuisDouble(tva);
    }
    l.prixAffiche = l.prix.enDouble();
    l.tvaAffichee = l.tva.enDouble();
    return l;
}
} // namespace

double tvaContenue(double montantTtc, double taux) {
    return montantTtc * taux / (100.0 + taux);
}

LigneCalculee ligneArticle(const ArticleCaisse& article, double quantite) {
    const double montant = article.prix.enDouble() * quantite;
    const double tva = tvaContenue(montant, article.taux);
    LigneCalculee l =
        ligne(article.code, arrondiDecimal(montant, 2), arrondiDecimal(tva, 2), quantite);
    l.prixAffiche = montant;
    l.tvaAffichee = tva;
    return l;
}

LigneCalculee lignePrixRemise(double nouveauPrix, double dernierMontant) {
    const double d = nouveauPrix - dernierMontant;
    return ligne(mots::remise(), d, arrondiDecimal(tvaContenue(d, kTauxRemiseFixe), 2), 1);
}

LigneCalculee ligneRemiseExceptionnelle(double montant) {
    return ligne(mots::remise(), -montant,
                 -arrondiDecimal(tvaContenue(montant, kTauxRemiseFixe), 2), 1);
}

LigneCalculee ligneRemisePourcent(const QString& mot, double pourcent, double base,
                                  double tvaBase) {
    const double montant = -(pourcent * base / 100.0);
    const double tva = base == 0 ? 0.0 : montant * tvaBase / base;
    return ligne(mot + u' ' + nombreCourt(pourcent) + QStringLiteral(" %"), montant, tva, 1);
}

LigneCalculee lignePaiement(const QString& moyen, double montant) {
    return ligne(moyen, -montant, 0, 0);
}

LigneCalculee ligneSousTotal(const QString& totalAffiche) {
    return ligne(mots::sousTotal() + QStringLiteral(" : ") + totalAffiche, 0, 0, 0);
}
