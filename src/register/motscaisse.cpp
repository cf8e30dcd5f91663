#include "register/motscaisse.h"

#include "common/formats.h"

namespace {
bool dansLesLimites(Montant v) {
    return v < kMontantLimite && -v < kMontantLimite;
}

// A line whose amounts are kept to the ten-thousandth, the scale of the money columns.
LigneCalculee ligne(const QString& code, Montant prix, Montant tva, Quantite qt) {
    LigneCalculee l;
    l.code = code;
    l.qt = qt;
    l.admise = dansLesLimites(prix) && dansLesLimites(tva);
    if (l.admise) {
        l.prix = prix;
        l.tva = tva;
    }
    l.prixAffiche = l.prix;
    l.tvaAffichee = l.tva;
    return l;
}
} // namespace

LigneCalculee ligneArticle(const ArticleCaisse& article, Quantite quantite) {
    const Montant montant = article.prix.fois(quantite);
    const Montant tva = montant.tvaContenue(article.taux);
    LigneCalculee l = ligne(article.code, montant.arrondiCentime(), tva.arrondiCentime(), quantite);
    if (l.admise) {
        l.prixAffiche = montant;
        l.tvaAffichee = tva;
    }
    return l;
}

LigneCalculee lignePrixRemise(Montant nouveauPrix, Montant dernierMontant) {
    const Montant d = nouveauPrix - dernierMontant;
    return ligne(mots::remise(), d, d.tvaContenue(kTauxRemiseFixe).arrondiCentime(),
                 Quantite::unites(1));
}

LigneCalculee ligneRemiseExceptionnelle(Montant montant) {
    return ligne(mots::remise(), -montant, -montant.tvaContenue(kTauxRemiseFixe).arrondiCentime(),
                 Quantite::unites(1));
}

LigneCalculee ligneRemisePourcent(const QString& mot, double pourcent, Montant base,
                                  Montant tvaBase) {
    const Montant montant = -base.pourcentage(pourcent);
    const Montant tva = base.estNul() ? Montant() : montant.proportion(tvaBase, base);
    return ligne(mot + u' ' + nombreCourt(pourcent) + QStringLiteral(" %"), montant, tva,
                 Quantite::unites(1));
}

LigneCalculee lignePaiement(const QString& moyen, Montant montant) {
    return ligne(moyen, -montant, {}, {});
}

LigneCalculee ligneSousTotal(const QString& totalAffiche) {
    return ligne(mots::sousTotal() + QStringLiteral(" : ") + totalAffiche, {}, {}, {});
}
