#include "frame/journal.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The event journal: one line per event, five fields, Windows-1252, CR LF, appended.
class TestJournal : public QObject {
    Q_OBJECT
  private slots:
    void lignes() {
        QTemporaryDir dir;
        HorlogeFixe horloge(QDateTime(QDate(2024, 3, 5), QTime(10, 15, 40)));
        Journal j(dir.path(), horloge);
        QVERIFY(j.ecrireJournal("DEMARRAGE"));
        QVERIFY(j.ecrireJournal("INVENTAIRE", "1532", "1234567", "1"));
        QVERIFY(j.ecrireJournal("INVENTAIRE", "1533", "ÉTÉ'1", "2,5"));
        QFile f(j.chemin());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(),
                 QByteArray("DEMARRAGE |  | 2024-03-05 10:15:40 |  | \r\n"
                            "INVENTAIRE | 1532 | 2024-03-05 10:15:40 | 1234567 | 1\r\n"
                            "INVENTAIRE | 1533 | 2024-03-05 10:15:40 | \xC9T\xC9'1 | 2,5\r\n"));
        QCOMPARE(QFileInfo(j.chemin()).fileName(), QStringLiteral("inventaire.txt"));
    }

    void unEvenementUneLigne() {
        QTemporaryDir dir;
        HorlogeFixe horloge;
        Journal j(dir.path(), horloge);
        QVERIFY(j.ecrireJournal("INVENTAIRE", "1", "A\r\nDEMARRAGE", "1"));
        QFile f(j.chemin());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("\r\n"), 1);
    }

    void ecritureImpossible() {
        QTemporaryDir dir;
        HorlogeFixe horloge;
        QVERIFY(QDir(dir.path()).mkdir("inventaire.txt"));
        Journal j(dir.path(), horloge);
        // The reason is the operator's, in French, with the file concerned.
        const Resultat<> r = j.ecrireJournal("DEMARRAGE");
        QVERIFY(!r);
        QCOMPARE(r.raison(), QStringLiteral("%1 est un dossier, pas un fichier")
                                 .arg(QDir::toNativeSeparators(j.chemin())));
        Journal absent(dir.filePath("pas/de/dossier"), horloge);
        const Resultat<> r2 = absent.ecrireJournal("DEMARRAGE");
        QVERIFY(!r2);
        QCOMPARE(r2.raison(), QStringLiteral("le dossier du fichier %1 n'existe pas")
                                  .arg(QDir::toNativeSeparators(absent.chemin())));
    }
};

TALMIR_TEST(TestJournal)
#include "tst_journal.moc"
