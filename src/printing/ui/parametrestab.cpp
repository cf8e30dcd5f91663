#include "printing/ui/parametrestab.h"

#include "common/ui/twips.h"
#include "frame/services.h"
#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

ParametresTab::ParametresTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    auto* Label23 = creerLabel(this, QStringLiteral("Label23"), QStringLiteral("Imprimantes"), 240,
                               240, 4000, 255);
    ListImprimantes = new QListWidget(this);
    ListImprimantes->setObjectName(QStringLiteral("ListImprimantes"));
    placer(ListImprimantes, 240, 540, 4000, 4200);
    Label23->setBuddy(ListImprimantes);

    Command3 = new QPushButton(QStringLiteral(">"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    placer(Command3, 4440, 840, 495, 375);
    Command3->setAccessibleName(QStringLiteral("Imprimante ticket de caisse >"));
    Command4 = new QPushButton(QStringLiteral(">"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    placer(Command4, 4440, 2340, 495, 375);
    Command4->setAccessibleName(QStringLiteral("Imprimante A4 >"));

    auto* Label26 = creerLabel(this, QStringLiteral("Label26"),
                               QStringLiteral("Imprimante ticket de caisse"), 5160, 540, 4000, 255);
    ImprimanteTicket =
        creerLabel(this, QStringLiteral("ImprimanteTicket"), {}, 5160, 840, 4000, 375);
    auto* Label28 = creerLabel(this, QStringLiteral("Label28"), QStringLiteral("Imprimante A4"),
                               5160, 2040, 4000, 255);
    ImprimanteA4 = creerLabel(this, QStringLiteral("ImprimanteA4"), {}, 5160, 2340, 4000, 375);
    for (QLabel* role : {ImprimanteTicket, ImprimanteA4}) {
        role->setAutoFillBackground(true);
        QPalette p = role->palette();
        p.setColor(QPalette::Window, QColor(192, 255, 255));
        role->setPalette(p);
        role->setFrameShape(QFrame::Panel);
        role->setFrameShadow(QFrame::Sunken);
    }
    // Under each role, a red note when its printer is not installed on this computer.
    absenceTicket = creerLabel(this, QStringLiteral("absenceTicket"), {}, 5160, 1245, 4000, 255);
    absenceA4 = creerLabel(this, QStringLiteral("absenceA4"), {}, 5160, 2745, 4000, 255);
    for (QLabel* note : {absenceTicket, absenceA4}) {
        QPalette p = note->palette();
        p.setColor(QPalette::WindowText, Qt::red);
        note->setPalette(p);
    }
    Label26->setBuddy(Command3);
    Label28->setBuddy(Command4);
    ImprimanteTicket->setAccessibleName(QStringLiteral("Imprimante ticket de caisse"));
    ImprimanteA4->setAccessibleName(QStringLiteral("Imprimante A4"));

    connect(Command3, &QPushButton::clicked, this, &ParametresTab::choisirImprimanteTicket);
    connect(Command4, &QPushButton::clicked, this, &ParametresTab::choisirImprimanteA4);
}

void ParametresTab::chargerImprimantes() {
    ListImprimantes->addItems(services_.imprimantes.imprimantes());
}

void ParametresTab::chargerRoles() {
    if (services_.imprimantes.imprimanteParDefaut().isEmpty())
        return; // the labels keep their design text
    const RolesImprimantes roles = services_.roles();
    ImprimanteTicket->setText(roles.initialiserTicket());
    ImprimanteA4->setText(roles.initialiserA4());
    signalerAbsences();
}

void ParametresTab::signalerAbsences() {
    const QStringList installees = services_.imprimantes.imprimantes();
    for (auto [role, note] :
         {std::pair{ImprimanteTicket, absenceTicket}, std::pair{ImprimanteA4, absenceA4}})
        note->setText(role->text().isEmpty() || installees.contains(role->text())
                          ? QString()
                          : QStringLiteral("non installée"));
}

QString ParametresTab::imprimanteTicket() const {
    return ImprimanteTicket->text();
}

QString ParametresTab::imprimanteA4() const {
    return ImprimanteA4->text();
}

void ParametresTab::choisirRole(QLabel* role) {
    // With nothing selected the role is left as it is rather than emptied.
    if (QListWidgetItem* choix = ListImprimantes->currentItem(); choix && choix->isSelected())
        role->setText(choix->text());
    const RolesImprimantes roles = services_.roles();
    if (role == ImprimanteTicket)
        roles.choisirTicket(role->text());
    else
        roles.choisirA4(role->text());
    signalerAbsences();
}

void ParametresTab::choisirImprimanteTicket() {
    choisirRole(ImprimanteTicket);
}

void ParametresTab::choisirImprimanteA4() {
    choisirRole(ImprimanteA4);
}
