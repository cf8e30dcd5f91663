#include "frame/ui/form1.h"

#include "catalogue/ui/arrivagestab.h"
#include "catalogue/ui/fournisseurstab.h"
#include "catalogue/ui/gencodestab.h"
#include "common/formats.h"
#include "common/journalisation.h"
#include "common/ui/miseaechelle.h"
#include "common/ui/twips.h"
#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "frame/dialogues.h"
#include "frame/progression.h"
#include "frame/ui/navigationonglets.h"
#include "frame/ui/placefenetre.h"
#include "frame/ui/registresfiscaux.h"
#include "journals/clotures.h"
#include "journals/ui/journauxtab.h"
#include "platform/horloge.h"
#include "printing/ui/parametrestab.h"
#include "register/ui/caissetab.h"
#include "stock/ui/cloturetab.h"
#include "stock/ui/inventairetab.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

namespace {
const QString kTitre = QStringLiteral("Point de Vente");
// The tabs are drawn for a window of 680 × 540 pixels.
constexpr QSize kTailleDessin(twips(10200), twips(8100));
// Where the window was left: "agrandie" or its left, top, width and height.
const Reglage kPlace{QStringLiteral("systeme"), QStringLiteral("fenetre principale"), QString()};
} // namespace

Form1::Form1(Services services, QWidget* parent)
    : QWidget(parent), services_(services), demarrage_(services_.installation, services_.bdd) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitre);
    resize(kTailleDessin);
    // Every tab follows the window's size, fonts included.
    echelle_ = new MiseAEchelle(this, kTailleDessin, true);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    placer(SSTab1, 60, 60, 10080, 7440);

    parametres_ = new ParametresTab(services_);
    caisse_ = new CaisseTab(services_);
    // The first sale of a new day closes the days left unclosed, as the start-up does.
    caisse_->setAuNouveauJour([this] {
        const auto z = clotures::cloreJoursOublies(services_.bdd, services_.cle,
                                                   services_.horloge.maintenant());
        return z ? QString()
                 : QStringLiteral("Clôture des jours précédents impossible : %1").arg(z.raison());
    });
    genCodes_ = new GenCodesTab(services_);
    arrivages_ = new ArrivagesTab(services_);
    fournisseurs_ = new FournisseursTab(services_);
    navigation_ = std::make_unique<NavigationOnglets>(*SSTab1, *genCodes_);
    inventaire_ = new InventaireTab(services_, *navigation_);
    journaux_ = new JournauxTab(services_);
    cloture_ = new ClotureTab(services_);
    // A saved article shows on the inventory tab.
    connect(genCodes_, &GenCodesTab::articleEnregistre, inventaire_,
            &InventaireTab::montrerArticle);

    SSTab1->addTab(caisse_, QStringLiteral("Caisse"));
    SSTab1->addTab(genCodes_, QStringLiteral("Gen Codes"));
    SSTab1->addTab(arrivages_, QStringLiteral("Arrivages"));
    SSTab1->addTab(fournisseurs_, QStringLiteral("Fournisseurs"));
    SSTab1->addTab(parametres_, QStringLiteral("Parametres"));
    SSTab1->addTab(inventaire_, QStringLiteral("Inventaire"));
    SSTab1->addTab(journaux_, QStringLiteral("Journaux"));
    SSTab1->addTab(cloture_, QStringLiteral("Clôture"));

    Quitter = new QPushButton(QStringLiteral("Quitter"), this);
    Quitter->setObjectName(QStringLiteral("Quitter"));
    placer(Quitter, 8760, 7560, 1335, 435);

    connect(Quitter, &QPushButton::clicked, this, &Form1::Quitter_Click);
    connect(SSTab1, &QTabWidget::currentChanged, this, &Form1::ongletChange);
}

Form1::~Form1() {
    // The program ends once the copy under way is written (its outcome is no longer shown).
    demarrage_.attendreSauvegarde();
}

void Form1::sauvegarderEnFond() {
    demarrage_.sauvegarderEnFond([this](const Resultat<>& r) {
        QMetaObject::invokeMethod(
            this, [this, r] { sauvegardeFinie(r); }, Qt::QueuedConnection);
    });
}

void Form1::attendreSauvegarde() {
    demarrage_.attendreSauvegarde();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void Form1::sauvegardeFinie(const Resultat<>& r) {
    if (r) {
        qCInfo(talmirLog, "sauvegarde tournante faite et vérifiée");
        return;
    }
    consigner(r, QStringLiteral("sauvegarde tournante"));
    services_.dialogues.message(
        QStringLiteral("La copie de sauvegarde de la base n'a pas pu être faite : %1. Les ventes "
                       "continuent ; vérifiez le dossier Sauvegardes et la place libre sur le "
                       "disque.")
            .arg(r.raison()),
        titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
}

bool Form1::demarrer() {
    enDemarrage_ = true;
    const bool demarre = demarrerEtapes();
    enDemarrage_ = false;
    // A stop the system asked for meanwhile: the start line is written, so is the stop line.
    if (demarre && arretEnAttente_)
        arretSysteme();
    return demarre;
}

void Form1::arretSysteme() {
    if (enDemarrage_) {
        arretEnAttente_ = true;
        return;
    }
    close();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

bool Form1::demarrerEtapes() {
    // Without a shop database nothing is written: a newcomer's empty folder stays as it was,
    // and the message says how to make a shop.
    if (Resultat<> base = demarrage_.verifierBase(); !base) {
        genCodes_->chargerArticles(base.raison());
        return false;
    }
    if (Resultat<> r = demarrage_.verrouiller(); !r) {
        services_.dialogues.message(r.raison(), titres::programme(), Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Arret);
        return false;
    }
    // 1. The splash, drawn before the long steps.
    services_.progression.montrer();
    // 2. Today's date.
    journaux_->setAujourdhui(dateCourte(services_.horloge.maintenant().date()));
    // 3. The title with the version.
    setWindowTitle(kTitre + QStringLiteral(" (v %1.%2.%3)")
                                .arg(TALMIR_VERSION_MAJOR)
                                .arg(TALMIR_VERSION_MINOR)
                                .arg(TALMIR_VERSION_PATCH));
    // 4. fichierini: services_.fichierini().
    // 5.-6. The rotating backup copy is made in the background once the window shows (see
    // sauvegarderEnFond), or before the database's upgrade when it needs one.
    // 7. The start line, written even when the database cannot be opened.
    consigner(services_.journal().ecrireJournal(QStringLiteral("DEMARRAGE")),
              QStringLiteral("ligne DEMARRAGE du journal"));
    // 8. The shop database; why it could not be opened is told with the article list's failure.
    const Resultat<> base = demarrage_.ouvrirBase();
    // 9. The article list: the first check that the database is usable.
    if (!genCodes_->chargerArticles(base.raison())) {
        services_.progression.fermer();
        return false;
    }
    // 10. The suppliers.
    if (!fournisseurs_->chargerListe()) {
        services_.progression.fermer();
        return false;
    }
    // The signing key and the events journal: no sale is recorded unsigned, so a shop whose key
    // is lost does not start.
    const Resultat<QString> registres =
        ouvrirRegistresFiscaux(services_.bdd, services_.cle, demarrage_.versionAvant(),
                               services_.horloge.maintenant(), services_.installation.dossier);
    if (!registres) {
        services_.progression.fermer();
        services_.dialogues.message(registres.raison(), titres::programme(), Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Arret);
        return false;
    }
    if (!registres->isEmpty())
        services_.dialogues.message(*registres, titres::programme(), Dialogues::Boutons::Ok,
                                    Dialogues::Icone::Avertissement);
    // 11. The supplier names of the article form.
    genCodes_->chargerFournisseurs();
    // 12. The current ticket.
    caisse_->nouveauTicket();
    // 13.-14. The printers and the two printer roles.
    parametres_->chargerImprimantes();
    parametres_->chargerRoles();
    // 15. The annual closures.
    cloture_->afficherLesClotures();
    services_.progression.fermer();
    return true;
}

void Form1::afficher() {
    QList<QRect> ecrans;
    for (const QScreen* e : QGuiApplication::screens())
        ecrans << e->availableGeometry();
    const std::optional<PlaceFenetre> place =
        PlaceFenetre::lire(services_.reglages().lire(kPlace), ecrans);
    if (place && place->cadre) {
        setGeometry(*place->cadre);
        show();
        return;
    }
    // The first start: the whole screen when it is larger than the tabs' design.
    const QScreen* ecran = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize disponible = ecran ? ecran->availableGeometry().size() : kTailleDessin;
    const bool grand =
        disponible.width() > kTailleDessin.width() && disponible.height() > kTailleDessin.height();
    if (place || grand)
        showMaximized();
    else
        show();
}

void Form1::retenirPlace() {
    if (!isVisible())
        return;
    const PlaceFenetre place{isMaximized() || isFullScreen(), geometry()};
    services_.reglages().ecrire(kPlace, place.texte());
}

void Form1::ongletChange() {
    inventaire_->inventaireCalculer_Click();
}

void Form1::consignerArret(const QString& comment) {
    if (services_.bdd.estOuverte() && services_.cle.estChargee())
        consigner(evenements::consigner(services_.bdd, services_.cle, evenements::arret(), comment,
                                        services_.horloge.maintenant()),
                  QStringLiteral("arrêt dans le journal des événements"));
}

void Form1::Quitter_Click() {
    arrete_ = true;
    retenirPlace();
    consignerArret(QStringLiteral("Quitter"));
    services_.bdd.fermer();
    if (Resultat<> r = services_.journal().ecrireJournal(QStringLiteral("ARRET QUITTER")); !r)
        services_.dialogues.message(QStringLiteral("Erreur ") + r.raison(), titres::programme(),
                                    Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    services_.fin.terminer();
}

void Form1::closeEvent(QCloseEvent* e) {
    if (!arrete_) {
        arrete_ = true;
        retenirPlace();
        consignerArret(QStringLiteral("fenêtre fermée"));
        if (Resultat<> r = services_.journal().ecrireJournal(QStringLiteral("ARRET CROIX ROUGE"));
            !r)
            services_.dialogues.message(QStringLiteral("Erreur ") + r.raison(), titres::programme(),
                                        Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    }
    e->accept();
    // The program's other windows (the labels' preview) go with it: one left open would keep
    // the program, and its hold on the shop's database, alive after its main window closed.
    for (QWidget* fenetre : QApplication::topLevelWidgets())
        if (fenetre != this && fenetre->isVisible())
            fenetre->close();
}
