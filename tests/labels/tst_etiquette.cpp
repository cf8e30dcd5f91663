#include "labels/etiquette.h"
#include "labels/etiquettestest.h"
#include "labels/tirageetiquettes.h"
#include "printing/image.h"
#include "printing/surface.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QFile>
#include <QtTest>

using namespace etiquettestest;

namespace {
constexpr double dpi = 300;

bool sombre(const QImage& image, double xmm, double ymm) {
    return qGray(image.pixel(int(xmm / 25.4 * dpi), int(ymm / 25.4 * dpi))) < 128;
}

bool blanc(const QImage& image, double xmm, double ymm) {
    return qGray(image.pixel(int(xmm / 25.4 * dpi), int(ymm / 25.4 * dpi))) > 250;
}

// The first and last dark points along a line of the page, in millimetres (-1 when none).
QPair<double, double> partieSombre(const QImage& image, bool horizontale, double fixe, double debut,
                                   double fin) {
    const double pas = 25.4 / dpi;
    double premier = -1, dernier = -1;
    for (double v = debut; v <= fin; v += pas) {
        if (horizontale ? sombre(image, v, fixe) : sombre(image, fixe, v)) {
            if (premier < 0)
                premier = v;
            dernier = v;
        }
    }
    return {premier, dernier};
}

struct Sortie {
    std::unique_ptr<Surface> fond =
        std::make_unique<Surface>(210 / 25.4 * dpi, 297 / 25.4 * dpi, dpi);
    BilanTirage bilan;
};

// A preview run of the shop as it stands.
Sortie apercu(BoutiqueTest& b) {
    Sortie s;
    Image images;
    s.bilan = TirageEtiquettes(b.services()).imprimer(*s.fond, images);
    return s;
}

QStringList textes(const Surface& s) {
    QStringList t;
    for (const Surface::TexteImprime& l : s.textes())
        t << l.texte;
    return t;
}
} // namespace

// What one label shows: its texts and their places, the bar code, the background.
class TestEtiquette : public QObject {
    Q_OBJECT
  private slots:
    void textes_data() {
        QTest::addColumn<QVariant>("taille");
        QTest::addColumn<QVariant>("libelle");
        QTest::addColumn<QVariant>("prix");
        QTest::addColumn<QStringList>("attendus");
        const QVariant nul{QMetaType(QMetaType::QString)};
        QTest::newRow("prix entier") << QVariant("M") << QVariant("Pull") << QVariant(7.0)
                                     << QStringList{"M : Pull", "code : AB12", "Prix : 7,00 €"};
        QTest::newRow("deux decimales")
            << QVariant("42") << QVariant("Jean") << QVariant(12.5)
            << QStringList{"42 : Jean", "code : AB12", "Prix : 12,50 €"};
        QTest::newRow("trois decimales")
            << QVariant("S") << QVariant("Gilet") << QVariant(12.505)
            << QStringList{"S : Gilet", "code : AB12", "Prix : 12,505 €"};
        QTest::newRow("taille nulle") << nul << QVariant("Pull") << QVariant(7.0)
                                      << QStringList{" : Pull", "code : AB12", "Prix : 7,00 €"};
        QTest::newRow("prix nul") << QVariant("M") << QVariant("Pull") << nul
                                  << QStringList{"M : Pull", "code : AB12", "Prix : "};
        QTest::newRow("tout nul") << nul << nul << nul
                                  << QStringList{" : ", "code : AB12", "Prix : "};
        QTest::newRow("fin de ligne dans le nom")
            << QVariant("M") << QVariant("Pull\r\nlaine") << QVariant(0.0)
            << QStringList{"M : Pull  laine", "code : AB12", "Prix : 0,00 €"};
    }
    void textes() {
        QFETCH(QVariant, taille);
        QFETCH(QVariant, libelle);
        QFETCH(QVariant, prix);
        QFETCH(QStringList, attendus);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "AB12", 1, taille, libelle, prix));
        Sortie s = apercu(b);
        QCOMPARE(::textes(*s.fond), attendus);
    }

    void placesEtPolices() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "AB12", 1));
        reglerSautees(b, " 5"); // column 1 of row 1
        Sortie s = apercu(b);
        const QList<Surface::TexteImprime>& t = s.fond->textes();
        QCOMPARE(t.size(), 3);
        struct Attendu {
            double y;
            double taille;
        } attendus[] = {{36, 8}, {48, 8}, {51, 10}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(t[i].x, 53.0);
            QCOMPARE(t[i].y, attendus[i].y);
            QCOMPARE(t[i].police, QStringLiteral("Arial"));
            QCOMPARE(t[i].taille, attendus[i].taille);
            QVERIFY(!t[i].gras);
            QCOMPARE(t[i].echelle, Surface::Echelle::Millimetres);
        }
    }

    void nomTropLongCoupeALaLargeur() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "AB12", 1, "XL", QString(300, u'W'), 1234567.891));
        Sortie s = apercu(b);
        const QList<Surface::TexteImprime>& t = s.fond->textes();
        QVERIFY(t[0].texte.startsWith("XL : WWW"));
        QVERIFY(t[0].texte.size() < 100);
        Surface mesure(100, 100, dpi);
        mesure.setScaleMode(Surface::Echelle::Millimetres);
        mesure.setFontName("Arial");
        mesure.setFontSize(8);
        QVERIFY(mesure.TextWidth(t[0].texte) <= 53);
        QVERIFY(mesure.TextWidth(t[0].texte + u'W') > 53);
        QCOMPARE(t[2].texte, QStringLiteral("Prix : 1234567,891 €"));
    }

    void codeBarreDansLaCellule() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "A", 1, QVariant(), QVariant()));
        reglerSautees(b, "6"); // column 2 of row 1: x0 = 106, y0 = 30
        Sortie s = apercu(b);
        QVERIFY(s.bilan.sansCodeBarre.isEmpty());
        const QImage image = rendre(*s.fond, dpi);
        // A white zone one 13-point "*" wide (16 modules of 0.229 mm) before the first bar.
        const auto [gauche, droite] = partieSombre(image, true, 30 + 13, 106, 159);
        QVERIFY2(qAbs(gauche - (106 + 16 * 0.2293)) < 0.15, qPrintable(QString::number(gauche)));
        // *A*: three characters of 16 modules less the last gap.
        QVERIFY2(qAbs(droite - gauche - 47 * 0.2293) < 0.15, qPrintable(QString::number(droite)));
        // The bars run from under the article line to the foot of the third row, clear of the
        // code line at 18 mm.
        const auto [haut, bas] = partieSombre(image, false, gauche + 0.05, 30, 30 + 17.95);
        QVERIFY2(haut > 30 + 8.5 && haut < 30 + 10, qPrintable(QString::number(haut)));
        QVERIFY2(bas > 30 + 17.3 && bas < 30 + 18, qPrintable(QString::number(bas)));
    }

    void codeLongAuxBarresPlusFines() {
        const QString ean = QStringLiteral("3760000000925");
        const double module = etiquette::moduleCodeBarre(ean);
        QVERIFY(module >= 0.19 && module < 0.2293);
        // The symbol ends 3 mm before the label's right border, on the page in the fourth
        // column.
        QVERIFY(16 * 0.2293 + (15 * 16 - 1) * module <= 49.2001);
        QCOMPARE(etiquette::moduleCodeBarre("ART000017"), 13 / 72.0 * 0.8 / 16 * 25.4);
    }

    void sansCodeBarre_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("accent") << "É1";
        QTest::newRow("souligne") << "A_1";
        QTest::newRow("etoile") << "A*1";
        QTest::newRow("trop long pour l'etiquette") << "ABCDEFGHIJKLMN";
        QTest::newRow("vide") << "";
    }
    void sansCodeBarre() {
        QFETCH(QString, code);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, code, 2));
        b.dialogues.reponses = {Dialogues::Reponse::Ok, Dialogues::Reponse::Non};
        Image images;
        const BilanTirage bilan = TirageEtiquettes(b.services()).imprimer(b.imprimantes, images);
        // The labels are there, without bars; the operator is told once which article.
        QCOMPARE(bilan.sansCodeBarre, QStringList{code});
        QCOMPARE(placements(*b.imprimantes.travaux[0].surface),
                 QStringLiteral("0:%1 1:%1").arg(code));
        QCOMPARE(b.dialogues.boites.size(), 2);
        QVERIFY(b.dialogues.boites[0].texte.endsWith(QStringLiteral("\n« %1 »").arg(code)));
        const QImage image = rendre(*b.imprimantes.travaux[0].surface, dpi);
        QCOMPARE(partieSombre(image, true, 13, 0, 210).first, -1.0);
    }

    void petitesLettresEnCapitales() {
        ArticleEtiquette a;
        a.code = QStringLiteral("ab12-xé");
        QCOMPARE(etiquette::texteCodeBarre(a), QStringLiteral("AB12-Xé"));
        a.code = QStringLiteral("straße");
        QCOMPARE(etiquette::texteCodeBarre(a), QStringLiteral("STRAßE"));
        QCOMPARE(etiquette::moduleCodeBarre(etiquette::texteCodeBarre(a)), 0.0);
    }

    void fondEtireDansLaCellule() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "A", 1, QVariant(), QVariant()));
        reglerSautees(b, "5"); // x0 = 53, y0 = 30
        QVERIFY(QFile::copy(QStringLiteral(TALMIR_TESTS "/labels/carre.wmf"),
                            b.chemin("fondetiquette.wmf")));
        const QImage image = rendre(*apercu(b).fond, dpi);
        // The 20 x 20 mm picture's black middle square, stretched to 53 x 30 mm, covers
        // 13.25 to 39.75 mm across and 7.5 to 22.5 mm down.
        QVERIFY(!blanc(image, 53 + 30, 30 + 20));
        QVERIFY(!blanc(image, 53 + 13.6, 30 + 22.2));
        QVERIFY(blanc(image, 53 + 12.9, 30 + 20));
        QVERIFY(blanc(image, 53 + 40.1, 30 + 20));
        QVERIFY(blanc(image, 53 + 30, 30 + 22.9));
    }

    void fondDeLaBoutiqueHorsDesTextes() {
        // The shop's label background leaves the texts and the bars clear: nothing of it
        // within the box of any text (the whole width of the label for a long name) nor near
        // any dark point of the texts and bars.
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "ART000123", 1, QStringLiteral("WWWWW"),
                        QStringLiteral("Manteau long en laine mérinos, doublure matelassée"),
                        9999.99));
        Sortie sansFond = apercu(b);
        const QImage textes = rendre(*sansFond.fond, dpi);
        QVERIFY(QFile::copy(QStringLiteral(TALMIR_TEST_DATA "/../../resources/fondetiquette.wmf"),
                            b.chemin("fondetiquette.wmf")));
        Image image;
        QVERIFY(image.LoadPicture(b.chemin("fondetiquette.wmf")));
        Surface seul(210 / 25.4 * dpi, 297 / 25.4 * dpi, dpi);
        seul.setScaleMode(Surface::Echelle::Millimetres);
        seul.PaintPicture(image, 0, 0, 53, 30);
        const QImage fond = rendre(seul, dpi);
        // The background is drawn at all.
        int encre = 0;
        for (int y = 0; y < int(30 / 25.4 * dpi); ++y)
            for (int x = 0; x < int(53 / 25.4 * dpi); ++x)
                encre += qGray(fond.pixel(x, y)) < 240;
        QVERIFY(encre > 100);

        auto pixel = [](double mm) { return int(std::lround(mm / 25.4 * dpi)); };
        Surface mesure(100, 100, dpi);
        mesure.setScaleMode(Surface::Echelle::Millimetres);
        for (const Surface::TexteImprime& t : sansFond.fond->textes()) {
            mesure.setFontName(t.police);
            mesure.setFontSize(t.taille);
            const QRect boite(QPoint(pixel(t.x), pixel(t.y)),
                              QPoint(pixel(t.x + std::min(53.0, mesure.TextWidth(t.texte))),
                                     pixel(t.y + mesure.TextHeight(t.texte))));
            for (int y = boite.top(); y <= boite.bottom(); ++y)
                for (int x = boite.left(); x <= boite.right(); ++x)
                    if (qGray(fond.pixel(x, y)) <= 240)
                        QFAIL(qPrintable(QStringLiteral("« %1 » : fond à %2 × %3 mm")
                                             .arg(t.texte)
                                             .arg(x * 25.4 / dpi, 0, 'f', 2)
                                             .arg(y * 25.4 / dpi, 0, 'f', 2)));
        }
        const int marge = pixel(0.3);
        for (int y = 0; y < pixel(30); ++y)
            for (int x = 0; x < pixel(53); ++x) {
                if (qGray(textes.pixel(x, y)) >= 128)
                    continue;
                for (int dy = -marge; dy <= marge; ++dy)
                    for (int dx = -marge; dx <= marge; ++dx) {
                        const QPoint p(x + dx, y + dy);
                        if (fond.rect().contains(p) && qGray(fond.pixel(p)) <= 240)
                            QFAIL(qPrintable(QStringLiteral("le fond touche le texte à %1 × %2 mm")
                                                 .arg(x * 25.4 / dpi, 0, 'f', 2)
                                                 .arg(y * 25.4 / dpi, 0, 'f', 2)));
                    }
            }
    }

    void fondAbsentOuIllisible_data() {
        QTest::addColumn<QByteArray>("contenu");
        QTest::newRow("absent") << QByteArray();
        QTest::newRow("illisible") << QByteArray("\xd7\xcd\xc6\x9a pas une image");
        QTest::newRow("vide") << QByteArray("");
    }
    void fondAbsentOuIllisible() {
        QFETCH(QByteArray, contenu);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouter(b, "A", 2));
        if (!contenu.isNull()) {
            QFile f(b.chemin("fondetiquette.wmf"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenu);
        }
        Sortie s = apercu(b);
        QCOMPARE(placements(*s.fond), QStringLiteral("0:A 1:A"));
        const QImage image = rendre(*s.fond, dpi);
        QVERIFY(!sombre(image, 30, 20));                     // no picture
        QVERIFY(sombre(image, 53 + 16 * 0.2293 + 0.05, 13)); // the first bar
    }
};

TALMIR_TEST(TestEtiquette)
#include "tst_etiquette.moc"
