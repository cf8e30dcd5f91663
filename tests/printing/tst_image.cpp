#include "pagetest.h"
#include "printing/image.h"
#include "printing/metafichier.h"
#include "printing/surface.h"
#include "support/testmain.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {
constexpr double dpi = 300;

QString donnee(const QString& nom) {
    return QStringLiteral(TALMIR_TEST_DATA "/") + nom;
}

QByteArray lire(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int px(double mm) {
    return int(mm / 25.4 * dpi);
}

// A 60 x 60 mm page at 300 dpi with the picture stretched into (10, 10)-(50, 50) mm.
QImage peindre(const Image& image) {
    Surface s(px(60), px(60), dpi);
    s.setScaleMode(Surface::Echelle::Millimetres);
    s.PaintPicture(image, 10, 10, 40, 40);
    return pagetest::imageDe(s, px(60), px(60), dpi);
}

using pagetest::encre;

// The pixels outside the picture's rectangle that are not white.
int encreDehors(const QImage& page) {
    const QRect dedans(QPoint(px(10) - 1, px(10) - 1), QPoint(px(50) + 1, px(50) + 1));
    return encre(page, page.rect()) - encre(page, dedans);
}

// The offset of the first record of function `fonction` in a placeable metafile.
qsizetype enregistrement(const QByteArray& wmf, quint16 fonction) {
    qsizetype pos = 22 + 18;
    while (pos + 6 <= wmf.size()) {
        const quint32 taille = qFromLittleEndian<quint32>(wmf.constData() + pos);
        if (qFromLittleEndian<quint16>(wmf.constData() + pos + 4) == fonction)
            return pos;
        if (taille < 3)
            break;
        pos += qsizetype(taille) * 2;
    }
    return -1;
}

void ecrire16(QByteArray& o, qsizetype pos, quint16 v) {
    qToLittleEndian(v, o.data() + pos);
}
void ecrire32(QByteArray& o, qsizetype pos, quint32 v) {
    qToLittleEndian(v, o.data() + pos);
}

// A record inserted before the end record, the header's sizes kept right.
QByteArray avecEnregistrement(QByteArray wmf, quint16 fonction, const QList<quint16>& params) {
    QByteArray r(6 + 2 * params.size(), '\0');
    ecrire32(r, 0, quint32(3 + params.size()));
    ecrire16(r, 4, fonction);
    for (int i = 0; i < params.size(); ++i)
        ecrire16(r, 6 + 2 * i, params[i]);
    const qsizetype fin = enregistrement(wmf, 0x0000);
    wmf.insert(fin, r);
    ecrire32(wmf, 22 + 6, quint32(wmf.size() - 22) / 2);
    ecrire32(wmf, 22 + 12,
             std::max<quint32>(qFromLittleEndian<quint32>(wmf.constData() + 34),
                               quint32(3 + params.size())));
    return wmf;
}
} // namespace

class ImageTest : public QObject {
    Q_OBJECT

  private slots:
    void imageEtireeDansSonRectangle() {
        Image image;
        QVERIFY(image.estNulle());
        QVERIFY(image.LoadPicture(donnee(QStringLiteral("carre.wmf"))));
        QVERIFY(!image.estNulle());
        // A 20 x 20 mm frame: 1134 twips.
        QCOMPARE(qRound(image.tailleTwips().width()), 1134);
        QCOMPARE(qRound(image.tailleTwips().height()), 1134);
        const QImage page = peindre(image);
        QVERIFY(encre(page, QRect(QPoint(px(10), px(10)), QPoint(px(50), px(50)))) > 0);
        QCOMPARE(encreDehors(page), 0);
        // The black square is the middle half of the frame: 20 to 40 mm once stretched.
        QCOMPARE(page.pixel(px(21), px(30)), qRgb(0, 0, 0));
        QCOMPARE(page.pixel(px(39), px(30)), qRgb(0, 0, 0));
        QCOMPARE(page.pixel(px(30), px(21)), qRgb(0, 0, 0));
        QCOMPARE(page.pixel(px(19), px(30)), qRgb(255, 255, 255));
        QCOMPARE(page.pixel(px(41), px(30)), qRgb(255, 255, 255));
        QCOMPARE(page.pixel(px(30), px(41)), qRgb(255, 255, 255));
    }

    void metafichierSansEnTetePlacable() {
        Image image;
        QVERIFY(image.LoadPicture(donnee(QStringLiteral("carre_standard.wmf"))));
        QVERIFY(image.tailleTwips().width() > 0);
        const QImage page = peindre(image);
        QVERIFY(encre(page, page.rect()) > 0);
        QCOMPARE(encreDehors(page), 0);
    }

    void imagesDeLaBoutique_data() {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<double>("largeurMm");
        QTest::addColumn<double>("hauteurMm");
        QTest::newRow("en-tête du ticket") << "enteteimprimante.wmf" << 80.0 << 30.0;
        QTest::newRow("fond d'étiquette") << "fondetiquette.wmf" << 53.0 << 30.0;
        QTest::newRow("textes à échapper") << "symboles.wmf" << 100.0 << 10.0;
    }
    void imagesDeLaBoutique() {
        QFETCH(QString, fichier);
        QFETCH(double, largeurMm);
        QFETCH(double, hauteurMm);
        const QString chemin = fichier == QStringLiteral("symboles.wmf")
                                   ? donnee(fichier)
                                   : QStringLiteral(TALMIR_TEST_DATA "/../../resources/") + fichier;
        Image image;
        QVERIFY(image.LoadPicture(chemin));
        QCOMPARE(qRound(image.tailleTwips().width() * 25.4 / 1440), qRound(largeurMm));
        QCOMPARE(qRound(image.tailleTwips().height() * 25.4 / 1440), qRound(hauteurMm));
        const QImage page = peindre(image);
        QVERIFY(encre(page, page.rect()) > 500);
        QCOMPARE(encreDehors(page), 0);
    }

    void fichierAbsentOuAbime_data() {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<bool>("absent");
        const QByteArray carre = lire(donnee(QStringLiteral("carre.wmf")));
        QVERIFY(!carre.isEmpty());
        const qsizetype rectangle = enregistrement(carre, 0x041B);
        const qsizetype choix = enregistrement(carre, 0x012D);
        QVERIFY(rectangle > 0 && choix > 0);

        QTest::newRow("absent") << QByteArray() << true;
        QTest::newRow("vide") << QByteArray() << false;
        QTest::newRow("texte") << QByteArray("Ceci n'est pas une image") << false;
        QTest::newRow("fourni") << lire(donnee(QStringLiteral("malforme.wmf"))) << false;
        QTest::newRow("en-tête placable seul") << carre.left(22) << false;
        QTest::newRow("tronqué") << carre.left(carre.size() - 10) << false;
        QByteArray cadreVide = carre;
        ecrire16(cadreVide, 10, 0); // right edge at the left edge
        QTest::newRow("cadre vide") << cadreVide << false;
        QByteArray sansFin = carre;
        ecrire16(sansFin, enregistrement(carre, 0x0000) + 4, 0x0001);
        QTest::newRow("sans enregistrement de fin") << sansFin << false;
        QByteArray tailleNulle = carre;
        ecrire32(tailleNulle, rectangle, 0);
        QTest::newRow("enregistrement de taille nulle") << tailleNulle << false;
        QByteArray plusGrand = carre;
        ecrire32(plusGrand, 22 + 12, 4); // the largest record declared smaller than it is
        QTest::newRow("plus grand enregistrement faux") << plusGrand << false;
        QByteArray enormeEnregistrement = carre;
        ecrire32(enormeEnregistrement, 22 + 12, 0x7FFFFFFF);
        QTest::newRow("plus grand enregistrement énorme") << enormeEnregistrement << false;
        QByteArray objet = carre;
        ecrire16(objet, choix + 6, 40);
        QTest::newRow("objet absent") << objet << false;
        QTest::newRow("polygone trop long")
            << avecEnregistrement(carre, 0x0324, {5000, 0, 0, 10, 10}) << false;
        QTest::newRow("polygone vide") << avecEnregistrement(carre, 0x0324, {0}) << false;
        QTest::newRow("texte trop long")
            << avecEnregistrement(carre, 0x0521, {400, 0x4141, 10, 10}) << false;
        QTest::newRow("texte étendu trop long")
            << avecEnregistrement(carre, 0x0A32, {10, 10, 300, 0, 0x4141}) << false;
        QTest::newRow("polygones trop longs")
            << avecEnregistrement(carre, 0x0538, {2, 3, 9000, 0, 0, 5, 5, 9, 9}) << false;
        // A 2000 x 2000 pixel bitmap whose pixels are not in the record.
        QTest::newRow("bitmap tronqué")
            << avecEnregistrement(carre, 0x0F43,
                                  {0x0020, 0x00CC, 0,    10, 10,   0, 0, 10, 10, 0, 0,
                                   40,     0,      2000, 0,  2000, 0, 1, 24, 0,  0, 0,
                                   0,      0,      0,    0,  0,    0, 0, 0,  0})
            << false;
        QTest::newRow("palette trop longue")
            << avecEnregistrement(carre, 0x00F7, {0x0300, 256, 0, 0}) << false;
        QByteArray enorme = carre;
        enorme.append(QByteArray(9 * 1024 * 1024, '\0'));
        QTest::newRow("trop grand") << enorme << false;
    }
    void fichierAbsentOuAbime() {
        QFETCH(QByteArray, octets);
        QFETCH(bool, absent);
        QTemporaryDir dossier;
        const QString chemin = dossier.filePath(QStringLiteral("image.wmf"));
        if (!absent) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(octets);
        }
        Image image;
        QVERIFY(image.LoadPicture(donnee(QStringLiteral("carre.wmf"))));
        const QSizeF avant = image.tailleTwips();
        QVERIFY(!image.LoadPicture(chemin));
        // Refused before libwmf sees the bytes.
        const Resultat<metafichier::Analyse> verifie = metafichier::verifier(octets);
        QVERIFY(absent || !verifie);
        QVERIFY(absent || !verifie.raison().isEmpty());
        // The previous picture stays and is still drawn.
        QVERIFY(!image.estNulle());
        QCOMPARE(image.tailleTwips(), avant);
        QCOMPARE(peindre(image).pixel(px(30), px(30)), qRgb(0, 0, 0));

        Image neuve;
        QVERIFY(!neuve.LoadPicture(chemin));
        QVERIFY(neuve.estNulle());
        QCOMPARE(encre(peindre(neuve), QRect(0, 0, px(60), px(60))), 0);
    }

    void textesDuMetafichier() {
        // Characters that XML reserves and Windows-1252 accents come out as text.
        const QByteArray octets = lire(donnee(QStringLiteral("symboles.wmf")));
        const Resultat<metafichier::Analyse> analyse = metafichier::verifier(octets);
        QVERIFY(analyse);
        QVERIFY(analyse->placable);
        const Resultat<metafichier::Svg> converti = metafichier::versSvg(octets, *analyse);
        QVERIFY(converti);
        const QString svg = QString::fromUtf8(converti->document);
        QVERIFY(svg.contains(
            QStringLiteral("Prix &amp; &lt;remise&gt; à 10 % &quot;été&quot;</text>")));
        QVERIFY(!svg.contains(QStringLiteral("fill-opacity")));
    }

    void octetsAbimesAuHasard() {
        // Bytes changed at random in sound pictures: loaded or refused, never a crash.
        QTemporaryDir dossier;
        const QString chemin = dossier.filePath(QStringLiteral("image.wmf"));
        QRandomGenerator hasard(39);
        for (const QString& source :
             {donnee(QStringLiteral("carre.wmf")), donnee(QStringLiteral("symboles.wmf")),
              QStringLiteral(TALMIR_TEST_DATA "/../../resources/enteteimprimante.wmf")}) {
            const QByteArray sain = lire(source);
            QVERIFY(!sain.isEmpty());
            for (int essai = 0; essai < 100; ++essai) {
                QByteArray octets = sain;
                for (int n = 1 + hasard.bounded(4); n > 0; --n)
                    octets[hasard.bounded(int(octets.size()))] = char(hasard.bounded(256));
                QFile f(chemin);
                QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                f.write(octets);
                f.close();
                Image image;
                if (image.LoadPicture(chemin))
                    peindre(image);
            }
        }
    }

    void copiePartagee() {
        // A copy draws the same picture; loading another into the original leaves it.
        Image a;
        QVERIFY(a.LoadPicture(donnee(QStringLiteral("carre.wmf"))));
        const Image b = a;
        QVERIFY(
            a.LoadPicture(QStringLiteral(TALMIR_TEST_DATA "/../../resources/fondetiquette.wmf")));
        QCOMPARE(qRound(b.tailleTwips().width()), 1134);
        QCOMPARE(peindre(b).pixel(px(30), px(30)), qRgb(0, 0, 0));
    }
};

TALMIR_TEST(ImageTest)
#include "tst_image.moc"
