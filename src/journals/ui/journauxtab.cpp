#include "journals/ui/journauxtab.h"

#include "common/formats.h"
#include "common/ui/twips.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "journals/journalcaisse.h"
#include "platform/horloge.h"
#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"
#include "printing/surface.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr double kTaillePolice = 10;
}

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
    const Resultat<QList<qint64>> tickets = ticketsDuJour(services_.bdd, jour);
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
