#include "pagetest.h"
#include "printing/code39.h"
#include "printing/image.h"
#include "printing/surface.h"
#include "support/testmain.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr double dpi = 300;
constexpr double largeurEtiquette = 53, hauteurEtiquette = 30;

int px(double mm) {
    return int(std::lround(mm / 25.4 * dpi));
}

// A label as the label run draws it: background, name, bar code rows from under the first
// line down to 18 mm, the code in clear and the price.
QImage etiquette(const QString& code, double* droite) {
    Surface s(px(largeurEtiquette), px(hauteurEtiquette), dpi);
    s.setScaleMode(Surface::Echelle::Millimetres);
    Image fond;
    if (fond.LoadPicture(QStringLiteral(TALMIR_TEST_DATA "/../../resources/fondetiquette.wmf")))
        s.PaintPicture(fond, 0, 0, largeurEtiquette, hauteurEtiquette);
    s.setFontName(QStringLiteral("Arial"));
    s.setFontSize(8);
    s.setCurrentY(6);
    s.Print(QStringLiteral("XL : Veste en lin"));
    const double module = code39::moduleEnMm(13);
    const double gauche = code39::modulesParCaractere * module; // after one blank character
    const double haut = s.CurrentY();
    if (!code39::dessiner(s, code, gauche, haut, 18 - haut, module))
        return {};
    *droite = gauche + code39::largeurSymbole(int(code.size()), module);
    s.setCurrentY(18);
    s.Print(QStringLiteral("code : ") + code);
    s.setFontSize(10);
    s.setCurrentY(21);
    s.Print(QStringLiteral("Prix : 49,90 €"));
    return pagetest::imageDe(s, px(largeurEtiquette), px(hauteurEtiquette), dpi);
}
} // namespace

class Code39Test : public QObject {
    Q_OBJECT

  private slots:
    void luParUnLecteur_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("code de la boutique") << "ART000123";
        QTest::newRow("court") << "AB12";
        QTest::newRow("chiffres") << "0123456789";
        QTest::newRow("ponctuation") << "A-1.5 $/+%";
    }
    void luParUnLecteur() {
        QFETCH(QString, code);
        const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
        if (zbarimg.isEmpty())
            QSKIP("zbarimg absent (paquet zbar-tools) : lecture des codes non vérifiée");
        double droite = 0;
        const QImage image = etiquette(code, &droite);
        QVERIFY(droite < largeurEtiquette);
        QTemporaryDir dossier;
        const QString png = dossier.filePath(QStringLiteral("etiquette.png"));
        QVERIFY(image.save(png));
        QProcess lecteur;
        lecteur.start(zbarimg,
                      {QStringLiteral("--quiet"), QStringLiteral("--raw"),
                       QStringLiteral("-Sdisable"), QStringLiteral("-Scode39.enable"), png});
        QVERIFY(lecteur.waitForFinished(30000));
        QCOMPARE(QString::fromLatin1(lecteur.readAllStandardOutput()).trimmed(), code);
    }

    void tientSurUneEtiquette() {
        // The longest codes of the shop, with the blank character before them and a quiet
        // zone of ten modules after them.
        const double module = code39::moduleEnMm(13);
        const double largeur =
            (code39::modulesParCaractere + 10) * module + code39::largeurSymbole(9, module);
        QVERIFY2(largeur < largeurEtiquette, qPrintable(QString::number(largeur)));
        QVERIFY(module > 0.19); // wide enough for a common scanner
        QVERIFY(qAbs(code39::moduleEnTwips(13) - 13) < 1e-9);
        QVERIFY(qAbs(code39::moduleEnMm(13) - 13 * 25.4 / 1440) < 1e-12);
    }

    void barres() {
        const double module = 0.25;
        const Resultat<QList<QRectF>> barres =
            code39::barres(QStringLiteral("AB12"), 4, 10, 8, module);
        QVERIFY(barres);
        const QList<QRectF>& r = *barres;
        // Six characters (start and stop included) of five bars each.
        QCOMPARE(r.size(), 30);
        QCOMPARE(r.first().left(), 4.0);
        QVERIFY(qAbs(r.last().right() - 4 - code39::largeurSymbole(4, module)) < 1e-9);
        int larges = 0;
        for (const QRectF& b : r) {
            QCOMPARE(b.top(), 10.0);
            QCOMPARE(b.height(), 8.0);
            QVERIFY(qAbs(b.width() - module) < 1e-9 || qAbs(b.width() - 3 * module) < 1e-9);
            larges += qAbs(b.width() - 3 * module) < 1e-9;
        }
        // Three wide elements a character, bars and spaces together: here, those of the bars.
        QVERIFY(larges > 0 && larges < 18);
    }

    void caracteresRefuses_data() {
        QTest::addColumn<QString>("texte");
        QTest::newRow("minuscules") << "art000123";
        QTest::newRow("étoile") << "A*B";
        QTest::newRow("accent") << "ÉTÉ";
        QTest::newRow("souligné") << "A_B";
        QTest::newRow("tabulation") << "A\tB";
        QTest::newRow("fin de ligne") << "A\nB";
        QTest::newRow("vide") << "";
        QTest::newRow("trop long") << QString(81, u'A');
    }
    void caracteresRefuses() {
        QFETCH(QString, texte);
        QVERIFY(!code39::accepte(texte));
        const Resultat<QList<QRectF>> r = code39::barres(texte, 0, 0, 10, 0.25);
        QVERIFY(!r);
        QVERIFY(r.raison().contains("Code 39"));
        Surface s(100, 100, 96);
        QVERIFY(!code39::dessiner(s, texte, 0, 0, 10, 0.25));
        QVERIFY(s.pageVide(0));
    }

    void toutLeJeuDeCaracteres() {
        const QString jeu = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%");
        QVERIFY(code39::accepte(jeu));
        const Resultat<QList<QRectF>> r = code39::barres(jeu, 0, 0, 10, 1);
        QVERIFY(r);
        QCOMPARE(r->size(), (jeu.size() + 2) * 5);
    }
};

TALMIR_TEST(Code39Test)
#include "tst_code39.moc"
