#include "labels/ui/impression.h"

#include "common/ui/miseaechelle.h"
#include "common/unites.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "labels/grilleetiquettes.h"
#include "printing/rolesimprimantes.h"
#include "printing/serviceimpression.h"
#include "printing/ui/picturebox.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <limits>
#include <memory>

namespace {
constexpr auto mm = Surface::Echelle::Millimetres;
// The page: an A4 sheet.
constexpr double largeurPage = 210;
constexpr double hauteurPage = 297;
// The window's design client area and the row of controls along its top.
constexpr double largeurFenetre = 240;
constexpr double hauteurFenetre = 155;
constexpr double hautCadre = 9;

// The progress of a long printer run, with a button that stops it after the sheet in hand.
class SuiviFenetre : public SuiviTirage {
  public:
    explicit SuiviFenetre(QWidget* parent) : parent_(parent) {}
    bool continuer(qint64 faites, qint64 total) override {
        if (total <= TirageEtiquettes::feuillesSansQuestion)
            return true;
        constexpr qint64 plafond = std::numeric_limits<int>::max();
        if (!dialogue_) {
            dialogue_ = std::make_unique<QProgressDialog>(parent_);
            dialogue_->setWindowTitle(titres::programme());
            dialogue_->setCancelButtonText(QStringLiteral("Arrêter"));
            dialogue_->setWindowModality(Qt::ApplicationModal);
            dialogue_->setMinimumDuration(0);
            dialogue_->setAutoClose(false);
            dialogue_->setAutoReset(false);
            dialogue_->setRange(0, int(std::min(total, plafond)));
        }
        dialogue_->setLabelText(
            QStringLiteral("Impression des étiquettes : feuille %1 sur %2").arg(faites).arg(total));
        dialogue_->setValue(int(std::min(faites, plafond)));
        return !dialogue_->wasCanceled();
    }
    // The progress window goes before the question that ends the run.
    void terminer() override { dialogue_.reset(); }

  private:
    QWidget* parent_;
    std::unique_ptr<QProgressDialog> dialogue_;
};
} // namespace

Impression::Impression(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services) {
    setObjectName(QStringLiteral("Impression"));
    setWindowTitle(QStringLiteral("Impression"));
    setAttribute(Qt::WA_DeleteOnClose);

    imprim = new QPushButton(QStringLiteral("Imprimer"), this);
    imprim->setObjectName(QStringLiteral("imprim"));
    placerDessin(imprim, QRectF(pixels(1), pixels(1), pixels(25), pixels(7)));

    clef = new QLabel(QStringLiteral("Clef"), this);
    clef->setObjectName(QStringLiteral("clef"));
    placerDessin(clef, QRectF(pixels(30), pixels(1), pixels(14), pixels(7)));

    numeropage = new QComboBox(this);
    numeropage->setObjectName(QStringLiteral("numeropage"));
    numeropage->setEditable(true);
    numeropage->setEditText(QStringLiteral("1"));
    numeropage->setAccessibleName(QStringLiteral("Page"));
    placerDessin(numeropage, QRectF(pixels(45), pixels(1), pixels(25), pixels(7)));
    clef->setBuddy(numeropage);

    fondpage = new QWidget(this);
    fondpage->setObjectName(QStringLiteral("fondpage"));
    fondpage->setAutoFillBackground(true);
    QPalette p = fondpage->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Dark)); // the application workspace
    fondpage->setPalette(p);
    placerDessin(fondpage,
                 QRectF(0, pixels(hautCadre), pixels(largeurFenetre), pixels(hauteurFenetre)));

    fond = new PictureBox(fondpage);
    fond->setObjectName(QStringLiteral("fond"));
    fond->setAccessibleName(QStringLiteral("Aperçu de la feuille d'étiquettes"));

    scrollverticale = new QScrollBar(Qt::Vertical, this);
    scrollverticale->setObjectName(QStringLiteral("scrollverticale"));
    scrollverticale->setAccessibleName(QStringLiteral("Défilement de la page"));
    placerDessin(scrollverticale,
                 QRectF(0, 0, style()->pixelMetric(QStyle::PM_ScrollBarExtent), pixels(100)));
    scrollverticale->setRange(0, int(hauteurPage));
    scrollverticale->setSingleStep(1);
    scrollverticale->setPageStep(10);

    // Holds the label background of the last run; not part of the layout.
    images = new PictureBox(this);
    images->setObjectName(QStringLiteral("images"));
    images->placer(0, 0, grille::largeurEtiquette, grille::hauteurEtiquette, mm);
    images->hide();

    connect(imprim, &QPushButton::clicked, this, &Impression::imprimerToutesLesEtiquettes);
    connect(numeropage, &QComboBox::activated, this, &Impression::redessinerApercu);
    connect(scrollverticale, &QScrollBar::valueChanged, this, &Impression::defilerPage);

    resize(pixels(largeurFenetre), pixels(hauteurFenetre));
    // The controls, the page and its drawing follow the window's size.
    echelle_ = new MiseAEchelle(this, size(), false);
    placerPage();
}

int Impression::pixels(double millimetres) const {
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return int(std::lround(unites::versPixels(millimetres, unites::Unite::Millimetres, dpi)));
}

void Impression::placerPage() {
    fond->placer(0, fond->Top(mm), largeurPage, hauteurPage, mm);
    scrollverticale->setMaximum(int(hauteurPage));
    adapterAuxDimensions();
}

void Impression::montrerApercu() {
    // Opened at the scale of the window it is opened from, inside its screen.
    if (!isVisible())
        if (const QWidget* appelant = QApplication::activeWindow(); appelant && appelant != this) {
            QSize taille = echelle_->tailleDessin() * MiseAEchelle::facteur(appelant);
            if (const QScreen* ecran = appelant->screen())
                taille = taille.boundedTo(ecran->availableGeometry().size() * 0.9);
            resize(taille);
        }
    numeropage->clear();
    imprimer(fond->surface());
    // A window the operator minimised comes back as it was before, in front.
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

BilanTirage Impression::imprimer(Surface& destination) {
    const BilanTirage bilan = TirageEtiquettes(services_).imprimer(destination, image_);
    Surface& s = images->surface();
    s.Cls();
    s.setScaleMode(mm);
    s.PaintPicture(image_, 0, 0, grille::largeurEtiquette, grille::hauteurEtiquette);
    return bilan;
}

BilanTirage Impression::imprimer(ServiceImpression& imprimante) {
    SuiviFenetre suivi(this);
    TirageEtiquettes tirage(services_);
    tirage.setSuivi(&suivi);
    return tirage.imprimer(imprimante, image_);
}

void Impression::imprimerToutesLesEtiquettes() {
    // The sheets go to the A4 printer; a name no longer installed leaves the current printer.
    services_.imprimantes.SelectPrinter(services_.roles().a4());
    imprimer(services_.imprimantes);
}

void Impression::redessinerApercu() {
    imprimer(fond->surface());
}

void Impression::defilerPage(int valeur) {
    fond->setTop(-valeur, mm);
}

void Impression::adapterAuxDimensions() {
    // A window made smaller than its top row and scroll bar leaves the frame and the bar empty
    // rather than negative.
    const int haut = fondpage->y();
    const int hauteur = std::max(0, height() - haut);
    const int largeur = std::max(0, width() - scrollverticale->width());
    fondpage->setGeometry(0, haut, largeur, hauteur);
    scrollverticale->setGeometry(fondpage->width(), haut, scrollverticale->width(), hauteur);
}

void Impression::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    adapterAuxDimensions();
}
