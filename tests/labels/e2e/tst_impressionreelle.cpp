#include "settings/ini32.h"
#include "support/e2e/programmereel.h"
#include "support/testmain.h"

#include <QtTest>

namespace {
// "Imprimer 1 feuilles d'Etiquettes" on the Gen Codes tab of the main window: placed at
// 3600, 4920 twips in its tab (240, 328 pixels, 200 x 33), below the tab bar.
const QStringList kBouton{"340", "376"};
} // namespace

// The label window under a window manager.
class TestImpressionReelle : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        if (const QString manque = ProgrammeReel::manque(); !manque.isEmpty())
            QSKIP(qPrintable(QStringLiteral("manque pour lancer le programme : ") + manque));
    }

    void apercuReduitRevient() {
        // The operator minimises the label window, then presses the button again: the window
        // comes back.
        ProgrammeReel p;
        // The main window at its design size, where the button's place is known.
        parametre(QStringLiteral("systeme"), QStringLiteral("fenetre principale"),
                  QStringLiteral("100 100 680 540"), p.boutique().installation().fichierIni(), 0);
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        QByteArray id;
        QVERIFY(p.xdotool({"getactivewindow"}, 5000, &id));
        const QString principale = QString::fromLatin1(id.trimmed());
        // From the till's entry box, the next tab: Gen Codes.
        QVERIFY(p.touches({"ctrl+Tab"}));
        auto cliquer = [&] {
            return p.xdotool(QStringList{"windowactivate", "--sync", principale, "mousemove",
                                         "--window", principale} +
                             kBouton + QStringList{"click", "1"});
        };
        QVERIFY(cliquer());
        QString impression;
        const bool ouverte =
            p.attendre([&] { return !(impression = p.fenetreVisible("^Impression$")).isEmpty(); });
        if (!ouverte)
            p.capture(p.dossier() + QStringLiteral("/echec.png"));
        QVERIFY(ouverte);
        QVERIFY(p.xdotool({"windowminimize", "--sync", impression}));
        QVERIFY(p.attendre([&] { return p.fenetreVisible("^Impression$").isEmpty(); }));
        QVERIFY(cliquer());
        QVERIFY(p.attendre([&] { return p.fenetreVisible("^Impression$") == impression; }));
        QVERIFY(p.arreter());
    }
};

TALMIR_TEST(TestImpressionReelle)
#include "tst_impressionreelle.moc"
