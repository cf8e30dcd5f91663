#include "catalogue/ui/arrivagestab.h"

#include "common/ui/boutonmultiligne.h"
#include "common/ui/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
// A caption drawn whole in the part of its place that the controls over it leave free (the
// button "Nouvelle livraison" lies over the right of "Bons de livraison"): its font is made
// smaller, half a point at a time, until its text fits there.
void ajusterLegende(QLabel* legende) {
    QRect libre = legende->geometry();
    const QObjectList& freres = legende->parentWidget()->children();
    for (qsizetype i = freres.indexOf(legende) + 1; i < freres.size(); ++i) {
        const auto* w = qobject_cast<const QWidget*>(freres[i]);
        if (!w || !w->geometry().intersects(libre))
            continue;
        if (w->x() > libre.x())
            libre.setRight(w->x() - 1);
        else
            libre.setBottom(w->y() - 1);
    }
    QFont police = legende->font();
    auto tient = [&] {
        const QFontMetrics m(police);
        return m.horizontalAdvance(legende->text()) <= libre.width() - 1 &&
               m.height() <= libre.height();
    };
    while (!tient() && police.pointSizeF() > 6)
        police.setPointSizeF(police.pointSizeF() - 0.5);
    legende->setFont(police);
}
} // namespace

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

    for (QLabel* legende : {Label14, Label15, Label16})
        ajusterLegende(legende);

    // Keyboard order: list, button, combo box, text box.
    setTabOrder(BonsDeLivraison, nouvellelivraison);
    setTabOrder(nouvellelivraison, choixfournisseur);
    setTabOrder(choixfournisseur, datelivraison);
}
