#pragma once

#include "common/montant.h"
#include "register/ventes.h"

#include <QString>
#include <QStringList>

// The words of the till (typed into the entry box or put there by its buttons) and the lines
// they record.
namespace mots {
inline QString sousTotal() {
    return QStringLiteral("SOUSTOTAL");
}
inline QString prixRemise() {
    return QStringLiteral("PRIX REMISE");
}
inline QString remiseExceptionnelle() {
    return QStringLiteral("REMISE EXCEPTIONNELLE");
}
inline QString remiseSurArticle() {
    return QStringLiteral("REMISE sur ARTICLE");
}
inline QString remiseSurSousTotal() {
    return QStringLiteral("REMISE sur SOUSTOTAL");
}
inline QString remise() {
    return QStringLiteral("REMISE");
}
inline QString termine() {
    return QStringLiteral("TERMINE");
}
inline QString imprimeEtTermine() {
    return QStringLiteral("IMPRIME et TERMINE");
}
// The change given back in cash when the cash paid exceeds what was due.
inline QString rendu() {
    return QStringLiteral("RENDU");
}
inline QString especes() {
    return QStringLiteral("ESPECES");
}
// The payment means, in the order of the payment buttons.
inline QStringList paiements() {
    return {QStringLiteral("CHEQUE"), QStringLiteral("ESPECES"), QStringLiteral("CB"),
            QStringLiteral("AVOIR")};
}
} // namespace mots

// No line of the till records an amount this large; beyond it the answer is refused.
constexpr Montant kMontantLimite = Montant::euros(1000000000);

// A line ready to be recorded, with what the last-line displays show for it.
struct LigneCalculee {
    QString code;
    Montant prix;
    Montant tva;
    Quantite qt = Quantite::unites(1);
    // The VAT rate in percent of an article's line, and of a discount on one article's line.
    std::optional<double> taux;
    Montant prixAffiche; // `prix`
    Montant tvaAffichee; // `tva`
    // False when an amount is beyond what the till records.
    bool admise = true;
};

// An article line: quantity × unit price and its VAT, recorded to the cent; the displays show
// them to the ten-thousandth.
LigneCalculee ligneArticle(const ArticleCaisse& article, Quantite quantite);
// A discount carries the VAT of what it discounts: the share of the discounted amount that is
// VAT (its VAT ÷ its amount including VAT), which is each rate's own share when the amount
// mixes rates. Amounts and VAT are rounded to the cent, the VAT from the rounded amount, so
// that a ticket's lines add up to its total.
//
// "PRIX REMISE": the difference between the new price and the amount of the last priced line,
// at that line's VAT share.
LigneCalculee lignePrixRemise(Montant nouveauPrix, Montant dernierMontant, Montant derniereTva);
// "REMISE EXCEPTIONNELLE": a fixed amount off the ticket, its VAT shared out as the priced
// lines' VAT is (their total VAT ÷ their total).
LigneCalculee ligneRemiseExceptionnelle(Montant montant, Montant totalTtc, Montant totalTva);
// "REMISE sur ARTICLE" and "REMISE sur SOUSTOTAL": a percentage of a base amount, its VAT the
// same share of the base's VAT (0 on a zero base).
LigneCalculee ligneRemisePourcent(const QString& mot, double pourcent, Montant base,
                                  Montant tvaBase);
// A payment: minus the amount paid, no VAT, quantity 0.
LigneCalculee lignePaiement(const QString& moyen, Montant montant);
// The change given back in cash: a cash line of minus the change, marked "RENDU".
LigneCalculee ligneRendu(Montant monnaie);
// A sub-total marker: the remaining amount written into its code.
LigneCalculee ligneSousTotal(const QString& totalAffiche);
