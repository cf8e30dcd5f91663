#include "stock/ui/inventairetab.h"

#include "catalogue/article.h"
#include "common/formats.h"
#include "common/ui/affichageaccessible.h"
#include "common/ui/fenetres.h"
#include "common/ui/twips.h"
#include "common/valeur.h"
#include "frame/dialogues.h"
#include "frame/navigation.h"
#include "frame/services.h"
#include "stock/comptageinventaire.h"
#include "stock/informationsarticle.h"

#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QFont police(const QStringList& familles, int points, bool gras = false) {
    QFont f;
    f.setFamilies(familles);
    f.setPointSize(points);
    f.setBold(gras);
    return f;
}

// The shop's description face, and the seven-segment face of the counters.
QFont policeTexte(int points, bool gras = false) {
    return police({QStringLiteral("Trebuchet MS"), QStringLiteral("Liberation Sans")}, points,
                  gras);
}
QFont policeLcd() {
    return police({QStringLiteral("LcdD"), QStringLiteral("DSEG7 Classic")}, 18);
}

QLabel* compteur(QWidget* parent, const QString& nom, const QString& texte, int gauche, int haut,
                 int largeur) {
    QLabel* l = creerLabel(parent, nom, texte, gauche, haut, largeur, 615);
    l->setFont(policeLcd());
    affichageAccessible(l);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

QPushButton* bouton(QWidget* parent, const QString& nom, const QString& texte, int gauche, int haut,
                    int largeur) {
    auto* b = new QPushButton(texte, parent);
    b->setObjectName(nom);
    placer(b, gauche, haut, largeur, 495);
    return b;
}
} // namespace

InventaireTab::InventaireTab(Services& services, Navigation& navigation, QWidget* parent)
    : QWidget(parent), services_(services), navigation_(navigation) {
    construire();
    InventaireCodeArticle->installEventFilter(this);
    connect(inventaireModifInfos, &QPushButton::clicked, this,
            &InventaireTab::inventaireModifInfos_Click);
    connect(inventaireCalculer, &QPushButton::clicked, this,
            &InventaireTab::inventaireCalculer_Click);
    connect(SortirInventaire, &QPushButton::clicked, this, &InventaireTab::SortirInventaire_Click);
    connect(consulterjournal, &QPushButton::clicked, this, &InventaireTab::consulterjournal_Click);
}

void InventaireTab::construire() {
    InventaireCodeArticle = new QLineEdit(this);
    InventaireCodeArticle->setObjectName(QStringLiteral("InventaireCodeArticle"));
    InventaireCodeArticle->setFont(policeTexte(14));
    placer(InventaireCodeArticle, 240, 480, 3735, 495);
    titreCode =
        creerLabel(this, QStringLiteral("titreCode"), QStringLiteral("Code"), 240, 180, 3735, 255);
    titreCode->setBuddy(InventaireCodeArticle);
    InventaireCodeArticle->setAccessibleName(QStringLiteral("Code"));
    InventaireNombre =
        compteur(this, QStringLiteral("InventaireNombre"), QStringLiteral("1"), 4200, 420, 1440);
    InventaireNombre->setAccessibleName(QStringLiteral("Quantité du prochain article"));

    // The article just counted, in its picture box.
    cadreArticle = new QFrame(this);
    cadreArticle->setObjectName(QStringLiteral("cadreArticle"));
    cadreArticle->setFrameShape(QFrame::Box);
    placer(cadreArticle, 240, 1200, 5400, 3720);
    InventaireNomArticle = creerLabel(cadreArticle, QStringLiteral("InventaireNomArticle"),
                                      QStringLiteral("Article"), 120, 120, 5160, 495);
    InventaireNomArticle->setFont(policeTexte(14, true));
    inventaireInfos = creerLabel(cadreArticle, QStringLiteral("inventaireInfos"),
                                 QStringLiteral("Taille"), 120, 720, 5160, 2280);
    inventaireInfos->setFont(policeTexte(10));
    inventaireInfos->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    inventaireModifInfos = bouton(cadreArticle, QStringLiteral("inventaireModifInfos"),
                                  QStringLiteral("Modifier les informations"), 120, 3105, 3000);

    // The three counters.
    const int gauche = 5880, largeur = 3960;
    InventaireTotalStock = compteur(this, QStringLiteral("InventaireTotalStock"),
                                    QStringLiteral("0"), gauche, 1500, largeur);
    titreTotalStock =
        creerLabel(this, QStringLiteral("titreTotalStock"),
                   QStringLiteral("En stock en comptant cet article"), gauche, 1200, largeur, 255);
    nbreinventaire = compteur(this, QStringLiteral("nbreinventaire"), QStringLiteral("0"), gauche,
                              2700, largeur);
    titreNbreInventaire = creerLabel(this, QStringLiteral("titreNbreInventaire"),
                                     QStringLiteral("Nombre Articles depuis le redémarrage"),
                                     gauche, 2400, largeur, 255);
    nbreinventairetotal = compteur(this, QStringLiteral("nbreinventairetotal"), QStringLiteral("0"),
                                   gauche, 3900, largeur);
    titreNbreInventaireTotal =
        creerLabel(this, QStringLiteral("titreNbreInventaireTotal"),
                   QStringLiteral("Nombre d'articles en Stock Entier"), gauche, 3600, largeur, 255);
    for (auto [titre, valeur] : {std::pair{titreTotalStock, InventaireTotalStock},
                                 std::pair{titreNbreInventaire, nbreinventaire},
                                 std::pair{titreNbreInventaireTotal, nbreinventairetotal}}) {
        titre->setBuddy(valeur);
        valeur->setAccessibleName(titre->text());
    }

    // The stock as a whole, the export and the journal.
    inventaireCalculer = bouton(this, QStringLiteral("inventaireCalculer"),
                                QStringLiteral("Recalculer le stock"), 240, 5280, 2880);
    SortirInventaire = bouton(this, QStringLiteral("SortirInventaire"),
                              QStringLiteral("Sortir Inventaire"), 3360, 5280, 2880);
    consulterjournal = bouton(this, QStringLiteral("consulterjournal"),
                              QStringLiteral("Consulter Journal"), 6480, 5280, 2880);

    setTabOrder(InventaireCodeArticle, inventaireModifInfos);
    setTabOrder(inventaireModifInfos, inventaireCalculer);
    setTabOrder(inventaireCalculer, SortirInventaire);
    setTabOrder(SortirInventaire, consulterjournal);
}

bool InventaireTab::eventFilter(QObject* objet, QEvent* e) {
    if (objet != InventaireCodeArticle)
        return false;
    if (e->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(e)->reason() != Qt::ActiveWindowFocusReason) {
        selectionnerTout(InventaireCodeArticle);
        if (static_cast<QFocusEvent*>(e)->reason() == Qt::MouseFocusReason)
            QMetaObject::invokeMethod(
                InventaireCodeArticle, [this] { selectionnerTout(InventaireCodeArticle); },
                Qt::QueuedConnection);
    } else if (e->type() == QEvent::KeyPress) {
        if (estToucheEntree(static_cast<QKeyEvent*>(e)))
            InventaireCodeArticle_KeyPress(13);
    }
    return false;
}

void InventaireTab::InventaireCodeArticle_KeyPress(int touche) {
    if (touche != 13)
        return;
    EcranInventaire ecran{InventaireNomArticle->text(), inventaireInfos->text(),
                          InventaireNombre->text(),     InventaireTotalStock->text(),
                          nbreinventaire->text(),       nbreinventairetotal->text()};
    const Resultat<Comptage> comptage =
        saisirInventaire(services_.bdd, services_.journal(), InventaireCodeArticle->text(), ecran,
                         [this](const QString& question) {
                             return services_.dialogues.message(
                                        question, titres::programme(), Dialogues::Boutons::OuiNon,
                                        Dialogues::Icone::Question,
                                        Dialogues::Reponse::Non) == Dialogues::Reponse::Oui;
                         });
    if (!comptage) {
        // Nothing was counted: the screen stays as it was.
        services_.dialogues.message(comptage.raison(), titres::programme(), Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Arret);
        InventaireCodeArticle->setFocus(Qt::OtherFocusReason);
        selectionnerTout(InventaireCodeArticle);
        return;
    }
    InventaireNomArticle->setText(ecran.nomArticle);
    inventaireInfos->setText(ecran.infos);
    montrerValeur(InventaireNombre, ecran.nombre);
    montrerValeur(InventaireTotalStock, ecran.totalStock);
    montrerValeur(nbreinventaire, ecran.nbreInventaire);
    montrerValeur(nbreinventairetotal, ecran.nbreInventaireTotal);
    if (!comptage->journalNonEcrit.isEmpty())
        services_.dialogues.message(
            QStringLiteral("Le comptage est enregistré, mais sa ligne du journal n'a pas pu être "
                           "écrite : %1.")
                .arg(comptage->journalNonEcrit),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
    // The next scan replaces the text.
    InventaireCodeArticle->setFocus(Qt::OtherFocusReason);
    selectionnerTout(InventaireCodeArticle);
}

void InventaireTab::montrerArticle(const Article& article) {
    InventaireNomArticle->setText(sansNullTexte(article.libelle));
    montrerValeur(InventaireTotalStock, nombreCourt(Quantite::depuisVariant(article.enStock)));
    inventaireInfos->setText(informationsArticle(article));
}

void InventaireTab::inventaireModifInfos_Click() {
    navigation_.ouvrirFicheArticle(InventaireCodeArticle->text());
}
