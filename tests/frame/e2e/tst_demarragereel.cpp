#include "support/e2e/programmereel.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>
#include <sqlite3.h>

namespace {
QStringList contenu(const QString& dossier) {
    return QDir(dossier).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
} // namespace

// Start-up and stop of the real program under a window manager.
class TestDemarrageReel : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        if (const QString manque = ProgrammeReel::manque(); !manque.isEmpty())
            QSKIP(qPrintable(QStringLiteral("manque pour lancer le programme : ") + manque));
    }

    void splashDessine() {
        // Another program holds the shop database: start-up waits for it (5 s) with its splash
        // up, which must be drawn by then, not left an empty frame.
        ProgrammeReel p;
        sqlite3* autre = nullptr;
        QCOMPARE(
            sqlite3_open(QFile::encodeName(p.boutique().installation().baseParDefaut()), &autre),
            SQLITE_OK);
        QCOMPARE(sqlite3_exec(autre,
                              "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; UPDATE ARTICLES "
                              "SET EnStock = EnStock WHERE rowid = 1",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QVERIFY2(p.demarrerSansAttendre(), qPrintable(p.erreur()));
        QString splash;
        QVERIFY(p.attendre(
            [&] { return !(splash = p.fenetreVisible("^TALMIR_vestimentaire$")).isEmpty(); }));
        // The splash as the screen shows it while the program waits for the database (5 s):
        // painted, not an empty frame.
        const QString image = p.dossier() + QStringLiteral("/splash.png");
        int peint = 0, points = 0;
        const bool vu = p.attendre(
            [&] {
                QImage vue;
                if (!p.capture(image, splash) || !vue.load(image))
                    return false;
                peint = 0;
                points = vue.width() * vue.height();
                for (int y = 0; y < vue.height(); ++y)
                    for (int x = 0; x < vue.width(); ++x) {
                        // The splash's paper, from (250, 246, 240) at the top to (226, 214, 198).
                        const QColor c = vue.pixelColor(x, y);
                        peint += c.red() >= 220 && c.green() >= 205 && c.blue() >= 190 &&
                                 c.red() > c.blue();
                    }
                return peint > points / 2;
            },
            4000);
        sqlite3_close(autre);
        QVERIFY2(vu, qPrintable(QStringLiteral("%1 points peints sur %2").arg(peint).arg(points)));
    }

    void dossierSansBoutique() {
        // A newcomer's empty folder: the box centred on the screen, nothing written, exit
        // code 1.
        ProgrammeReel p(BoutiqueTest::Base::Aucune);
        const QStringList avant = contenu(p.dossier());
        QVERIFY2(p.demarrerSansAttendre(), qPrintable(p.erreur()));
        // The box, not the splash (600 x 400) that bears the same title for a moment.
        QString boite;
        QRect g;
        QVERIFY(p.attendre([&] {
            boite = p.fenetreVisible(QStringLiteral("^TALMIR_vestimentaire$"));
            g = p.geometrie(boite);
            return g.isValid() && g.size() != QSize(600, 400);
        }));
        QVERIFY2((g.center() - QPoint(1366 / 2, 768 / 2)).manhattanLength() < 40,
                 qPrintable(QStringLiteral("centre de la boîte : %1, %2")
                                .arg(g.center().x())
                                .arg(g.center().y())));
        QVERIFY(p.xdotool({"windowactivate", "--sync", boite, "key", "Return"}));
        QVERIFY(p.processus().waitForFinished(20000));
        QCOMPARE(p.processus().exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.processus().exitCode(), 1);
        QCOMPARE(contenu(p.dossier()), avant);
    }

    void arretParLeSysteme() {
        // A shutdown sends SIGTERM: the program stops as by its close box.
        ProgrammeReel p;
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        p.processus().terminate();
        QVERIFY(p.processus().waitForFinished(20000));
        QCOMPARE(p.processus().exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.processus().exitCode(), 0);
        QCOMPARE(p.journal().size(), 2);
        QVERIFY(p.journal().last().startsWith(QStringLiteral("ARRET CROIX ROUGE |")));
    }
};

TALMIR_TEST(TestDemarrageReel)
#include "tst_demarragereel.moc"
