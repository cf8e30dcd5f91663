// The current ticket of the till: opening, drawing, printing, the closing offer and closing.
#include "register/ui/caissetab.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "platform/horloge.h"
#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"
#include "printing/surface.h"
#include "printing/ui/picturebox.h"
#include "register/motscaisse.h"
#include "register/recu.h"
#include "register/ui/afficheurlcd.h"
#include "register/ui/capturescanner.h"
#include "register/ui/codebarreaffichage.h"
#include "register/ui/zonesaisie.h"

#include <QLabel>
#include <QScrollBar>
#include <algorithm>

namespace {
constexpr int kVendeur = 1; // the seller's number that a new ticket records
} // namespace

void CaisseTab::nouveauTicket() {
    Resultat<std::optional<qint64>> numero = tickets_.ouvertLePlusHaut();
    if (numero && !*numero) {
        consigner(tickets_.creer(caisse->text(), kVendeur), QStringLiteral("nouveau ticket"));
        numero = tickets_.ouvertLePlusHaut();
    }
    consigner(numero, QStringLiteral("ticket en cours"));
    // Without an open ticket the till records nothing (see ticketPret, which tells the
    // operator), rather than filing lines under a ticket that is closed.
    ticket_ = numero.valeurOu(std::nullopt);
    numticket->setText(ticket_ ? QString::number(*ticket_) : QString());
    imprimerTicket(ticket->surface(), false);
}

void CaisseTab::imprimerTicket(Surface& cible, bool ImpressionReelle) {
    QList<LigneTicket> lignes;
    if (ticket_) {
        Resultat<QList<LigneTicket>> lues = tickets_.lignes(*ticket_);
        if (lues)
            lignes = std::move(*lues);
        else
            signaler(QStringLiteral("Les lignes du ticket n° %1 n'ont pas pu être relues (%2) : "
                                    "le ticket affiché est incomplet.")
                         .arg(*ticket_)
                         .arg(lues.raison()));
    }
    const Image& entete =
        entete_.charger(services_.installation.chemin(EnteteTicket::nomFichier()));
    const TotauxTicket t = ::imprimerTicket(cible, lignes, entete, services_.horloge.maintenant());
    total->setText(formatDeuxDecimales(t.restant));
    totaltva->setText(formatEuros(t.totalTva));
    totalttc->setText(formatEuros(t.totalTtc));
    if (t.aLignePrixee) {
        dernierequantite->setText(nombreCourt(t.derniereQuantite));
        codebarre->setText(t.dernierCode);
    }
    if (!ImpressionReelle)
        ajusterAffichage(cible.CurrentY());
    saisie->setFocus();
    // Nothing left to pay, to the ten-thousandth, on a ticket that has a value: the offer to
    // print and go on is made once the pending actions are done.
    offreDue_ =
        window()->isVisible() && t.restant.estNul() && !t.totalTtc.estNul() && !clotureImprimee_;
}

void CaisseTab::ajusterAffichage(double basTwips) {
    // The ticket's bottom edge sits on the frame's, so the newest lines are in view and a short
    // ticket leaves an empty band above it. The scroll bar counts in screen pixels; its box
    // goes to the end too, where the ticket is shown (moving it by program does not scroll).
    ticket->setHeight(basTwips + 400);
    ticket->move(ticket->x(), fondticket->height() - ticket->height());
    scrolling->setMaximum(std::max(ticket->height() - fondticket->height(), 0));
    scrolling->setPageStep(fondticket->height());
    scrolling->setValue(scrolling->maximum());
}

void CaisseTab::defilerTicket(int valeur) {
    ticket->move(ticket->x(), -valeur);
}

void CaisseTab::recalculerTicket() {
    executer([this] { imprimerTicket(ticket->surface(), false); });
}

void CaisseTab::imprimerRecuCourant() {
    executer([this] {
        if (Resultat<> r = imprimerRecu(); !r)
            signaler(QStringLiteral("Le ticket n'a pas pu être imprimé : %1.").arg(r.raison()));
    });
}

Resultat<> CaisseTab::imprimerRecu() {
    services_.imprimantes.SelectPrinter(services_.roles().ticket());
    std::unique_ptr<TravailImpression> travail =
        services_.imprimantes.commencer(FormatPapier::Ticket);
    if (!travail)
        return echec(QStringLiteral("aucune imprimante n'est disponible"));
    imprimerTicket(travail->surface(), true);
    return travail->EndDoc();
}

void CaisseTab::proposerCloture() {
    // Scans made while the question is up wait their turn, as any other Enter.
    const CaptureScanner scanner(
        saisie, [this](const QString& code) { executer([this, code] { traiter(code); }); });
    if (services_.dialogues.message(
            QStringLiteral("Imprimer le Ticket et passer à la vente suivante ?"), titres::caisse(),
            Dialogues::Boutons::OuiNon, Dialogues::Icone::Aucune,
            Dialogues::Reponse::Oui) != Dialogues::Reponse::Oui)
        return;
    saisie->setText(mots::imprimeEtTermine());
    traiter(mots::imprimeEtTermine());
}

void CaisseTab::terminer(bool imprimer) {
    if (!ticketPret())
        return;
    const qint64 numero = *ticket_;
    // The stored lines decide, not the displays, so a ticket is never closed on stale totals.
    const Resultat<QList<LigneTicket>> lignes = tickets_.lignes(numero);
    if (!lignes) {
        signaler(QStringLiteral("Le ticket n° %1 ne peut pas être terminé : ses lignes n'ont pas "
                                "pu être relues (%2).")
                     .arg(numero)
                     .arg(lignes.raison()));
        return;
    }
    const TotauxTicket t = totaliser(*lignes);
    if (!t.soldeAuCentime()) {
        services_.dialogues.message(QStringLiteral("Il n'est pas possible de terminer un ticket "
                                                   "avec une somme restant à payer..."),
                                    titres::refusCloture(), Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Arret);
        return;
    }
    if (Resultat<> clos =
            tickets_.clore(numero, t.totalTtc.arrondiCentime(), services_.horloge.maintenant(),
                           caisse->text(), vendeur->property("tag").toString());
        !clos) {
        nouveauTicket();
        signaler(QStringLiteral("Le ticket n° %1 n'a pas pu être terminé (%2).")
                     .arg(numero)
                     .arg(clos.raison()));
        return;
    }
    Resultat<> imprime;
    clotureImprimee_ = imprimer;
    if (imprimer)
        imprime = imprimerRecu();
    nouveauTicket();
    clotureImprimee_ = false;
    if (!imprime)
        signaler(QStringLiteral("Le ticket n° %1 est terminé, mais son reçu n'a pas pu être "
                                "imprimé : %2.")
                     .arg(numero)
                     .arg(imprime.raison()));
}
