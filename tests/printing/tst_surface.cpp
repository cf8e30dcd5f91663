#include "pagetest.h"
#include "printing/surface.h"
#include "support/testmain.h"

#include <QFontInfo>
#include <QtTest>

namespace {
constexpr double mmParPouce = 25.4;

// An A4 sheet at `dpi`.
double pixels(double mm, double dpi) {
    return mm / mmParPouce * dpi;
}

QImage rejouer(const Surface& s, double dpi, double largeurMm, double hauteurMm) {
    return pagetest::imageDe(s, int(pixels(largeurMm, dpi)), int(pixels(hauteurMm, dpi)), dpi);
}

using pagetest::encre;
} // namespace

class SurfaceTest : public QObject {
    Q_OBJECT

  private slots:
    void printAvecFinDeLigne() {
        Surface s(pixels(80, 300), pixels(200, 300), 300);
        s.setFontName(QStringLiteral("Arial"));
        s.setFontSize(10);
        s.setCurrentX(300);
        s.setCurrentY(500);
        s.Print(QStringLiteral("ESPECES : 20,00 €"));
        QCOMPARE(s.textes().size(), 1);
        QCOMPARE(s.textes()[0].x, 300.0);
        QCOMPARE(s.textes()[0].y, 500.0);
        QCOMPARE(s.CurrentX(), 0.0);
        QCOMPARE(s.CurrentY(), 500 + s.TextHeight());
        // One line of Arial 10 is the face's line spacing, about 1.15 em: 230 twips.
        QVERIFY2(s.TextHeight() > 225 && s.TextHeight() < 235,
                 qPrintable(QString::number(s.TextHeight())));
    }

    void printSansFinDeLigne() {
        Surface s(pixels(80, 300), pixels(200, 300), 300);
        s.setCurrentX(100);
        s.setCurrentY(200);
        s.PrintSuite(QStringLiteral("19,99 €"));
        s.PrintSuite(QStringLiteral(" x "));
        QCOMPARE(s.CurrentY(), 200.0);
        QCOMPARE(s.CurrentX(),
                 100 + s.TextWidth(QStringLiteral("19,99 €")) + s.TextWidth(QStringLiteral(" x ")));
        QCOMPARE(s.textes()[1].x, 100 + s.TextWidth(QStringLiteral("19,99 €")));
        s.Print(QStringLiteral("2"));
        QCOMPARE(s.CurrentX(), 0.0);
        QCOMPARE(s.CurrentY(), 200 + s.TextHeight());
    }

    void printVide() {
        Surface s(pixels(80, 300), pixels(200, 300), 300);
        s.setCurrentX(700);
        for (int i = 0; i < 12; ++i)
            s.Print();
        QCOMPARE(s.CurrentX(), 0.0);
        QVERIFY(qAbs(s.CurrentY() - 12 * s.TextHeight()) < 1e-6);
        QVERIFY(s.textes().isEmpty());
        QVERIFY(s.pageVide(0));
        // A bigger font makes bigger lines.
        const double petite = s.TextHeight();
        s.setFontSize(20);
        QVERIFY(s.TextHeight() > 2 * petite * 0.95);
    }

    void largeurDeTexte() {
        Surface s(pixels(210, 300), pixels(297, 300), 300);
        s.setFontName(QStringLiteral("Arial"));
        s.setFontSize(8);
        const QString texte = QStringLiteral("code : ART000123");
        const double twips = s.TextWidth(texte);
        s.setScaleMode(Surface::Echelle::Millimetres);
        const double mm = s.TextWidth(texte);
        QVERIFY(qAbs(mm - twips * mmParPouce / 1440) < 1e-9);
        // Liberation Sans has Arial's widths: this text at 8 points is about 22 mm wide.
        QVERIFY2(mm > 20 && mm < 24, qPrintable(QString::number(mm)));
        QCOMPARE(s.TextWidth(QString()), 0.0);
        s.setFontBold(true);
        const double gras = s.TextWidth(texte);
        QVERIFY(gras > mm);
        // Widths measured before are the face's own: back to regular, then larger.
        s.setFontBold(false);
        QCOMPARE(s.TextWidth(texte), mm);
        s.setFontSize(16);
        QVERIFY(qAbs(s.TextWidth(texte) - 2 * mm) < 0.1 * mm);
        s.setFontBold(true);
        QVERIFY(qAbs(s.TextWidth(texte) - 2 * gras) < 0.1 * gras);
    }

    void memesLargeursALEcranEtSurPapier_data() {
        QTest::addColumn<QString>("police");
        QTest::addColumn<double>("taille");
        QTest::addColumn<bool>("gras");
        QTest::newRow("Arial 8") << "Arial" << 8.0 << false;
        QTest::newRow("MS Sans Serif 8,25") << "MS Sans Serif" << 8.25 << false;
        QTest::newRow("Arial 10 gras") << "Arial" << 10.0 << true;
        QTest::newRow("LcdD 27") << "LcdD" << 27.0 << true;
    }
    void memesLargeursALEcranEtSurPapier() {
        QFETCH(QString, police);
        QFETCH(double, taille);
        QFETCH(bool, gras);
        Surface ecran(600, 400, 96), papier(pixels(80, 300), pixels(200, 300), 300);
        for (Surface* s : {&ecran, &papier}) {
            s->setFontName(police);
            s->setFontSize(taille);
            s->setFontBold(gras);
        }
        // Each device draws a font at a whole number of its pixels (Arial 8 is 11 pixels on a
        // 96 dpi screen instead of 10.67): widths agree to that rounding.
        const QString texte = QStringLiteral("Total ttc : 139,98 €");
        const double e = ecran.TextWidth(texte), p = papier.TextWidth(texte);
        QVERIFY2(qAbs(e - p) / p < 0.05, qPrintable(QStringLiteral("%1 / %2").arg(e).arg(p)));
        QVERIFY2(
            qAbs(ecran.TextHeight() - papier.TextHeight()) / papier.TextHeight() < 0.05,
            qPrintable(QStringLiteral("%1 / %2").arg(ecran.TextHeight()).arg(papier.TextHeight())));
    }

    void echelles() {
        Surface s(pixels(210, 300), pixels(297, 300), 300);
        QVERIFY(qAbs(s.ScaleWidth() - 210 / mmParPouce * 1440) < 1e-6);
        s.setCurrentX(1440);
        s.setCurrentY(720);
        s.setScaleMode(Surface::Echelle::Millimetres);
        QVERIFY(qAbs(s.ScaleWidth() - 210) < 1e-9);
        QVERIFY(qAbs(s.ScaleHeight() - 297) < 1e-9);
        // The drawing position stays where it was.
        QVERIFY(qAbs(s.CurrentX() - 25.4) < 1e-9);
        QVERIFY(qAbs(s.CurrentY() - 12.7) < 1e-9);
        QVERIFY(qAbs(s.versPixels(25.4) - 300) < 1e-9);
        s.setScaleMode(Surface::Echelle::Twips);
        QVERIFY(qAbs(s.versPixels(1440) - 300) < 1e-9);
        QVERIFY(qAbs(s.depuisPixels(300) - 1440) < 1e-9);
        s.redimensionner(pixels(80, 300), 100);
        QVERIFY(qAbs(s.ScaleWidth() - 80 / mmParPouce * 1440) < 1e-6);

        Surface ecran(640, 480, 96);
        QCOMPARE(ecran.ScaleWidth(), 640.0 * 15);
    }

    void policesDesPostesWindows_data() {
        QTest::addColumn<QString>("demandee");
        QTest::addColumn<QString>("dessinee");
        QTest::newRow("Arial") << "Arial"
                               << "Liberation Sans";
        QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                       << "Liberation Sans";
        QTest::newRow("Trebuchet MS") << "Trebuchet MS"
                                      << "Liberation Sans";
        QTest::newRow("LcdD") << "LcdD"
                              << "DSEG7 Classic";
        QTest::newRow("GlaserSteD") << "GlaserSteD"
                                    << "DSEG7 Classic";
    }
    void policesDesPostesWindows() {
        QFETCH(QString, demandee);
        QFETCH(QString, dessinee);
        QCOMPARE(Surface::familleReelle(demandee), dessinee);
        QCOMPARE(QFontInfo(Surface::policeReelle(demandee, 10)).family(), dessinee);
        Surface s(100, 100, 96);
        s.setFontName(demandee);
        s.Print(QStringLiteral("8"));
        QCOMPARE(s.FontName(), demandee);
        QCOMPARE(s.textes()[0].police, demandee);
    }

    void journalDesTextes() {
        Surface s(pixels(210, 300), pixels(297, 300), 300);
        QCOMPARE(s.FontName(), QStringLiteral("MS Sans Serif"));
        s.setFontName(QStringLiteral("Arial"));
        s.setFontSize(11.25);
        s.setFontBold(true);
        s.Print(QStringLiteral("Total ttc : 20,00 €"));
        s.setFontBold(false);
        s.NouvellePage();
        QCOMPARE(s.CurrentY(), 0.0);
        s.setScaleMode(Surface::Echelle::Millimetres);
        s.setCurrentX(53);
        s.setCurrentY(6);
        s.Print(QStringLiteral("M : Pull"));
        QCOMPARE(s.textes().size(), 2);
        const Surface::TexteImprime& a = s.textes()[0];
        QCOMPARE(a.texte, QStringLiteral("Total ttc : 20,00 €"));
        QVERIFY(a.gras);
        QCOMPARE(a.police, QStringLiteral("Arial"));
        QCOMPARE(a.taille, 11.25);
        QCOMPARE(a.page, 0);
        QCOMPARE(a.echelle, Surface::Echelle::Twips);
        const Surface::TexteImprime& b = s.textes()[1];
        QVERIFY(!b.gras);
        QCOMPARE(b.page, 1);
        QCOMPARE(b.x, 53.0);
        QCOMPARE(b.y, 6.0);
        QCOMPARE(b.echelle, Surface::Echelle::Millimetres);
        QCOMPARE(s.nombrePages(), 2);
    }

    void valeursInvalidesIgnorees() {
        Surface s(100, 100, 96);
        s.setFontSize(10);
        for (double t : {0.0, -3.0, std::nan(""), std::numeric_limits<double>::infinity()})
            s.setFontSize(t);
        QCOMPARE(s.FontSize(), 10.0);
        s.setFontSize(1e9);
        QVERIFY(s.FontSize() <= 1000);
        QVERIFY(s.TextWidth(QStringLiteral("x")) > 0);
        s.setCurrentX(12);
        s.setCurrentY(34);
        s.setCurrentX(std::nan(""));
        s.setCurrentY(-std::numeric_limits<double>::infinity());
        QCOMPARE(s.CurrentX(), 12.0);
        QCOMPARE(s.CurrentY(), 34.0);
    }

    void ClsEfface() {
        Surface s(pixels(80, 300), pixels(80, 300), 300);
        s.setScaleMode(Surface::Echelle::Millimetres);
        s.LineBF(10, 10, 30, 30, Qt::black);
        s.setCurrentY(40);
        s.Print(QStringLiteral("ESPECES"));
        s.NouvellePage();
        s.Print(QStringLiteral("page 2"));
        QVERIFY(encre(rejouer(s, 300, 80, 80), QRect(0, 0, 1000, 1000)) > 0);
        s.Cls();
        QCOMPARE(s.CurrentX(), 0.0);
        QCOMPARE(s.CurrentY(), 0.0);
        QVERIFY(s.textes().isEmpty());
        QCOMPARE(s.nombrePages(), 1);
        QVERIFY(s.pageVide(0));
        QCOMPARE(s.basDessin(), 0.0);
        QCOMPARE(encre(rejouer(s, 300, 80, 80), QRect(0, 0, 1000, 1000)), 0);
        QCOMPARE(s.scaleMode(), Surface::Echelle::Millimetres);
    }

    void ClsSurUneImprimante() {
        // The printer has nothing to clear: what is drawn stays, and so does the position.
        Surface s(pixels(80, 300), pixels(80, 300), 300);
        s.setImprimante(true);
        s.Print(QStringLiteral("Ticket"));
        const double y = s.CurrentY();
        s.Cls();
        QCOMPARE(s.CurrentY(), y);
        QCOMPARE(s.textes().size(), 1);
        QVERIFY(!s.pageVide(0));
    }

    void rejouerAUneAutreResolution() {
        // Drawn at 300 dpi, shown at 150 dpi: same place in millimetres.
        Surface s(pixels(80, 300), pixels(80, 300), 300);
        s.setScaleMode(Surface::Echelle::Millimetres);
        s.LineBF(30, 10, 10, 20, Qt::black); // corners in any order
        const QImage image = rejouer(s, 150, 80, 80);
        auto px = [](double mm) { return int(pixels(mm, 150)); };
        QCOMPARE(image.pixel(px(20), px(15)), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(px(9), px(15)), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(px(31), px(15)), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(px(20), px(21)), qRgb(255, 255, 255));
        QCOMPARE(encre(image, QRect(0, px(25), image.width(), image.height())), 0);
    }

    void texteDessineAsaPlace() {
        Surface s(pixels(80, 300), pixels(80, 300), 300);
        s.setScaleMode(Surface::Echelle::Millimetres);
        s.setFontName(QStringLiteral("Arial"));
        s.setFontSize(10);
        s.setCurrentX(20);
        s.setCurrentY(30);
        s.PrintSuite(QStringLiteral("HHHH"));
        const QImage image = rejouer(s, 300, 80, 80);
        const int gauche = int(pixels(20, 300)), haut = int(pixels(30, 300));
        const int droite = int(pixels(20 + s.TextWidth(QStringLiteral("HHHH")), 300));
        const int bas = int(pixels(30 + s.TextHeight(), 300));
        QVERIFY(encre(image, QRect(QPoint(gauche, haut), QPoint(droite, bas))) > 100);
        // Nothing above, left or right of the text's box.
        QCOMPARE(encre(image, QRect(0, 0, image.width(), haut)), 0);
        QCOMPARE(encre(image, QRect(0, 0, gauche, image.height())), 0);
        QCOMPARE(encre(image, QRect(droite + 2, 0, image.width(), image.height())), 0);
        QCOMPARE(encre(image, QRect(0, bas + 1, image.width(), image.height())), 0);
    }

    void basDuDessin() {
        Surface s(pixels(80, 300), pixels(200, 300), 300);
        QCOMPARE(s.basDessin(), 0.0);
        s.Print(QStringLiteral("Ligne"));
        s.Print(QStringLiteral("Ligne"));
        QVERIFY(qAbs(s.basDessin() - s.CurrentY()) < 1e-6);
        s.Print(); // empty lines draw nothing
        QVERIFY(s.basDessin() < s.CurrentY());
        s.setScaleMode(Surface::Echelle::Millimetres);
        s.LineBF(0, 100, 10, 120, Qt::black);
        QVERIFY(qAbs(s.basDessin() - 120) < 1e-6);
        s.NouvellePage();
        QCOMPARE(s.basDessin(), 0.0);
        QVERIFY(qAbs(s.basDessinPage(0) - 120) < 1e-6);
    }

    void modificationsSignalees() {
        Surface s(100, 100, 96);
        int appels = 0;
        s.surModification([&appels](const Surface::Modification&) { ++appels; });
        s.Print(QStringLiteral("a"));
        s.LineBF(0, 0, 10, 10, Qt::red);
        s.Cls();
        QCOMPARE(appels, 3);
    }
};

TALMIR_TEST(SurfaceTest)
#include "tst_surface.moc"
