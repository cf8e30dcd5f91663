#include "register/recu.h"

#include "common/formats.h"
#include "printing/image.h"
#include "printing/surface.h"

namespace {
constexpr int kLignesEntete = 12;

void imprimerLigne(Surface& s, const LigneTicket& l) {
    const QString taille =
        l.taille.isNull() ? QString() : QStringLiteral("Taille : ") + l.taille.toString();
    const QString couleur =
        l.couleur.isNull() ? QString() : QStringLiteral("Couleur : ") + l.couleur.toString();
    if (l.libelle.isNull())
        s.Print(l.codeArticle + QStringLiteral(" *********"));
    else
        s.Print(l.codeArticle + QStringLiteral(" : ") + l.libelle.toString());
    if (!taille.isEmpty() || !couleur.isEmpty())
        s.Print(QStringLiteral("   > ") + taille + u' ' + couleur);
    if (l.estPrixee()) {
        imprimerADroite(s, formatEuros(l.prix.divisePar(l.qt)) + QStringLiteral(" x ") +
                               nombreCourt(l.qt) + QStringLiteral(" =     ") + formatEuros(l.prix));
    } else if (!l.prix.estNul()) {
        // A payment: the means and the amount paid.
        s.setFontBold(true);
        imprimerADroite(s, l.codeArticle + QStringLiteral(" : ") + formatEuros(-l.prix));
        s.setFontBold(false);
    }
}
} // namespace

void imprimerADroite(Surface& ticket, const QString& texte) {
    ticket.setCurrentX(ticket.ScaleWidth() - ticket.TextWidth(texte) - 40);
    ticket.Print(texte);
}

TotauxTicket imprimerTicket(Surface& ticket, const QList<LigneTicket>& lignes, const Image& entete,
                            const QDateTime& maintenant) {
    ticket.Cls();
    TotauxTicket totaux;
    if (!entete.estNulle())
        ticket.PaintPicture(entete, 0, 0, ticket.ScaleWidth(), entete.tailleTwips().height());
    for (int i = 0; i < kLignesEntete; ++i)
        ticket.Print();
    for (const LigneTicket& l : lignes) {
        imprimerLigne(ticket, l);
        totaux.ajouter(l);
    }
    ticket.Print();
    imprimerADroite(ticket, QStringLiteral("TVA : ") + formatEuros(totaux.totalTva));
    ticket.setFontBold(true);
    imprimerADroite(ticket, QStringLiteral("Total ttc : ") + formatEuros(totaux.totalTtc));
    imprimerADroite(ticket, QStringLiteral("Restant dû : ") + formatEuros(totaux.restant));
    ticket.setFontBold(false);
    ticket.Print(dateLongue(maintenant));
    return totaux;
}
