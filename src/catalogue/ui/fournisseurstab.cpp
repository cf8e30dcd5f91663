#include "catalogue/ui/fournisseurstab.h"

#include "catalogue/fournisseurs.h"
#include "common/formats.h"
#include "common/texte.h"
#include "common/ui/twips.h"
#include "common/valeur.h"
#include "frame/dialogues.h"
#include "frame/services.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
// The panel's rows: element 0 at its design place, each further one 50 twips below the box
// above it.
constexpr int kGaucheLabel = 120, kGaucheBoite = 1920, kHaut0 = 720;
constexpr int kLargeurLabel = 1575, kHauteurLabel = 255, kLargeurBoite = 4575, kHauteurBoite = 285;
constexpr int kEcart = 50;

// A value as the supplier's box shows it: Null as an empty box, binary data by its size.
QString texteValeur(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QByteArray)
        return QStringLiteral("(donnée binaire de %1 octets)").arg(v.toByteArray().size());
    return sansCaracteresDeControle(texteAffiche(v));
}
} // namespace

FournisseursTab::FournisseursTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    auto* titre = creerLabel(this, QStringLiteral("Label22"), QStringLiteral("Fournisseurs"), 240,
                             120, 2895, 255);
    listefournisseur = new QListWidget(this);
    listefournisseur->setObjectName(QStringLiteral("listefournisseur"));
    placer(listefournisseur, 240, 420, 2895, 5700);
    titre->setBuddy(listefournisseur);

    fondfournisseur = new QFrame(this);
    fondfournisseur->setObjectName(QStringLiteral("fondfournisseur"));
    placer(fondfournisseur, 3360, 420, 6855, 3855);
    fondfournisseur->setAutoFillBackground(true);
    QPalette fond = fondfournisseur->palette();
    fond.setColor(QPalette::Window, QColor(255, 192, 128));
    fondfournisseur->setPalette(fond);
    fondfournisseur->hide();

    status = creerLabel(fondfournisseur, QStringLiteral("status"),
                        QStringLiteral("Modification en cours"), 0, 0, 3735, 495);
    QFont grand(QStringLiteral("Arial"), 18);
    status->setFont(grand);
    QPalette noir = status->palette();
    noir.setColor(QPalette::WindowText, Qt::black);
    status->setPalette(noir);

    labelfournisseur << creerLabel(fondfournisseur, QStringLiteral("labelfournisseur_0"),
                                   QStringLiteral("nom"), kGaucheLabel, kHaut0, kLargeurLabel,
                                   kHauteurLabel);
    labelfournisseur[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fournisseur << new QLineEdit(fondfournisseur);
    fournisseur[0]->setObjectName(QStringLiteral("fournisseur_0"));
    fournisseur[0]->setProperty("haut", kHaut0);
    placer(fournisseur[0], kGaucheBoite, kHaut0, kLargeurBoite, kHauteurBoite);
    labelfournisseur[0]->setBuddy(fournisseur[0]);

    ajouterfournisseur = new QPushButton(QStringLiteral("Ajouter fournisseur"), this);
    ajouterfournisseur->setObjectName(QStringLiteral("ajouterfournisseur"));
    placer(ajouterfournisseur, 3360, 4440, 2055, 495);
    validermodification = new QPushButton(QStringLiteral("Valider la modification"), this);
    validermodification->setObjectName(QStringLiteral("validermodification"));
    placer(validermodification, 5640, 4440, 2055, 495);

    connect(listefournisseur, &QListWidget::itemSelectionChanged, this,
            &FournisseursTab::listefournisseur_Click);
}

bool FournisseursTab::chargerListe() {
    const Resultat<QList<fournisseurs::Entree>> entrees = fournisseurs::liste(services_.bdd);
    if (!entrees) {
        services_.dialogues.message(
            QStringLiteral("problème d'ouverture de la table FOURNISSEURS") +
                QStringLiteral("\n\n") + entrees.raison() + u'.',
            titres::programme());
        return false;
    }
    // Each entry keeps its supplier's code as stored: the panel shows that row, whatever
    // the entry's text holds ("|", blanks, a comma, nothing).
    for (const fournisseurs::Entree& e : *entrees) {
        auto* entree =
            new QListWidgetItem(texteValeur(e.code) + QStringLiteral(" | ") + texteValeur(e.nom));
        entree->setData(Qt::UserRole, e.code);
        listefournisseur->addItem(entree);
    }
    return true;
}

void FournisseursTab::placerElement(int i) {
    if (i == 0)
        return; // element 0 keeps its design place
    // Tops are reckoned in twips, kept on each box, so that pixel rounding does not add up.
    const int haut = fournisseur[i - 1]->property("haut").toInt() + kHauteurBoite + kEcart;
    fournisseur[i]->setProperty("haut", haut);
    placer(fournisseur[i], kGaucheBoite, haut, kLargeurBoite, kHauteurBoite);
    placer(labelfournisseur[i], kGaucheLabel, haut, kLargeurLabel, kHauteurLabel);
}

void FournisseursTab::listefournisseur_Click() {
    // The entry selected, by a click, the keyboard or assistive technology (which selects an
    // entry without making it the current one).
    const QList<QListWidgetItem*> choix = listefournisseur->selectedItems();
    const std::optional<QVariant> code =
        choix.isEmpty() ? std::nullopt : std::optional(choix.first()->data(Qt::UserRole));
    const Resultat<fournisseurs::Fiche> fiche = fournisseurs::fiche(services_.bdd, code);
    if (!fiche) {
        fondfournisseur->hide();
        services_.dialogues.message(
            QStringLiteral("Le fournisseur « %1 » n'a pas pu être lu : %2.")
                .arg(texteValeur(code.value_or(QVariant())).left(40), fiche.raison()),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
        return;
    }
    for (int i = 0; i < fiche->colonnes.size(); ++i) {
        if (i >= fournisseur.size()) {
            auto* boite = new QLineEdit(fondfournisseur);
            boite->setObjectName(QStringLiteral("fournisseur_%1").arg(i));
            boite->setFont(fournisseur[0]->font());
            fournisseur << boite;
            auto* label = new QLabel(fondfournisseur);
            label->setObjectName(QStringLiteral("labelfournisseur_%1").arg(i));
            label->setFont(labelfournisseur[0]->font());
            label->setAlignment(labelfournisseur[0]->alignment());
            label->setBuddy(boite);
            labelfournisseur << label;
        }
        placerElement(i);
        // No entry chosen, or a supplier gone since the list was read: empty boxes, never
        // another supplier's values.
        fournisseur[i]->setText(fiche->valeurs ? texteValeur(fiche->valeurs->at(i)) : QString());
        fournisseur[i]->setVisible(true);
        labelfournisseur[i]->setText(fiche->colonnes[i]);
        labelfournisseur[i]->setVisible(true);
    }
    // Rows of columns that the table no longer has.
    for (qsizetype i = fiche->colonnes.size(); i < fournisseur.size(); ++i) {
        fournisseur[i]->hide();
        labelfournisseur[i]->hide();
    }
    fondfournisseur->show();
}
