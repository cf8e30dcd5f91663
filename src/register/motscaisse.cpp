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
    l.taux = article.taux;
    if (l.admise) {
        l.prixAffiche = montant;
        l.tvaAffichee = tva;
    }
    return l;
}

namespace {
// A discount line of that amount, to the cent, whose VAT is the share `tvaBase` ÷ `base` of it.
LigneCalculee remise(const QString& code, Montant montant, Montant base, Montant tvaBase) {
    const Montant arrondi = montant.arrondiCentime();
    const Montant tva =
        base.estNul() ? Montant() : arrondi.proportion(tvaBase, base).arrondiCentime();
    return ligne(code, arrondi, tva, Quantite::unites(1));
}
} // namespace

LigneCalculee lignePrixRemise(Montant nouveauPrix, Montant dernierMontant, Montant derniereTva) {
    return remise(mots::remise(), nouveauPrix - dernierMontant, dernierMontant, derniereTva);
}

LigneCalculee ligneRemiseExceptionnelle(Montant montant, Montant totalTtc, Montant totalTva) {
    return remise(mots::remise(), -montant, totalTtc, totalTva);
}

LigneCalculee ligneRemisePourcent(const QString& mot, double pourcent, Montant base,
                                  Montant tvaBase) {
    return remise(mot + u' ' + nombreCourt(pourcent) + QStringLiteral(" %"),
                  -base.pourcentage(pourcent), base, tvaBase);
}

LigneCalculee lignePaiement(const QString& moyen, Montant montant) {
    return ligne(moyen, -montant, {}, {});
}

LigneCalculee ligneRendu(Montant monnaie) {
    // The cash handed back: stored as a payment of minus the change.
    return ligne(mots::rendu(), monnaie, {}, {});
}

LigneCalculee ligneSousTotal(const QString& totalAffiche) {
    return ligne(mots::sousTotal() + QStringLiteral(" : ") + totalAffiche, {}, {}, {});
}
