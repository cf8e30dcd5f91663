#include "register/ui/afficheurlcd.h"
#include "support/testmain.h"

#include <QPainter>
#include <QtTest>

// The till's digit displays draw their characters from images made once: what shows must be
// what Qt draws for the text, wherever the digits stand, and must follow the display's colour
// and size when they change.
class TestAfficheurLcd : public QObject {
    Q_OBJECT

    static constexpr QRgb kFond = 0xff008080;

    // The pixels of an image of the display that are plainly ink, not background.
    struct Encre {
        QImage image;
        bool a(int x, int y) const {
            if (!image.rect().contains(x, y))
                return false;
            const QRgb p = image.pixel(x, y);
            return std::abs(qRed(p) - qRed(kFond)) + std::abs(qGreen(p) - qGreen(kFond)) +
                       std::abs(qBlue(p) - qBlue(kFond)) >
                   150;
        }
        QRect boite() const {
            QRect b;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (a(x, y))
                        b |= QRect(x, y, 1, 1);
            return b;
        }
        // The first ink pixel with no ink of `autre` within a pixel of it, if any.
        std::optional<QPoint> sansVoisin(const Encre& autre) const {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    if (!a(x, y))
                        continue;
                    bool voisin = false;
                    for (int dy = -1; dy <= 1 && !voisin; ++dy)
                        for (int dx = -1; dx <= 1 && !voisin; ++dx)
                            voisin = autre.a(x + dx, y + dy);
                    if (!voisin)
                        return QPoint(x, y);
                }
            return std::nullopt;
        }
    };
    static bool contient(const QImage& image, QColor couleur) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == couleur.rgb())
                    return true;
        return false;
    }
    static QImage vue(AfficheurLcd& a) {
        QImage i(a.size(), QImage::Format_RGB32);
        a.render(&i);
        return i;
    }
    // The text as Qt draws it in the display's face: right-aligned, its ink centred in height.
    static QImage texteDessine(const AfficheurLcd& a, const QString& texte) {
        QImage i(a.size(), QImage::Format_RGB32);
        i.fill(kFond);
        QPainter p(&i);
        p.setPen(a.palette().color(QPalette::WindowText));
        p.setFont(a.font());
        const QFontMetricsF m(a.font());
        const QRectF zone = a.contentsRect();
        p.drawText(QPointF(zone.right() - m.horizontalAdvance(texte),
                           zone.center().y() - m.tightBoundingRect(texte).center().y()),
                   texte);
        return i;
    }
    // Every ink pixel of each image lies within a pixel of ink of the other.
    static void comparer(const QImage& vu, const QImage& attendu) {
        const Encre v{vu}, a{attendu};
        const std::optional<QPoint> manque = a.sansVoisin(v), trop = v.sansVoisin(a);
        QVERIFY(!a.boite().isEmpty());
        QVERIFY2(!manque, qPrintable(QStringLiteral("encre manquante en %1, %2")
                                         .arg(manque ? manque->x() : 0)
                                         .arg(manque ? manque->y() : 0)));
        QVERIFY2(!trop, qPrintable(QStringLiteral("encre en trop en %1, %2")
                                       .arg(trop ? trop->x() : 0)
                                       .arg(trop ? trop->y() : 0)));
    }

  private slots:
    void commeLeTexte_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("gras");
        QTest::newRow("total à zéro") << "0,00 " << 48.0 << false;
        QTest::newRow("chaque chiffre") << "1234567,89 " << 27.0 << true;
        QTest::newRow("négatif") << "-15,50 " << 27.0 << true;
        QTest::newRow("un chiffre répété") << "88888" << 14.25 << false;
    }
    void commeLeTexte() {
        QFETCH(QString, texte);
        QFETCH(double, points);
        QFETCH(bool, gras);
        AfficheurLcd a(QStringLiteral("total"), texte, points, gras, Qt::white, kFond, nullptr);
        a.resize(1400, 200);
        QString affiche = texte;
        affiche.replace(u',', u'.');
        comparer(vue(a), texteDessine(a, affiche));
        // Drawn again from the images already made, and after another text of the same
        // characters.
        comparer(vue(a), texteDessine(a, affiche));
        std::reverse(affiche.begin(), affiche.end());
        a.setText(affiche);
        comparer(vue(a), texteDessine(a, affiche));
    }

    // A new colour or a new size (the window made larger) draws the characters anew.
    void suitCouleurEtTaille() {
        AfficheurLcd a(QStringLiteral("prix"), QStringLiteral("45,20 "), 27, true, Qt::white, kFond,
                       nullptr);
        a.resize(600, 160);
        comparer(vue(a), texteDessine(a, QStringLiteral("45.20 ")));
        QPalette p = a.palette();
        p.setColor(QPalette::WindowText, Qt::yellow);
        a.setPalette(p);
        const QImage jaune = vue(a);
        // Full ink is yellow now, nowhere white.
        QVERIFY(contient(jaune, Qt::yellow));
        QVERIFY(!contient(jaune, Qt::white));
        comparer(jaune, texteDessine(a, QStringLiteral("45.20 ")));
        QFont f = a.font();
        f.setPointSizeF(40);
        a.setFont(f);
        comparer(vue(a), texteDessine(a, QStringLiteral("45.20 ")));
    }

    // An amount too long for the display is drawn smaller, whole, inside it.
    void tropLongPourLAfficheur() {
        AfficheurLcd a(QStringLiteral("total"), QStringLiteral("123456789,00 "), 48, false,
                       Qt::white, kFond, nullptr);
        a.resize(300, 120);
        const QRect court = Encre{vue(a)}.boite();
        QVERIFY(!court.isEmpty());
        QVERIFY(a.contentsRect().contains(court));
        QVERIFY(court.width() > a.width() / 2);
        // Each character still has its own image: the shorter text that follows is drawn
        // at the display's full size again, as Qt draws it.
        a.resize(1400, 200);
        a.setText(QStringLiteral("9,00 "));
        comparer(vue(a), texteDessine(a, QStringLiteral("9.00 ")));
    }
};

TALMIR_TEST(TestAfficheurLcd)
#include "tst_afficheurlcd.moc"
