#include "register/ui/caissetab.h"

#include "common/ui/affichageaccessible.h"
#include "common/ui/boutonmultiligne.h"
#include "common/ui/twips.h"
#include "frame/services.h"
#include "printing/surface.h"
#include "printing/ui/picturebox.h"
#include "register/motscaisse.h"
#include "register/ui/afficheurlcd.h"
#include "register/ui/capturescanner.h"
#include "register/ui/codebarreaffichage.h"
#include "register/ui/historiquetickets.h"
#include "register/ui/styledefilement.h"
#include "register/ui/zonesaisie.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

namespace {
constexpr int kVendeur = 1; // the seller's number that the tickets record
const QColor kGrisClair(192, 192, 192);
const QColor kBrun(128, 64, 0);

void colorer(QWidget* w, const QColor& fond, const QColor& encre = Qt::black) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, fond);
    p.setColor(QPalette::WindowText, encre);
    w->setPalette(p);
}

// A caption label naming its display for assistive technology.
QLabel* legende(QWidget* parent, const QString& nom, const QString& texte, int gauche, int haut,
                QWidget* affichage) {
    QLabel* l = creerLabel(parent, nom, texte, gauche, haut);
    l->setBuddy(affichage);
    affichage->setAccessibleName(texte);
    return l;
}

QPushButton* bouton(QWidget* parent, const QString& nom, const QString& texte, int gauche, int haut,
                    int largeur, int hauteur) {
    auto* b = new QPushButton(texte, parent);
    b->setObjectName(nom);
    placer(b, gauche, haut, largeur, hauteur);
    return b;
}
} // namespace

CaisseTab::CaisseTab(Services& services, QWidget* parent)
    : QWidget(parent), services_(services),
      caisse_(services.bdd, services.cle, numeroCaisse(services.reglages()), kVendeur) {
    setObjectName(QStringLiteral("Caisse"));
    construire();
    // Scans typed while one of the till's boxes is up wait their turn, as any other Enter.
    scanner_ = std::make_unique<CaptureScanner>(
        this, saisie, [this](const QString& code) { executer([this, code] { traiter(code); }); });
}

CaisseTab::~CaisseTab() = default;

void CaisseTab::construire() {
    auto* Label20 = creerLabel(this, QStringLiteral("Label20"), QStringLiteral("Code"), 240, 480);
    saisie = new ZoneSaisie(this);
    saisie->setObjectName(QStringLiteral("saisie"));
    placer(saisie, 720, 480, 2055, 285);
    Label20->setBuddy(saisie);
    saisie->setAccessibleName(QStringLiteral("Code"));
    connect(saisie, &ZoneSaisie::entree, this, [this] { saisie_KeyPress(13); });
    connect(saisie, &ZoneSaisie::focusRecu, this, &CaisseTab::saisie_GotFocus);
    // What the last entry left to be told: an unknown code, an article without a price.
    avis = creerLabel(this, QStringLiteral("avis"), QString(), 720, 780, 3135, 180);
    QFont petitAvis = avis->font();
    petitAvis.setPointSizeF(8);
    avis->setFont(petitAvis);
    QPalette rouge = avis->palette();
    rouge.setColor(QPalette::WindowText, QColor(190, 0, 0));
    avis->setPalette(rouge);

    auto* Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::Panel);
    Picture1->setFrameShadow(QFrame::Sunken);
    placer(Picture1, 240, 960, 3615, 5175);
    // The displays' captions sit in places drawn for a small dialog font: keep them apart.
    QFont petite = Picture1->font();
    petite.setPointSizeF(8);
    Picture1->setFont(petite);
    construireAfficheurs(Picture1);

    // The hidden holder of the receipt's header picture.
    auto* imagesimprimante = new QWidget(this);
    imagesimprimante->setObjectName(QStringLiteral("imagesimprimante"));
    placer(imagesimprimante, 4080, 480, 495, 495);
    imagesimprimante->hide();

    fondticket = new QWidget(this);
    fondticket->setObjectName(QStringLiteral("fondticket"));
    colorer(fondticket, QColor(64, 64, 64));
    // Below the two ticket buttons, its bottom edge where it was.
    placer(fondticket, 4800, 870, 4695, 5265);
    fondticket->installEventFilter(this);
    ticket = new PictureBox(fondticket);
    ticket->setObjectName(QStringLiteral("ticket"));
    ticket->setAccessibleName(QStringLiteral("Ticket"));
    placer(ticket, 360, 360, 3855, 3495);
    scrolling = new QScrollBar(Qt::Vertical, fondticket);
    scrolling->setObjectName(QStringLiteral("scrolling"));
    scrolling->setAccessibleName(QStringLiteral("Défilement du ticket"));
    placer(scrolling, 4365, -15, 255, 5205);
    scrolling->setRange(0, 0);
    auto* style = new StyleDefilement;
    style->setParent(scrolling);
    scrolling->setStyle(style);
    // Only dragging moves the ticket; the arrows and the track move the box alone.
    connect(scrolling, &QScrollBar::sliderMoved, this, &CaisseTab::defilerTicket);

    construireBoutons();
}

void CaisseTab::construireAfficheurs(QWidget* Picture1) {
    caisse = creerLabel(Picture1, QStringLiteral("caisse"), caisse_.numero(), 1800, 0, 1200, 240);
    legende(Picture1, QStringLiteral("Label1"), QStringLiteral("Caisse"), 480, 0, caisse);
    // The seller's name; the seller's number (1) is what the tickets record.
    vendeur = creerLabel(Picture1, QStringLiteral("vendeur"), QStringLiteral("Martine"), 1800, 240,
                         1700, 240);
    vendeur->setProperty("tag", QStringLiteral("1"));
    legende(Picture1, QStringLiteral("Label21"), QStringLiteral("Vendeur / Vendeuse"), 0, 240,
            vendeur);

    // The amount due with its caption above it, and the two totals on the row below it: no
    // caption lies over a digit or a decimal point. The rows below are lower by as much, inside
    // the panel.
    total = new AfficheurLcd(QStringLiteral("total"), QStringLiteral("0.00 "), 48, false, Qt::white,
                             QColor(0, 128, 128), Picture1);
    placer(total, 0, 690, 3375, 930);
    legende(Picture1, QStringLiteral("Label4"), QStringLiteral("TOTAL ttc dû"), 0, 480, total);
    totalttc = creerLabel(Picture1, QStringLiteral("totalttc"), QStringLiteral("0,00 "), 480, 1620,
                          1150, 240);
    legende(Picture1, QStringLiteral("Label25"), QStringLiteral("Total"), 0, 1620, totalttc);
    totaltva = creerLabel(Picture1, QStringLiteral("totaltva"), QStringLiteral("0,00 "), 2520, 1620,
                          1080, 240);
    legende(Picture1, QStringLiteral("Label34"), QStringLiteral("Total TVA"), 1680, 1620, totaltva);

    numticket = creerLabel(Picture1, QStringLiteral("numticket"), QStringLiteral("1"), 960, 1860,
                           1500, 330);
    numticket->setFont(Surface::policeReelle(QStringLiteral("Arial"), 11.25));
    legende(Picture1, QStringLiteral("Label3"), QStringLiteral("Ticket"), 120, 1860, numticket);

    nombre = new AfficheurLcd(QStringLiteral("nombre"), QStringLiteral("1"), 27, true, kGrisClair,
                              kBrun, Picture1);
    placer(nombre, 120, 2220, 735, 615);
    nombre->setAccessibleName(QStringLiteral("Quantité"));
    prix = new AfficheurLcd(QStringLiteral("prix"), QStringLiteral("0.00 "), 27, true, kGrisClair,
                            kBrun, Picture1);
    placer(prix, 960, 2220, 2415, 615);
    prix->setAccessibleName(QStringLiteral("Prix"));
    tva = new AfficheurLcd(QStringLiteral("tva"), QStringLiteral("0.00 "), 14.25, false, kGrisClair,
                           kBrun, Picture1);
    placer(tva, 1440, 2940, 1935, 375);
    legende(Picture1, QStringLiteral("Label24"), QStringLiteral("TVA"), 960, 3000, tva);

    // Empty until the ticket has a priced line.
    codebarre = new CodeBarreAffichage(QString(), Picture1);
    codebarre->setObjectName(QStringLiteral("codebarre"));
    codebarre->setAccessibleName(QStringLiteral("Code barre"));
    placer(codebarre, 120, 3420, 3255, 375);
    dernierequantite = creerLabel(Picture1, QStringLiteral("dernierequantite"), QStringLiteral("0"),
                                  2160, 3810, 1095, 255);
    dernierequantite->setAccessibleName(QStringLiteral("Dernière quantité"));
    DetailAchat =
        creerLabel(Picture1, QStringLiteral("DetailAchat"), QString(), 120, 4080, 3255, 975);
    DetailAchat->setAccessibleName(QStringLiteral("Détail de l'achat"));
    DetailAchat->setWordWrap(true);
    colorer(DetailAchat, kGrisClair);
    // A screen reader hears the amounts, not only their captions.
    for (QLabel* l : afficheurs())
        affichageAccessible(l);
}

QList<QLabel*> CaisseTab::afficheurs() const {
    return {numticket, total, totalttc, totaltva, nombre, prix, tva, dernierequantite};
}

void CaisseTab::construireBoutons() {
    auto* Label30 = creerLabel(this, QStringLiteral("Label30"), QStringLiteral("%"), 4140, 960);
    QFont f30 = Label30->font();
    f30.setPointSizeF(18);
    Label30->setFont(f30);
    Label30->adjustSize();
    auto* Command6 = new BoutonMultiligne(QStringLiteral("Command6"),
                                          QStringLiteral("% de Remise sur total"), this);
    placer(Command6, 3900, 1440, 855, 615);
    auto* Command7 = new BoutonMultiligne(QStringLiteral("Command7"),
                                          QStringLiteral("% de Remise sur dernier"), this);
    placer(Command7, 3900, 2070, 855, 735);
    auto* Command10 =
        new BoutonMultiligne(QStringLiteral("Command10"), QStringLiteral("SOUS TOTAL"), this);
    placer(Command10, 3960, 3000, 735, 735);
    auto* Label33 =
        creerLabel(this, QStringLiteral("Label33"), QStringLiteral("Euros"), 3900, 4080);
    QFont f33 = Label33->font();
    f33.setPointSizeF(13.5);
    Label33->setFont(f33);
    Label33->adjustSize();
    auto* Command8 =
        new BoutonMultiligne(QStringLiteral("Command8"), QStringLiteral("Remise "), this);
    placer(Command8, 3885, 4440, 855, 735);
    auto* Command9 =
        new BoutonMultiligne(QStringLiteral("Command9"), QStringLiteral("Prix Soldé"), this);
    placer(Command9, 3885, 5325, 855, 735);
    connect(Command6, &QPushButton::clicked, this, &CaisseTab::demanderRemiseSurTotal);
    connect(Command7, &QPushButton::clicked, this, &CaisseTab::demanderRemiseSurDernier);
    connect(Command10, &QPushButton::clicked, this, &CaisseTab::demanderSousTotal);
    connect(Command8, &QPushButton::clicked, this, &CaisseTab::demanderRemiseEnEuros);
    connect(Command9, &QPushButton::clicked, this, &CaisseTab::demanderPrixSolde);

    QStringList legendes = mots::paiements();
    legendes << mots::termine();
    for (int i = 0; i < legendes.size(); ++i) {
        QPushButton* b = bouton(this, QStringLiteral("paiement_%1").arg(i), legendes[i],
                                1920 + 1080 * i, 6240, 975, 495);
        connect(b, &QPushButton::clicked, this, [this, i] { payer(i); });
        paiements_ << b;
    }

    auto* Command2 = bouton(this, QStringLiteral("Command2"), QStringLiteral("Recalculer"), 4800,
                            360, 1335, 495);
    auto* Command1 =
        bouton(this, QStringLiteral("Command1"), QStringLiteral("IMPRIMER"), 7680, 360, 1335, 495);
    connect(Command2, &QPushButton::clicked, this, &CaisseTab::recalculerTicket);
    connect(Command1, &QPushButton::clicked, this, &CaisseTab::imprimerRecuCourant);
    // Between the two ticket buttons.
    auto* historique = bouton(this, QStringLiteral("historique"), QStringLiteral("Historique"),
                              6240, 360, 1335, 495);
    historique->setAccessibleName(QStringLiteral("Historique des tickets"));
    connect(historique, &QPushButton::clicked, this, &CaisseTab::ouvrirHistorique);
}

void CaisseTab::ouvrirHistorique() {
    executer([this] {
        HistoriqueTickets fenetre(services_, caisse_.numero(), QString::number(kVendeur), this);
        // Keys typed into the window are the window's; a scan made while it is up waits for the
        // till, as with every other box of the till.
        scanner_->ouvrirBoite();
        fenetre.exec();
        // The entry box is ready for the next scan, which replaces what it holds.
        saisie->setFocus();
        saisie->selectAll();
        scanner_->reprendre(scanner_->fermerBoite());
    });
}
