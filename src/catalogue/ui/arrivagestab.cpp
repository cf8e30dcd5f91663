#include "catalogue/ui/arrivagestab.h"

#include "common/ui/boutonmultiligne.h"
#include "common/ui/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

ArrivagesTab::ArrivagesTab(Services&, QWidget* parent) : QWidget(parent) {
    // The tab's places were drawn for a small dialog font: keep its captions readable in them.
    QFont petite = font();
    petite.setPointSizeF(8);
    setFont(petite);
    auto* Label14 = creerLabel(this, QStringLiteral("Label14"), QStringLiteral("Bons de livraison"),
                               90, 870, 1440, 255);
    auto* BonsDeLivraison = new QListWidget(this);
    BonsDeLivraison->setObjectName(QStringLiteral("BonsDeLivraison"));
    placer(BonsDeLivraison, 90, 1110, 2415, 4935);
    Label14->setBuddy(BonsDeLivraison);

    auto* nouvellelivraison = new BoutonMultiligne(QStringLiteral("nouvellelivraison"),
                                                   QStringLiteral("Nouvelle livraison"), this);
    placer(nouvellelivraison, 1560, 630, 1095, 495);

    auto* Label15 = creerLabel(this, QStringLiteral("Label15"), QStringLiteral("Fournisseur"), 2700,
                               630, 1215, 255);
    auto* choixfournisseur = new QComboBox(this);
    choixfournisseur->setObjectName(QStringLiteral("choixfournisseur"));
    choixfournisseur->setEditable(true);
    choixfournisseur->lineEdit()->setPlaceholderText(QStringLiteral("Nom du fournisseur"));
    placer(choixfournisseur, 3930, 630, 5295, 315);
    Label15->setBuddy(choixfournisseur);

    auto* Label16 = creerLabel(this, QStringLiteral("Label16"), QStringLiteral("Date livraison"),
                               2700, 990, 1215, 255);
    auto* datelivraison = new QLineEdit(this);
    datelivraison->setObjectName(QStringLiteral("datelivraison"));
    placer(datelivraison, 3930, 990, 1695, 285);
    Label16->setBuddy(datelivraison);

    // Keyboard order: list, button, combo box, text box.
    setTabOrder(BonsDeLivraison, nouvellelivraison);
    setTabOrder(nouvellelivraison, choixfournisseur);
    setTabOrder(choixfournisseur, datelivraison);
}
