#include "journals/ui/journauxtab.h"

#include "common/formats.h"
#include "common/ui/twips.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "journals/clotures.h"
#include "journals/journalcaisse.h"
#include "journals/rapportcloture.h"
#include "platform/horloge.h"
#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"
#include "printing/surface.h"
#include "register/tickets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr double kTaillePolice = 10;
// A sheet is printed edge to edge: a centimetre clear around; a receipt keeps 2 mm.
constexpr double kMargeA4 = 567;
constexpr double kMargeRecu = 113;
} // namespace

JournauxTab::JournauxTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    auto* titre = creerLabel(this, QStringLiteral("LabelAujourdhui"), QStringLiteral("Aujourd'hui"),
                             240, 300, 1500, 255);
    aujourd = new QLineEdit(this);
    aujourd->setObjectName(QStringLiteral("aujourd"));
    aujourd->setReadOnly(true);
    placer(aujourd, 1800, 240, 1500, 375);
    titre->setBuddy(aujourd);

    journalAujourdhui = new QPushButton(QStringLiteral("Journal de Caisse d'aujourd'hui"), this);
    journalAujourdhui->setObjectName(QStringLiteral("journalAujourdhui"));
    placer(journalAujourdhui, 240, 840, 3900, 615);
    connect(journalAujourdhui, &QPushButton::clicked, this, &JournauxTab::journalAujourdhui_Click);

    clotureDuJour = new QPushButton(QStringLiteral("Clôture du jour"), this);
    clotureDuJour->setObjectName(QStringLiteral("clotureDuJour"));
    placer(clotureDuJour, 240, 1680, 3900, 615);
    connect(clotureDuJour, &QPushButton::clicked, this, &JournauxTab::clotureDuJour_Click);
}

void JournauxTab::setAujourdhui(const QString& date) {
    aujourd->setText(date);
}

void JournauxTab::journalAujourdhui_Click() {
    auto echec = [&](const QString& raison) {
        services_.dialogues.message(
            QStringLiteral("Le journal de caisse n'a pas pu être imprimé : ") + raison,
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    };
    const QDate jour = QDate::fromString(aujourd->text(), QStringLiteral("dd/MM/yyyy"));
    if (!jour.isValid())
        return echec(QStringLiteral("la date « %1 » n'est pas une date").arg(aujourd->text()));
    const Resultat<QList<qint64>> tickets =
        ticketsDuJour(services_.bdd, jour, numeroCaisse(services_.reglages()));
    if (!tickets)
        return echec(
            QStringLiteral("les tickets ne peuvent pas être lus (%1)").arg(tickets.raison()));
    services_.imprimantes.SelectPrinter(services_.roles().a4());
    auto travail = services_.imprimantes.commencer(FormatPapier::A4);
    if (!travail)
        return echec(QStringLiteral("l'imprimante %1 n'est pas disponible")
                         .arg(services_.imprimantes.imprimanteCourante()));
    Surface& page = travail->surface();
    page.setFontName(QStringLiteral("Arial"));
    page.setFontSize(kTaillePolice);
    const JournalImprime journal =
        imprimerJournal(page, services_.bdd, *tickets, jour, services_.horloge.maintenant());
    if (Resultat<> r = travail->EndDoc(); !r)
        return echec(r.raison());
    if (!journal.ticketsSansLignes.isEmpty()) {
        QStringList numeros;
        for (qint64 n : journal.ticketsSansLignes)
            numeros << QString::number(n);
        services_.dialogues.message(
            QStringLiteral("Le journal de caisse est imprimé, mais il est incomplet : les lignes "
                           "des tickets n° %1 n'ont pas pu être lues.")
                .arg(numeros.join(QStringLiteral(", "))),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
    }
}

void JournauxTab::clotureDuJour_Click() {
    auto echec = [&](const QString& raison) {
        services_.dialogues.message(raison, titres::programme(), Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Arret);
    };
    if (services_.dialogues.message(
            QStringLiteral("Faire la clôture du jour (Z) ? Les tickets clos depuis la dernière "
                           "clôture y seront arrêtés définitivement."),
            titres::programme(), Dialogues::Boutons::OuiNon, Dialogues::Icone::Question,
            Dialogues::Reponse::Non) != Dialogues::Reponse::Oui)
        return;
    const Resultat<QList<textefiscal::Cloture>> faites =
        clotures::clotureDuJour(services_.bdd, services_.cle, services_.horloge.maintenant(),
                                numeroCaisse(services_.reglages()));
    if (!faites)
        return echec(
            QStringLiteral("La clôture du jour n'a pas pu être faite : %1.").arg(faites.raison()));
    // Today's is the last daily closure made.
    const textefiscal::Cloture* z = nullptr;
    for (const textefiscal::Cloture& c : *faites)
        if (c.genre == clotures::jour())
            z = &c;
    if (!z)
        return;
    const Resultat<QByteArray> signature = clotures::signature(services_.bdd, z->numero);
    const QString boutique =
        services_.reglages().lire({QStringLiteral("boutique"), QStringLiteral("nom"), QString()});
    // The shop's total of the day as far as its tills have closed it; without it, this till's.
    const Resultat<QList<clotures::PartCaisse>> parCaisse =
        clotures::totalBoutique(services_.bdd, z->genre, z->debut, z->fin);
    const QStringList lignes =
        lignesRapport(*z, boutique, signature ? *signature : QByteArray(),
                      parCaisse ? *parCaisse : QList<clotures::PartCaisse>());
    auto imprimer = [&](const QString& imprimante, FormatPapier format) -> Resultat<> {
        services_.imprimantes.SelectPrinter(imprimante);
        auto travail = services_.imprimantes.commencer(format);
        if (!travail)
            return ::echec(QStringLiteral("l'imprimante %1 n'est pas disponible")
                               .arg(services_.imprimantes.imprimanteCourante()));
        Surface& page = travail->surface();
        page.setFontName(QStringLiteral("Arial"));
        page.setFontSize(kTaillePolice);
        const bool a4 = format == FormatPapier::A4;
        imprimerRapport(page, lignes, a4 ? kMargeA4 : kMargeRecu, a4);
        return travail->EndDoc();
    };
    if (Resultat<> r = imprimer(services_.roles().a4(), FormatPapier::A4); !r)
        echec(QStringLiteral("La clôture n° %1 est faite, mais son rapport n'a pas pu être "
                             "imprimé : %2.")
                  .arg(z->numero)
                  .arg(r.raison()));
    if (services_.dialogues.message(
            QStringLiteral("Imprimer aussi le rapport de la clôture sur l'imprimante à tickets ?"),
            titres::programme(), Dialogues::Boutons::OuiNon, Dialogues::Icone::Question,
            Dialogues::Reponse::Non) != Dialogues::Reponse::Oui)
        return;
    if (Resultat<> r = imprimer(services_.roles().ticket(), FormatPapier::Ticket); !r)
        echec(QStringLiteral("Le rapport de la clôture n° %1 n'a pas pu être imprimé sur "
                             "l'imprimante à tickets : %2.")
                  .arg(z->numero)
                  .arg(r.raison()));
}
