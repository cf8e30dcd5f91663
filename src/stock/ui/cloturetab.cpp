#include "stock/ui/cloturetab.h"

#include "common/journalisation.h"
#include "common/ui/twips.h"
#include "fiscal/evenements.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "platform/horloge.h"
#include "stock/cloture.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

namespace {
void message(Services& services, const QString& texte,
             Dialogues::Icone icone = Dialogues::Icone::Aucune) {
    services.dialogues.message(texte, titres::programme(), Dialogues::Boutons::Ok, icone);
}
} // namespace

ClotureTab::ClotureTab(Services& services, QWidget* parent) : QWidget(parent), services_(services) {
    creerLabel(this, QStringLiteral("LabelClotures"), QStringLiteral("Clôtures annuelles"), 240,
               240, 4800, 255);
    ListeCloture = new QListWidget(this);
    ListeCloture->setObjectName(QStringLiteral("ListeCloture"));
    ListeCloture->setAccessibleName(QStringLiteral("Clôtures annuelles"));
    placer(ListeCloture, 240, 540, 4800, 5400);

    RAZStock = new QPushButton(QStringLiteral("Sauvegarde et remise à zéro du stock"), this);
    RAZStock->setObjectName(QStringLiteral("RAZStock"));
    placer(RAZStock, 5400, 540, 4200, 615);

    connect(RAZStock, &QPushButton::clicked, this, &ClotureTab::RAZStock_Click);
}

void ClotureTab::afficherLesClotures() {
    ListeCloture->clear();
    ListeCloture->addItems(cloture::lister(services_.installation));
}

void ClotureTab::RAZStock_Click() {
    // The copy first, so that even a cancelled reset leaves a closure.
    const Resultat<QString> copie =
        cloture::copier(services_.bdd, services_.installation, services_.horloge.maintenant());
    afficherLesClotures();
    if (!copie) {
        message(services_,
                QStringLiteral("La sauvegarde de clôture n'a pas pu être faite : %1.\nLe stock "
                               "n'a pas été remis à zéro : votre Stock n'a pas été touché.")
                    .arg(copie.raison()),
                Dialogues::Icone::Arret);
        return;
    }
    const auto reponse = services_.dialogues.message(
        QStringLiteral("Voulez-vous remettre le stock à zéro ? Cette procédure est irréversible - "
                       "Ne la réaliser QUE pour faire votre inventaire"),
        titres::programme(), Dialogues::Boutons::OkAnnuler, Dialogues::Icone::Avertissement,
        Dialogues::Reponse::Annuler);
    if (reponse != Dialogues::Reponse::Ok) {
        message(services_, QStringLiteral("La procédure a été annulée - votre Stock n'a pas été "
                                          "touché ...."));
        return;
    }
    if (Resultat<> r = cloture::remettreStockAZero(services_.bdd); !r) {
        message(services_,
                QStringLiteral("La remise à zéro du stock a échoué : %1.\nVotre Stock n'a pas été "
                               "touché ; la sauvegarde de clôture est conservée.")
                    .arg(r.raison()),
                Dialogues::Icone::Arret);
        return;
    }
    // The reset is one of the technical events an inspector reads, with the copy made before it.
    consigner(evenements::consigner(services_.bdd, services_.cle, evenements::remiseAZeroStock(),
                                    QFileInfo(*copie).fileName(), services_.horloge.maintenant()),
              QStringLiteral("remise à zéro du stock dans le journal des événements"));
    message(services_, QStringLiteral("Le stock a été remis à Zéro pour chaque article."));
}
