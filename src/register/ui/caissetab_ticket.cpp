// The current ticket of the till: opening, drawing, printing, the closing offer and closing.
#include "register/ui/caissetab.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "common/ui/affichageaccessible.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "platform/horloge.h"
#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"
#include "printing/surface.h"
#include "printing/ui/picturebox.h"
#include "register/motscaisse.h"
#include "register/recu.h"
#include "register/signatureticket.h"
#include "register/ui/afficheurlcd.h"
#include "register/ui/capturescanner.h"
#include "register/ui/codebarreaffichage.h"
#include "register/ui/mentionsboutique.h"
#include "register/ui/zonesaisie.h"

#include <QEvent>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>

void CaisseTab::nouveauTicket() {
    // Without an open ticket the till records nothing: the next entry says why.
    consigner(caisse_.ouvrirTicket(), QStringLiteral("ticket en cours"));
    imprimerTicket(ticket->surface(), false);
}

void CaisseTab::afficherTotaux() {
    const TotauxTicket& t = caisse_.totaux();
    const std::optional<qint64> numero = caisse_.ticket();
    montrerValeur(numticket, numero ? QString::number(*numero) : QString());
    // After a cash payment with change, the change is what the operator must see.
    montrerValeur(total, rendu_ ? QStringLiteral("Rendu : ") + formatEuros(*rendu_)
                                : formatDeuxDecimales(t.restant));
    montrerValeur(totaltva, formatEuros(t.totalTva));
    montrerValeur(totalttc, formatEuros(t.totalTtc));
    // The quantity as it was typed, until an article takes it.
    montrerValeur(nombre,
                  caisse_.quantite() == Quantite::unites(1) ? QStringLiteral("1") : texteQuantite_);
    if (t.aLignePrixee) {
        montrerValeur(dernierequantite, nombreCourt(t.derniereQuantite));
        codebarre->setText(t.dernierCode);
    } else {
        montrerValeur(dernierequantite, QStringLiteral("0"));
        codebarre->clear();
    }
}

void CaisseTab::imprimerTicket(Surface& cible, bool ImpressionReelle) {
    const Image& entete =
        entete_.charger(services_.installation.chemin(EnteteTicket::nomFichier()));
    // (the screen's ticket goes on from what it shows)
    const TotauxTicket t =
        ImpressionReelle
            ? ::imprimerTicket(cible, caisse_.lignes(), entete, services_.horloge.maintenant())
            : ticketAffiche_.dessiner(cible, caisse_.lignes(), entete,
                                      services_.horloge.maintenant());
    afficherTotaux();
    if (!ImpressionReelle)
        ajusterAffichage(cible.CurrentY());
    saisie->setFocus();
    evaluerOffre(t);
}

void CaisseTab::evaluerOffre(const TotauxTicket& t) {
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
    alignerTicket();
}

void CaisseTab::alignerTicket() {
    ticket->move(ticket->x(), fondticket->height() - ticket->height());
    scrolling->setMaximum(std::max(ticket->height() - fondticket->height(), 0));
    scrolling->setPageStep(fondticket->height());
    scrolling->setValue(scrolling->maximum());
}

bool CaisseTab::eventFilter(QObject* objet, QEvent* evenement) {
    // The frame took the window's new scale: the ticket is shown at its end again, once every
    // control has been scaled.
    if (objet == fondticket && evenement->type() == QEvent::Resize)
        QMetaObject::invokeMethod(this, &CaisseTab::alignerTicket, Qt::QueuedConnection);
    return QWidget::eventFilter(objet, evenement);
}

void CaisseTab::defilerTicket(int valeur) {
    ticket->move(ticket->x(), -valeur);
}

void CaisseTab::recalculerTicket() {
    executer([this] {
        if (Resultat<> r = caisse_.relire(); !r)
            signaler(QStringLiteral("Les lignes du ticket n'ont pas pu être relues (%1) : le "
                                    "ticket affiché peut être incomplet.")
                         .arg(r.raison()));
        imprimerTicket(ticket->surface(), false);
    });
}

void CaisseTab::imprimerRecuCourant() {
    executer([this] {
        if (Resultat<> r = imprimerRecu(caisse_.lignes(), caisse_.ticket()); !r)
            signaler(QStringLiteral("Le ticket n'a pas pu être imprimé : %1.").arg(r.raison()));
    });
}

Resultat<> CaisseTab::imprimerRecu(const QList<LigneTicket>& lignes, std::optional<qint64> numero,
                                   const QByteArray& signature) {
    const QString role = services_.roles().ticket();
    // A receipt printer that is not installed: the receipt goes to the current printer, and
    // the operator is told once which one.
    if (!role.isEmpty() && !services_.imprimantes.imprimantes().contains(role) &&
        !imprimanteSignalee_) {
        imprimanteSignalee_ = true;
        signaler(QStringLiteral("L'imprimante des tickets « %1 » n'est pas installée : les tickets "
                                "sont imprimés sur « %2 ». Choisissez l'imprimante des tickets "
                                "sur l'onglet Parametres.")
                     .arg(role, services_.imprimantes.imprimanteCourante()));
    }
    services_.imprimantes.SelectPrinter(role);
    std::unique_ptr<TravailImpression> travail =
        services_.imprimantes.commencer(FormatPapier::Ticket);
    if (!travail)
        return echec(QStringLiteral("aucune imprimante n'est disponible"));
    const Image& entete =
        entete_.charger(services_.installation.chemin(EnteteTicket::nomFichier()));
    // A printed ticket that is fully paid is offered for closing, as on the screen.
    const TotauxTicket totaux =
        ::imprimerTicket(travail->surface(), lignes, entete, services_.horloge.maintenant());
    imprimerMentions(travail->surface(), lignes,
                     mentionsBoutique(services_.reglages(), numero, signature));
    evaluerOffre(totaux);
    return travail->EndDoc();
}

void CaisseTab::proposerCloture() {
    // Scans typed while the question is up, or while it appears, are scans; one cut short by
    // its closing goes on in the entry box once the ticket is closed.
    scanner_->ouvrirBoite();
    const Dialogues::Reponse reponse = services_.dialogues.message(
        QStringLiteral("Imprimer le Ticket et passer à la vente suivante ?"), titres::caisse(),
        Dialogues::Boutons::OuiNon, Dialogues::Icone::Aucune, Dialogues::Reponse::Oui);
    const QString debutDeScan = scanner_->fermerBoite();
    if (reponse == Dialogues::Reponse::Oui) {
        saisie->setText(mots::imprimeEtTermine());
        traiter(mots::imprimeEtTermine());
    }
    scanner_->reprendre(debutDeScan);
}

void CaisseTab::terminer(bool imprimer) {
    const Resultat<Caisse::Cloture> c = caisse_.terminer(services_.horloge.maintenant());
    if (!c) {
        if (c.raison() == Caisse::messageRestantDu()) {
            scanner_->ouvrirBoite();
            services_.dialogues.message(c.raison(), titres::refusCloture(), Dialogues::Boutons::Ok,
                                        Dialogues::Icone::Arret);
            scanner_->reprendre(scanner_->fermerBoite());
        } else {
            signaler(c.raison());
        }
        return;
    }
    // An empty ticket is neither closed nor printed (a second Enter after a closing).
    if (c->vide) {
        avertir(QStringLiteral("Le ticket est vide : il n'y a rien à terminer"));
        return;
    }
    if (!imprimer)
        return;
    clotureImprimee_ = true;
    const Resultat<> imprime = imprimerRecu(c->lignes, c->numero, c->signature);
    clotureImprimee_ = false;
    if (!imprime)
        signaler(QStringLiteral("Le ticket n° %1 est terminé, mais son reçu n'a pas pu être "
                                "imprimé : %2.")
                     .arg(c->numero)
                     .arg(imprime.raison()));
}
