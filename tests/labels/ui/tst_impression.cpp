#include "catalogue/ui/gencodestab.h"
#include "labels/etiquettestest.h"
#include "labels/ui/impression.h"
#include "printing/surface.h"
#include "printing/ui/parametrestab.h"
#include "printing/ui/picturebox.h"
#include "settings/ini32.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

using namespace etiquettestest;

namespace {
constexpr auto mm = Surface::Echelle::Millimetres;

// The article form's tab with the printer roles, over a test shop whose A4 printer is
// "Bureau A4", the second of two printers.
struct Onglet {
    BoutiqueTest boutique;
    ImprimantesTest imprimantes{{QStringLiteral("Imprimante PDF"), QStringLiteral("Bureau A4")}};
    Services services{boutique.installation(),
                      boutique.bdd,
                      boutique.dialogues,
                      imprimantes,
                      boutique.lanceur,
                      boutique.horloge,
                      boutique.progression,
                      boutique.fin,
                      boutique.cle};
    std::unique_ptr<ParametresTab> parametres;
    std::unique_ptr<GenCodesTab> genCodes;

    bool ouvrir(const QString& articles) {
        if (!boutique.ouvrir() || !ajouterTous(boutique, articles))
            return false;
        parametre("imprimante", "imprimanteA4", "Bureau A4", boutique.installation().fichierIni(),
                  0);
        parametres = std::make_unique<ParametresTab>(services);
        parametres->chargerRoles();
        genCodes = std::make_unique<GenCodesTab>(services);
        return true;
    }
    void cliquer() { genCodes->findChild<QPushButton*>("imprimerlesetiquettes")->click(); }
    // The label window is a window of its own, not a child of the tab.
    Impression* fenetre() const {
        for (QWidget* f : QApplication::topLevelWidgets())
            if (auto* i = qobject_cast<Impression*>(f))
                return i;
        return nullptr;
    }
    template <typename T> T* w(const char* nom) const { return fenetre()->findChild<T*>(nom); }
    PictureBox* fond() const { return w<PictureBox>("fond"); }
};

int nombreFenetres(const QWidget*) {
    int n = 0;
    for (QWidget* f : QApplication::topLevelWidgets())
        n += qobject_cast<Impression*>(f) != nullptr;
    return n;
}

bool toutBlanc(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250)
                return false;
    return true;
}
} // namespace

// The label window: one window, the preview of the first sheet, the page's scrolling and
// layout, the print button.
class TestImpression : public QObject {
    Q_OBJECT
  private slots:
    void gardeLeProgrammeOuvert() {
        // While the label window is open, closing the main window does not end the program;
        // closing the label window then does.
        Onglet o;
        QVERIFY(o.ouvrir("A*1"));
        o.genCodes->show();
        o.cliquer();
        bool encoreOuvert = false;
        QTimer::singleShot(0, [&] { o.genCodes->close(); });
        QTimer::singleShot(100, [&] {
            encoreOuvert = true;
            o.fenetre()->close();
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // never hang
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(encoreOuvert);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void uneSeuleFenetreNonModale() {
        Onglet o;
        QVERIFY(o.ouvrir("A*2"));
        o.cliquer();
        Impression* f = o.fenetre();
        QVERIFY(f);
        QVERIFY(f->isVisible());
        QVERIFY(f->isWindow());
        QVERIFY(!f->isModal());
        QCOMPARE(f->windowTitle(), QStringLiteral("Impression"));
        QCOMPARE(placements(o.fond()->surface()), QStringLiteral("0:A 1:A"));
        // A second click draws the latest state in the same window.
        QVERIFY(ajouter(o.boutique, "B", 1));
        o.cliquer();
        QCOMPARE(nombreFenetres(o.genCodes.get()), 1);
        QCOMPARE(o.fenetre(), f);
        QCOMPARE(placements(o.fond()->surface()), QStringLiteral("0:A 1:A 2:B"));
        // Closing it unloads it; the next click makes it again.
        f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(nombreFenetres(o.genCodes.get()), 0);
        o.cliquer();
        QCOMPARE(nombreFenetres(o.genCodes.get()), 1);
        QVERIFY(o.fenetre()->isVisible());
        QVERIFY(o.boutique.dialogues.boites.isEmpty());
    }

    void fenetreReduiteRevient() {
        // The operator minimised the label window: the button brings it back, in front.
        Onglet o;
        QVERIFY(o.ouvrir("A*2"));
        o.cliquer();
        Impression* f = o.fenetre();
        f->showMinimized();
        QVERIFY(f->isMinimized());
        o.cliquer();
        QCOMPARE(o.fenetre(), f);
        QVERIFY(f->isVisible());
        QVERIFY(!f->isMinimized());
    }

    void controlesALOuverture() {
        Onglet o;
        QVERIFY(o.ouvrir(""));
        o.cliquer();
        QCOMPARE(o.w<QPushButton>("imprim")->text(), QStringLiteral("Imprimer"));
        QCOMPARE(o.w<QLabel>("clef")->text(), QStringLiteral("Clef"));
        QVERIFY(o.w<QWidget>("fondpage"));
        QVERIFY(o.w<QWidget>("images"));
        auto* pages = o.w<QComboBox>("numeropage");
        QCOMPARE(pages->count(), 0);
        QCOMPARE(o.w<QScrollBar>("scrollverticale")->minimum(), 0);
        QCOMPARE(o.w<QScrollBar>("scrollverticale")->maximum(), 297);
        // The page is an A4 sheet against the frame's left edge, inside the frame.
        PictureBox* fond = o.fond();
        QCOMPARE(fond->parentWidget(), o.w<QWidget>("fondpage"));
        QCOMPARE(fond->Left(mm), 0.0);
        QVERIFY(qAbs(fond->Width(mm) - 210) < 0.3);
        QVERIFY(qAbs(fond->Height(mm) - 297) < 0.3);
        // Nothing to print: a blank page.
        QVERIFY(fond->surface().textes().isEmpty());
        QVERIFY(toutBlanc(fond->grab().toImage()));
    }

    void apercuDeLaPremiereFeuille_data() {
        QTest::addColumn<QString>("sautees");
        QTest::addColumn<QString>("articles");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("cinq sautees") << "5"
                                      << "A*2"
                                      << "5-6:A";
        QTest::newRow("plus d'une feuille") << "0"
                                            << "A*30 B*30"
                                            << "0-29:A 30-35:B";
        QTest::newRow("fin de feuille") << "34"
                                        << "A*5"
                                        << "34-35:A";
    }
    void apercuDeLaPremiereFeuille() {
        QFETCH(QString, sautees);
        QFETCH(QString, articles);
        QFETCH(QString, attendu);
        Onglet o;
        QVERIFY(o.ouvrir(articles));
        reglerSautees(o.boutique, sautees);
        o.cliquer();
        QCOMPARE(placements(o.fond()->surface()), etendre(attendu));
        QVERIFY(o.imprimantes.travaux.isEmpty());
        QVERIFY(o.boutique.dialogues.boites.isEmpty());
    }

    void dessinGardeAuRecouvrementEtAuDefilement() {
        Onglet o;
        QVERIFY(o.ouvrir("A*36"));
        o.cliquer();
        const QImage avant = o.fond()->grab().toImage();
        QVERIFY(!toutBlanc(avant));
        o.fenetre()->hide();
        o.fenetre()->show();
        auto* barre = o.w<QScrollBar>("scrollverticale");
        barre->setValue(120);
        barre->setValue(0);
        QCOMPARE(o.fond()->grab().toImage(), avant);
    }

    void defilement() {
        Onglet o;
        QVERIFY(o.ouvrir("A*1"));
        o.cliquer();
        auto* barre = o.w<QScrollBar>("scrollverticale");
        PictureBox* fond = o.fond();
        barre->setValue(100);
        QVERIFY(qAbs(fond->Top(mm) + 100) < 0.3);
        barre->setValue(0);
        QCOMPARE(fond->y(), 0);
        // At 297 the page has gone fully above the frame.
        barre->setValue(297);
        QVERIFY(fond->y() + fond->height() <= 1);
    }

    void redimensionnement_data() {
        QTest::addColumn<QSize>("taille");
        QTest::newRow("plus etroite") << QSize(300, 400);
        QTest::newRow("plus grande") << QSize(1200, 900);
        QTest::newRow("plus petite que la rangee du haut") << QSize(10, 12);
        QTest::newRow("reduite a rien") << QSize(0, 0);
    }
    void redimensionnement() {
        QFETCH(QSize, taille);
        Onglet o;
        QVERIFY(o.ouvrir("A*1"));
        o.cliquer();
        Impression* f = o.fenetre();
        f->resize(taille);
        auto* cadre = o.w<QWidget>("fondpage");
        auto* barre = o.w<QScrollBar>("scrollverticale");
        const int haut = cadre->y();
        QVERIFY(haut > 0);
        QCOMPARE(cadre->x(), 0);
        QCOMPARE(cadre->width(), std::max(0, f->width() - barre->width()));
        QCOMPARE(cadre->height(), std::max(0, f->height() - haut));
        QCOMPARE(barre->x(), cadre->width());
        QCOMPARE(barre->y(), haut);
        QCOMPARE(barre->height(), cadre->height());
        if (f->width() >= barre->width())
            QCOMPARE(barre->x() + barre->width(), f->width());
    }

    void imprimerSurLImprimanteA4() {
        Onglet o;
        QVERIFY(o.ouvrir("A*40"));
        o.cliquer();
        const QString apercu = placements(o.fond()->surface());
        o.boutique.dialogues.reponses = {Dialogues::Reponse::Oui};
        o.w<QPushButton>("imprim")->click();
        QCOMPARE(o.imprimantes.travaux.size(), 2);
        for (const ImprimantesTest::Travail& t : o.imprimantes.travaux) {
            QCOMPARE(t.imprimante, QStringLiteral("Bureau A4"));
            QCOMPARE(t.format, FormatPapier::A4);
        }
        // The preview matches the first sheet and is not drawn again after printing.
        QCOMPARE(placements(*o.imprimantes.travaux[0].surface), apercu);
        QCOMPARE(placements(o.fond()->surface()), apercu);
        QCOMPARE(o.boutique.dialogues.textes(),
                 QStringList{"Est-ce que les Etiquettes sont correctement imprimées ?"});
        QCOMPARE(o.boutique.valeur("select nbraimprimer from ARTICLES").toInt(), 0);
        QCOMPARE(ligneSautees(o.boutique), QStringLiteral("etiquettes sautees= 4"));
        // The page list is read again: the preview shows the next run, now empty.
        emit o.w<QComboBox>("numeropage")->activated(0);
        QVERIFY(o.fond()->surface().textes().isEmpty());
    }

    void imprimanteA4Absente() {
        Onglet o;
        QVERIFY(o.ouvrir("A*1"));
        parametre("imprimante", "imprimanteA4", "bureau a4", o.boutique.installation().fichierIni(),
                  0);
        o.parametres->chargerRoles();
        o.cliquer();
        o.w<QPushButton>("imprim")->click();
        // No such printer: the sheet goes to the current one.
        QCOMPARE(o.imprimantes.travaux.size(), 1);
        QCOMPARE(o.imprimantes.travaux[0].imprimante, QStringLiteral("Imprimante PDF"));
    }

    void progressionFermeeAvantLaQuestion() {
        // A long run shows its progress; the window is gone when the operator is asked whether
        // the labels came out right.
        Onglet o;
        QVERIFY(o.ouvrir("A*1900"));
        o.cliquer();
        o.boutique.dialogues.reponses = {Dialogues::Reponse::Oui, Dialogues::Reponse::Non};
        QStringList progressionsVisibles;
        bool progressionVue = false;
        QTimer regard;
        QObject::connect(&regard, &QTimer::timeout, [&] {
            if (auto* d = o.fenetre()->findChild<QProgressDialog*>())
                progressionVue = progressionVue || d->isVisible();
        });
        regard.start(0);
        o.boutique.dialogues.aLAffichage = [&](const DialoguesScript::Boite& boite) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<QProgressDialog*>(w) && w->isVisible())
                    progressionsVisibles << boite.texte;
        };
        o.w<QPushButton>("imprim")->click();
        regard.stop();
        QCOMPARE(o.imprimantes.travaux.size(), 53);
        QVERIFY(progressionVue);
        QCOMPARE(o.boutique.dialogues.boites.size(), 2);
        QCOMPARE(progressionsVisibles, QStringList());
    }

    void longueImpressionArretee() {
        Onglet o;
        QVERIFY(o.ouvrir("A*1000000"));
        o.cliquer();
        o.boutique.dialogues.reponses = {Dialogues::Reponse::Oui, Dialogues::Reponse::Oui};
        // The operator presses "Arrêter" as soon as the progress window shows.
        QTimer arret;
        QObject::connect(&arret, &QTimer::timeout, [&o] {
            if (auto* d = o.fenetre()->findChild<QProgressDialog*>())
                d->cancel();
        });
        arret.start(0);
        o.w<QPushButton>("imprim")->click();
        arret.stop();
        // Stopped after the sheet in hand; the sheets printed are recorded on Yes.
        const int feuilles = int(o.imprimantes.travaux.size());
        QVERIFY(feuilles >= 1 && feuilles <= 3);
        QCOMPARE(o.boutique.dialogues.boites.size(), 2);
        QCOMPARE(o.boutique.valeur("select nbraimprimer from ARTICLES").toInt(),
                 1000000 - 36 * feuilles);
        QCOMPARE(ligneSautees(o.boutique), QStringLiteral("etiquettes sautees= 0"));
    }
};

TALMIR_TEST(TestImpression)
#include "tst_impression.moc"
