#include "frame/ui/form1.h"

#include "catalogue/ui/arrivagestab.h"
#include "catalogue/ui/fournisseurstab.h"
#include "catalogue/ui/gencodestab.h"
#include "common/formats.h"
#include "common/texte.h"
#include "common/ui/twips.h"
#include "database/database.h"
#include "frame/dialogues.h"
#include "frame/progression.h"
#include "journals/ui/journauxtab.h"
#include "platform/horloge.h"
#include "printing/ui/parametrestab.h"
#include "register/ui/caissetab.h"
#include "settings/ini32.h"
#include "stock/ui/cloturetab.h"
#include "stock/ui/inventairetab.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLockFile>
#include <QPushButton>
#include <QTabWidget>
#include <cmath>

namespace {
const QString kTitre = QStringLiteral("Point de Vente");

// The numeric reading of a setting, rounded to a 16-bit whole number (halves to even); a value
// out of that range gives nothing.
std::optional<int> entier16(double v) {
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -32768 || r > 32767)
        return std::nullopt;
    return int(r);
}
} // namespace

Form1::Form1(Services services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kTitre);
    resize(twips(10200), twips(8100));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(twips(60), twips(60), twips(10080), twips(7440));

    parametres_ = new ParametresTab(services_);
    caisse_ = new CaisseTab(services_, *parametres_);
    genCodes_ = new GenCodesTab(services_);
    arrivages_ = new ArrivagesTab(services_);
    fournisseurs_ = new FournisseursTab(services_);
    inventaire_ = new InventaireTab(services_);
    journaux_ = new JournauxTab(services_, *parametres_);
    cloture_ = new ClotureTab(services_);
    genCodes_->setInventaire(inventaire_);
    genCodes_->setParametres(parametres_);

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

    inventaire_->relier(genCodes_, SSTab1);

    connect(Quitter, &QPushButton::clicked, this, &Form1::Quitter_Click);
    connect(SSTab1, &QTabWidget::currentChanged, this, &Form1::SSTab1_Click);
}

Form1::~Form1() = default;

bool Form1::verrouillerBase() {
    // Two tills on one database would share one current ticket. The database path is only
    // read here (mode 1), so a refused start writes nothing.
    const QString base =
        parametre(QStringLiteral("systeme"), QStringLiteral("Base de donnees"),
                  services_.installation.baseParDefaut(), services_.fichierini(), 1);
    verrou_ = std::make_unique<QLockFile>(base + QStringLiteral(".verrou"));
    verrou_->setStaleLockTime(0);
    if (verrou_->tryLock(0) || verrou_->error() != QLockFile::LockFailedError)
        return true; // locked, or the folder cannot hold a lock file: nothing to guard
    services_.dialogues.message(
        QStringLiteral("Le programme est déjà ouvert sur cette base de données (%1). Fermez "
                       "l'autre caisse avant de démarrer celle-ci.")
            .arg(base),
        titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    verrou_.reset();
    return false;
}

void Form1::sauvegardeTournante() {
    const QString ini = services_.fichierini();
    const QString section = QStringLiteral("system");
    int emplacement = 0;
    if (auto v = entier16(lireNombre(parametre(section, QStringLiteral("sauvegardes numero"),
                                               QStringLiteral("0"), ini, 2)) +
                          1))
        emplacement = *v;
    int plusHaut = 0;
    if (auto v = entier16(lireNombre(parametre(section, QStringLiteral("sauvegardes nombre"),
                                               QStringLiteral("30"), ini, 2))))
        plusHaut = *v;
    if (emplacement > plusHaut || emplacement < 0)
        emplacement = 0;
    const Installation& inst = services_.installation;
    Database::copierFichier(inst.baseParDefaut(),
                            inst.chemin(QStringLiteral("Sauvegardes/")) + inst.nom + u'_' +
                                QString::number(emplacement) + Installation::extensionBase());
    // The slot advances even when the copy failed.
    parametre(section, QStringLiteral("sauvegardes numero"), nombreReglage(emplacement), ini, 0);
}

bool Form1::Form_Load() {
    if (!verrouillerBase())
        return false;
    // 1. The splash, drawn before the long steps.
    services_.progression.montrer();
    QApplication::processEvents();
    // 2. Today's date.
    journaux_->setAujourdhui(dateCourte(services_.horloge.maintenant().date()));
    // 3. The title with the version.
    setWindowTitle(kTitre + QStringLiteral(" (v %1.%2.%3)")
                                .arg(TALMIR_VERSION_MAJOR)
                                .arg(TALMIR_VERSION_MINOR)
                                .arg(TALMIR_VERSION_PATCH));
    // 4. fichierini: services_.fichierini().
    // 5.-6. The rotating backup copy, before the database is opened.
    QDir().mkpath(services_.installation.chemin(QStringLiteral("Sauvegardes")));
    sauvegardeTournante();
    // 7. The start line, written even when the database cannot be opened.
    services_.journal().ecrireJournal(QStringLiteral("DEMARRAGE"));
    // 8. The shop database.
    services_.bdd.ouvrir(parametre(QStringLiteral("systeme"), QStringLiteral("Base de donnees"),
                                   services_.installation.baseParDefaut(), services_.fichierini(),
                                   2));
    // 9. The article list: the first check that the database is usable.
    if (!genCodes_->chargerarticles()) {
        services_.progression.fermer();
        return false;
    }
    // 10. The suppliers.
    if (!fournisseurs_->chargerListe()) {
        services_.progression.fermer();
        return false;
    }
    // 11. The supplier names of the article form.
    genCodes_->chargerFournisseurs();
    // 12. The current ticket.
    caisse_->nouveauticket();
    // 13.-14. The printers and the two printer roles.
    parametres_->chargerImprimantes();
    parametres_->chargerRoles();
    // 15. The annual closures.
    cloture_->AfficherLesClotures();
    services_.progression.fermer();
    return true;
}

void Form1::SSTab1_Click() {
    inventaire_->inventaireCalculer_Click();
}

void Form1::Quitter_Click() {
    arrete_ = true;
    services_.bdd.fermer();
    QString erreur;
    if (!services_.journal().ecrireJournal(QStringLiteral("ARRET QUITTER"), {}, {}, {}, &erreur))
        services_.dialogues.message(QStringLiteral("Erreur ") + erreur, titres::programme(),
                                    Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    services_.fin.terminer();
}

void Form1::closeEvent(QCloseEvent* e) {
    if (!arrete_) {
        arrete_ = true;
        QString erreur;
        if (!services_.journal().ecrireJournal(QStringLiteral("ARRET CROIX ROUGE"), {}, {}, {},
                                               &erreur))
            services_.dialogues.message(QStringLiteral("Erreur ") + erreur, titres::programme(),
                                        Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
    }
    e->accept();
}
