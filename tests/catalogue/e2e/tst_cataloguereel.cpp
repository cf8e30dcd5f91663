#include "support/e2e/programmereel.h"
#include "support/testmain.h"

#include <QtTest>

// The article form in a real window under a window manager, where the focus moves as the
// operator's keys move it, on the demo shop.
class TestCatalogueReel : public QObject {
    Q_OBJECT

    static double stock(ProgrammeReel& p, const QString& code) {
        return p.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = ?", {code}).toDouble();
    }
    // Keys pressed one after the other, each `fois` times.
    static bool repeter(ProgrammeReel& p, const QString& touche, int fois) {
        return p.touches(QStringList(fois, touche), 30);
    }
    // What the screen showed when a check failed.
    static QString echec(ProgrammeReel& p, const char* quoi) {
        const QString image = QStringLiteral("/tmp/e2e_catalogue_%1.png").arg(quoi);
        p.capture(image);
        return QStringLiteral("fenêtre active : « %1 », écran : %2").arg(p.fenetreActive(), image);
    }

  private slots:
    void init() {
        if (const QString manque = ProgrammeReel::manque(); !manque.isEmpty())
            QSKIP(qPrintable(QStringLiteral("manque pour lancer le programme : ") + manque));
    }

    // Straight from the start to Inventaire, a scan, "Modifier les informations": the pieces
    // typed on the article form go to the article scanned, not to the first of the list.
    void modifierLesInformations() {
        ProgrammeReel p;
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        const double avant = stock(p, "ART000045");
        const double premier = stock(p, "ART000001");
        // Caisse -> Inventaire backwards, so that the Gen Codes tab is not shown on the way.
        QVERIFY(repeter(p, "ctrl+shift+Tab", 3));
        QVERIFY(p.scanner("ART000045"));
        QVERIFY2(p.attendre([&] { return stock(p, "ART000045") == avant + 1; }),
                 qPrintable(echec(p, "comptage")));
        // The code box, then the button "Modifier les informations".
        QVERIFY(p.touches({"Tab", "space"}, 30));
        // The cursor is in "Nombre à ajouter"; Validation lies eight boxes further on.
        QVERIFY(p.taper("2", 30));
        QVERIFY(repeter(p, "Tab", 8));
        QVERIFY(p.touches({"space"}, 30));
        QVERIFY2(p.attendre([&] { return stock(p, "ART000045") == avant + 3; }),
                 qPrintable(echec(p, "reassort")));
        QCOMPARE(stock(p, "ART000001"), premier);
        QVERIFY(p.arreter());
    }

    // A code looked up by a pattern, then a save: the article found is written, no article
    // named after the pattern is made.
    void motifPuisValidation() {
        ProgrammeReel p;
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        const int articles = p.valeur("SELECT count(*) FROM ARTICLES").toInt();
        // Caisse -> Gen Codes: the focus arrives in the list; three keys on, the code box.
        QVERIFY(repeter(p, "ctrl+Tab", 1));
        QVERIFY(repeter(p, "Tab", 3));
        QVERIFY(p.taper("ART00003?", 30));
        // Leaving the code box shows ART000030; "Prix Vente TTC" is five boxes further on.
        QVERIFY(repeter(p, "Tab", 6));
        QVERIFY(p.taper("77", 30));
        // Validation follows the three boxes after the price.
        QVERIFY(repeter(p, "Tab", 4));
        QVERIFY(p.touches({"space"}, 30));
        QVERIFY2(p.attendre([&] {
            return p.valeur("SELECT PrixVenteTTC FROM ARTICLES WHERE CodeArticle = 'ART000030'")
                       .toDouble() == 77;
        }),
                 qPrintable(echec(p, "motif")));
        QCOMPARE(p.valeur("SELECT count(*) FROM ARTICLES").toInt(), articles);
        QCOMPARE(p.valeur("SELECT count(*) FROM ARTICLES WHERE CodeArticle LIKE '%?%'").toInt(), 0);
        QVERIFY(p.arreter());
    }
};

TALMIR_TEST(TestCatalogueReel)
#include "tst_cataloguereel.moc"
