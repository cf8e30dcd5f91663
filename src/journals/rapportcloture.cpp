#include "journals/rapportcloture.h"

#include "common/formats.h"
#include "printing/surface.h"
#include "register/signatureticket.h"

#include <algorithm>

namespace {
QString titre(const QString& genre) {
    if (genre == QStringLiteral("MOIS"))
        return QStringLiteral("Clôture mensuelle");
    if (genre == QStringLiteral("ANNEE"))
        return QStringLiteral("Clôture annuelle");
    return QStringLiteral("Clôture journalière (Z)");
}

QString moyen(const QString& code) {
    if (code == QStringLiteral("CB"))
        return QStringLiteral("Carte bancaire");
    if (code == QStringLiteral("ESPECES"))
        return QStringLiteral("Espèces");
    if (code == QStringLiteral("CHEQUE"))
        return QStringLiteral("Chèque");
    if (code == QStringLiteral("AVOIR"))
        return QStringLiteral("Avoir");
    return code;
}
} // namespace

QStringList lignesRapport(const textefiscal::Cloture& c, const QString& boutique,
                          const QByteArray& signature,
                          const QList<clotures::PartCaisse>& parCaisse) {
    QStringList l;
    if (!boutique.trimmed().isEmpty())
        l << boutique.trimmed();
    l << QStringLiteral("%1 n° %2").arg(titre(c.genre)).arg(c.numero);
    const QString caisse = c.caisse.isEmpty() ? QStringLiteral("1") : c.caisse;
    l << QStringLiteral("Caisse %1").arg(caisse);
    l << (c.debut == c.fin
              ? QStringLiteral("Journée du %1").arg(dateCourte(c.debut))
              : QStringLiteral("Du %1 au %2").arg(dateCourte(c.debut), dateCourte(c.fin)));
    l << QStringLiteral("Faite le %1").arg(dateLongue(c.quand));
    l << (c.tickets > 0 ? QStringLiteral("Tickets n° %1 à %2 de la chaîne : %3 tickets")
                              .arg(c.premier)
                              .arg(c.dernier)
                              .arg(c.tickets)
                        : QStringLiteral("Aucun ticket"));
    l << QString();
    for (const textefiscal::TauxCloture& t : c.parTaux)
        l << QStringLiteral("TVA %1 % : HT %2  TVA %3  TTC %4")
                 .arg(t.taux < 0 ? QStringLiteral("?") : nombreCourt(t.taux), formatEuros(t.ht),
                      formatEuros(t.ttc - t.ht), formatEuros(t.ttc));
    l << QStringLiteral("Total HT : %1").arg(formatEuros(c.totalHt));
    l << QStringLiteral("Total TVA : %1").arg(formatEuros(c.totalTtc - c.totalHt));
    l << QStringLiteral("Total TTC : %1").arg(formatEuros(c.totalTtc));
    l << QString();
    for (const auto& [code, montant] : c.payes)
        l << QStringLiteral("%1 : %2").arg(moyen(code), formatEuros(montant));
    l << QStringLiteral("Rendu monnaie : %1").arg(formatEuros(c.rendu));
    l << QStringLiteral("Remises : %1").arg(formatEuros(c.remises));
    l << QStringLiteral("Retours : %1").arg(formatEuros(c.retours));
    l << QStringLiteral("Annulations : %1 pour %2").arg(c.annulations).arg(formatEuros(c.annule));
    l << QStringLiteral("Duplicatas imprimés : %1").arg(c.duplicatas);
    l << QString();
    l << QStringLiteral("Grand total perpétuel : %1").arg(formatEuros(c.grandTotal));
    l << QStringLiteral("Signature : %1").arg(signatureticket::extrait(signature));
    const bool autres =
        std::any_of(parCaisse.cbegin(), parCaisse.cend(),
                    [&](const clotures::PartCaisse& p) { return p.caisse != caisse; });
    if (!autres)
        return l;
    l << QString();
    l << QStringLiteral("Boutique, toutes caisses :");
    qint64 tickets = 0;
    Montant total;
    for (const clotures::PartCaisse& p : parCaisse) {
        l << QStringLiteral("Caisse %1 : %2 tickets, %3")
                 .arg(p.caisse)
                 .arg(p.tickets)
                 .arg(formatEuros(p.totalTtc));
        tickets += p.tickets;
        total += p.totalTtc;
    }
    l << QStringLiteral("Total boutique TTC : %1 (%2 tickets)")
             .arg(formatEuros(total))
             .arg(tickets);
    l << QStringLiteral("(une caisse qui n'a pas encore fait sa clôture n'y est pas)");
    return l;
}

void imprimerRapport(Surface& page, const QStringList& lignes, double marge, bool parPages) {
    page.setCurrentY(marge);
    for (const QString& ligne : lignes) {
        if (parPages && page.CurrentY() > marge &&
            page.CurrentY() + page.TextHeight() > page.ScaleHeight() - marge) {
            page.NouvellePage();
            page.setCurrentY(marge);
        }
        page.setCurrentX(marge);
        page.Print(ligne);
    }
}
