#include "printing/ui/picturebox.h"
#include "support/testmain.h"

#include <QPaintEvent>
#include <QScreen>
#include <QtTest>

namespace {
QRgb pixel(PictureBox& boite, int x, int y) {
    return boite.grab().toImage().pixel(x, y);
}
} // namespace

// Records the region each paint of a widget covers.
struct Peintures : QObject {
    QRegion region;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

// The box's pixels as the window holds them (what the screen shows), beside the box drawn
// whole: a repaint of part of it must leave the same picture.
QImage affichee(QWidget& fenetre, PictureBox& boite) {
    const QImage tout = fenetre.screen()->grabWindow(fenetre.winId()).toImage();
    return tout.copy(QRect(boite.mapTo(&fenetre, QPoint(0, 0)), boite.size()))
        .convertToFormat(QImage::Format_RGB32);
}
QImage entiere(PictureBox& boite) {
    return boite.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// `n` lines of a ticket, the last one "Total".
void ticket(Surface& s, int n, const QString& total = QStringLiteral("Total")) {
    s.Cls();
    for (int i = 0; i < n; ++i)
        s.Print(QStringLiteral("ligne %1 : robe d'été 55,00 €").arg(i));
    s.Print(total);
}

class PictureBoxTest : public QObject {
    Q_OBJECT

  private slots:
    // A ticket drawn again with one more line repaints the rows from that line down, and the
    // screen shows what a whole repaint shows; drawn again shorter, the rows it lost are cleared.
    void repeintSeulementCeQuiChange() {
        QWidget fenetre;
        fenetre.resize(300, 420);
        PictureBox boite(&fenetre);
        boite.setGeometry(10, 10, 280, 400);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        Surface& s = boite.surface();
        ticket(s, 10);
        QCoreApplication::processEvents();
        const double ligne = s.versPixels(s.TextHeight());
        Peintures p;
        boite.installEventFilter(&p);

        ticket(s, 11);
        QTRY_VERIFY(!p.region.isEmpty());
        QCoreApplication::processEvents();
        const QRect peint = p.region.boundingRect();
        // Line 10 and the total below it, not the ten lines above.
        QVERIFY2(peint.top() >= 10 * ligne - 4 && peint.bottom() <= 12 * ligne + 4,
                 qPrintable(QStringLiteral("%1..%2, ligne %3")
                                .arg(peint.top())
                                .arg(peint.bottom())
                                .arg(ligne)));
        QCOMPARE(affichee(fenetre, boite), entiere(boite));

        // The same again: nothing changed, nothing repainted.
        p.region = QRegion();
        ticket(s, 11);
        QCoreApplication::processEvents();
        QCOMPARE(p.region, QRegion());

        // A changed total alone.
        ticket(s, 11, QStringLiteral("Total 110,00 €"));
        QTRY_VERIFY(!p.region.isEmpty());
        QVERIFY(p.region.boundingRect().top() >= 11 * ligne - 4);

        // Shorter: the lost rows are cleared.
        ticket(s, 4);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(affichee(fenetre, boite), entiere(boite));

        // Grown and moved up by a line, as the till's ticket is after a scan.
        ticket(s, 5);
        const int l = qRound(ligne);
        boite.setGeometry(10, 10 - l, 280, 400 + l);
        QCoreApplication::processEvents();
        QCOMPARE(affichee(fenetre, boite).copy(0, l, 280, 400 - l),
                 entiere(boite).copy(0, l, 280, 400 - l));
    }

    void surfaceALaTailleDeLaBoite() {
        PictureBox boite;
        boite.resize(257, 233);
        const double dpi = boite.logicalDpiY();
        QCOMPARE(boite.surface().dpi(), dpi);
        QVERIFY(qAbs(boite.surface().ScaleWidth() - 257 * 1440 / dpi) < 1e-6);
        QVERIFY(qAbs(boite.surface().ScaleHeight() - 233 * 1440 / dpi) < 1e-6);
        if (dpi == 96)
            QCOMPARE(boite.surface().ScaleWidth(), 257.0 * 15);
        boite.resize(400, 100);
        QVERIFY(qAbs(boite.surface().ScaleWidth() - 400 * 1440 / dpi) < 1e-6);
    }

    void placeEtTailleEnTwipsEtMillimetres() {
        QWidget cadre;
        cadre.resize(600, 600);
        auto* boite = new PictureBox(&cadre);
        const double dpi = boite->logicalDpiY();
        boite->placer(360, 360, 3855, 3495);
        QCOMPARE(boite->x(), qRound(360 * dpi / 1440));
        QCOMPARE(boite->width(), qRound(3855 * dpi / 1440));
        boite->setHeight(3000);
        QCOMPARE(boite->height(), qRound(3000 * dpi / 1440));
        QVERIFY(qAbs(boite->Height() - 3000) <= 1440 / dpi);
        boite->setTop(-1500);
        QCOMPARE(boite->y(), qRound(-1500 * dpi / 1440));
        QVERIFY(qAbs(boite->Top() + 1500) <= 1440 / dpi);
        boite->placer(0, 0, 210, 297, Surface::Echelle::Millimetres);
        QCOMPARE(boite->width(), qRound(210 / 25.4 * dpi));
        QCOMPARE(boite->height(), qRound(297 / 25.4 * dpi));
        QVERIFY(qAbs(boite->surface().ScaleWidth() - 210 / 25.4 * 1440) < 1440 / dpi);
        boite->setHeight(-5); // a negative height is an empty box
        QCOMPARE(boite->height(), 0);
    }

    void dessinGardeJusquAuCls() {
        PictureBox boite;
        boite.resize(200, 200);
        const QRgb fond = boite.palette().color(QPalette::Base).rgb();
        QCOMPARE(boite.couleurFond().rgb(), fond);
        Surface& s = boite.surface();
        s.setScaleMode(Surface::Echelle::Twips);
        s.LineBF(15 * 20, 15 * 20, 15 * 60, 15 * 60, Qt::black);
        QCOMPARE(pixel(boite, 40, 40), qRgb(0, 0, 0));
        QCOMPARE(pixel(boite, 100, 100), fond);
        // Every repaint draws it again: hidden and shown, resized.
        boite.show();
        boite.hide();
        boite.resize(300, 300);
        QCOMPARE(pixel(boite, 40, 40), qRgb(0, 0, 0));
        s.Cls();
        QCOMPARE(pixel(boite, 40, 40), fond);
    }

    void couleurDeFond() {
        PictureBox boite;
        boite.resize(50, 50);
        boite.setCouleurFond(QColor(64, 64, 64));
        QCOMPARE(pixel(boite, 25, 25), qRgb(64, 64, 64));
    }

    void texteAffiche() {
        PictureBox boite;
        boite.resize(300, 60);
        boite.surface().setFontName(QStringLiteral("Arial"));
        boite.surface().setFontSize(12);
        boite.surface().Print(QStringLiteral("TVA : 3,33 €"));
        const QImage image = boite.grab().toImage();
        int encre = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                encre += image.pixel(x, y) != boite.couleurFond().rgb();
        QVERIFY(encre > 50);
    }
};

TALMIR_TEST(PictureBoxTest)
#include "tst_picturebox.moc"
