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
// The payment means, in the order of the payment buttons.
inline QStringList paiements() {
    return {QStringLiteral("CHEQUE"), QStringLiteral("ESPECES"), QStringLiteral("CB"),
            QStringLiteral("AVOIR")};
}
} // namespace mots

// The fixed VAT rate of the fixed-amount discounts, whatever the articles' own rates.
constexpr double kTauxRemiseFixe = 19.6;
// No line of the till records an amount this large (euros); beyond it the answer is refused.
constexpr double kMontantLimite = 1.0e9;

// The VAT contained in an amount that includes it: amount × rate / (100 + rate).
double tvaContenue(double montantTtc, double taux);

// A line ready to be recorded, with what the last-line displays show for it.
struct LigneCalculee {
    QString code;
    Montant prix;
    Montant tva;
    double qt = 1;
    double prixAffiche = 0; // `prix`
    double tvaAffichee = 0; // `tva`
    // False when an amount is beyond what the till records (or not a number).
    bool admise = true;
};

// An article line: quantity × unit price and its VAT, recorded to the cent; the displays show
// them unrounded.
LigneCalculee ligneArticle(const ArticleCaisse& article, double quantite);
// "PRIX REMISE": the difference between the new price and the amount of the last line.
LigneCalculee lignePrixRemise(double nouveauPrix, double dernierMontant);
// "REMISE EXCEPTIONNELLE": a fixed amount off.
LigneCalculee ligneRemiseExceptionnelle(double montant);
// "REMISE sur ARTICLE" and "REMISE sur SOUSTOTAL": a percentage of a base amount, its VAT the
// same share of the base's VAT (0 on a zero base). Neither is rounded.
LigneCalculee ligneRemisePourcent(const QString& mot, double pourcent, double base, double tvaBase);
// A payment: minus the amount paid, no VAT, quantity 0.
LigneCalculee lignePaiement(const QString& moyen, double montant);
// A sub-total marker: the remaining amount written into its code.
LigneCalculee ligneSousTotal(const QString& totalAffiche);
