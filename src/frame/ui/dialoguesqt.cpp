#include "frame/ui/dialoguesqt.h"

#include "common/ui/fenetres.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QMessageBox::StandardButton bouton(Dialogues::Reponse r) {
    switch (r) {
    case Dialogues::Reponse::Ok:
        return QMessageBox::Ok;
    case Dialogues::Reponse::Annuler:
        return QMessageBox::Cancel;
    case Dialogues::Reponse::Oui:
        return QMessageBox::Yes;
    case Dialogues::Reponse::Non:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}
// The window a box is centred on: the main window once it is shown; before that (during
// start-up) none, so that the box is centred on the screen rather than on a window not yet
// placed.
QWidget* centrerSur(QWidget* parent) {
    return parent && parent->isVisible() && !parent->isMinimized() ? parent : nullptr;
}
} // namespace

Dialogues::Reponse DialoguesQt::message(const QString& texte, const QString& titre, Boutons boutons,
                                        Icone icone, Reponse parDefaut) {
    QMessageBox boite(centrerSur(parent_));
    boite.setWindowTitle(titre);
    boite.setText(texte);
    switch (icone) {
    case Icone::Aucune:
        boite.setIcon(QMessageBox::NoIcon);
        break;
    case Icone::Information:
        boite.setIcon(QMessageBox::Information);
        break;
    case Icone::Question:
        boite.setIcon(QMessageBox::Question);
        break;
    case Icone::Avertissement:
        boite.setIcon(QMessageBox::Warning);
        break;
    case Icone::Arret:
        boite.setIcon(QMessageBox::Critical);
        break;
    }
    switch (boutons) {
    case Boutons::Ok:
        boite.setStandardButtons(QMessageBox::Ok);
        break;
    case Boutons::OuiNon:
        boite.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        boite.button(QMessageBox::Yes)->setText(QStringLiteral("Oui"));
        boite.button(QMessageBox::No)->setText(QStringLiteral("Non"));
        break;
    case Boutons::OkAnnuler:
        boite.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        boite.button(QMessageBox::Cancel)->setText(QStringLiteral("Annuler"));
        break;
    }
    boite.setDefaultButton(bouton(parDefaut));
    titreEntier(&boite, parent_);
    switch (boite.exec()) {
    case QMessageBox::Yes:
        return Reponse::Oui;
    case QMessageBox::No:
        return Reponse::Non;
    case QMessageBox::Cancel:
        return Reponse::Annuler;
    default:
        return boutons == Boutons::OuiNon ? Reponse::Non
               : boutons == Boutons::OkAnnuler && boite.clickedButton() == nullptr
                   ? Reponse::Annuler
                   : Reponse::Ok;
    }
}

std::optional<QString> DialoguesQt::saisie(const QString& invite, const QString& titre,
                                           const QString& defaut,
                                           const Verification& verification) {
    QDialog boite(centrerSur(parent_));
    boite.setObjectName(QStringLiteral("boiteSaisie"));
    boite.setWindowTitle(titre);
    auto* disposition = new QVBoxLayout(&boite);
    auto* question = new QLabel(invite, &boite);
    question->setWordWrap(true);
    auto* texte = new QLineEdit(defaut, &boite);
    texte->setObjectName(QStringLiteral("texteSaisi"));
    question->setBuddy(texte);
    // The reason a text is refused, shown in the box itself.
    auto* refus = new QLabel(&boite);
    refus->setObjectName(QStringLiteral("refus"));
    refus->setWordWrap(true);
    QPalette rouge = refus->palette();
    rouge.setColor(QPalette::WindowText, QColor(180, 0, 0));
    refus->setPalette(rouge);
    refus->hide();
    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &boite);
    boutons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    disposition->addWidget(question);
    disposition->addWidget(texte);
    disposition->addWidget(refus);
    disposition->addWidget(boutons);
    QObject::connect(boutons, &QDialogButtonBox::rejected, &boite, &QDialog::reject);
    QObject::connect(boutons, &QDialogButtonBox::accepted, &boite, [&] {
        const QString raison = verification ? verification(texte->text()) : QString();
        if (raison.isEmpty()) {
            boite.accept();
            return;
        }
        refus->setText(raison);
        refus->show();
        texte->setFocus();
        texte->selectAll();
    });
    texte->selectAll();
    titreEntier(&boite, parent_);
    if (boite.exec() != QDialog::Accepted)
        return std::nullopt;
    return texte->text();
}
