#include "stock/cloture.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QFile>
#include <QtTest>

// The annual closure's copy: its name and the check that it is a shop database.
class TestCloture : public QObject {
    Q_OBJECT
  private slots:
    void nomFichier_data() {
        QTest::addColumn<QDateTime>("quand");
        QTest::addColumn<QString>("nom");
        QTest::newRow("1er mai") << QDateTime(QDate(2024, 5, 1), QTime(14, 30))
                                 << "24122_05_01_14_30.db";
        QTest::newRow("5 janvier")
            << QDateTime(QDate(2024, 1, 5), QTime(9, 5)) << "245_01_05_09_05.db";
        QTest::newRow("fin d'annee bissextile")
            << QDateTime(QDate(2024, 12, 31), QTime(23, 59)) << "24366_12_31_23_59.db";
        QTest::newRow("an 2000 a minuit")
            << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << "001_01_01_00_00.db";
    }
    void nomFichier() {
        QFETCH(QDateTime, quand);
        QFETCH(QString, nom);
        QCOMPARE(cloture::nomFichier(quand), nom);
    }

    void dateDuNom_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QDateTime>("date");
        const QDateTime aucune;
        QTest::newRow("1er mai") << "24122_05_01_14_30.db"
                                 << QDateTime(QDate(2024, 5, 1), QTime(14, 30));
        QTest::newRow("deuxieme de la minute")
            << "24122_05_01_14_30_2.db" << QDateTime(QDate(2024, 5, 1), QTime(14, 30));
        QTest::newRow("copie d'une caisse Windows")
            << "245_01_05_09_05.mdb" << QDateTime(QDate(2024, 1, 5), QTime(9, 5));
        QTest::newRow("jour de l'annee faux") << "24121_05_01_14_30.db" << aucune;
        QTest::newRow("mois impossible") << "2413_13_01_14_30.db" << aucune;
        QTest::newRow("sans extension") << "24122_05_01_14_30" << aucune;
        QTest::newRow("autre fichier") << "note.txt" << aucune;
        QTest::newRow("vide") << "" << aucune;
    }
    void dateDuNom() {
        QFETCH(QString, nom);
        QFETCH(QDateTime, date);
        QCOMPARE(cloture::dateDuNom(nom).value_or(QDateTime()), date);
    }

    void copieVerifiee() {
        // A file that is no database is not taken for a closure.
        BoutiqueTest b;
        QFile f(b.chemin("faux.db"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("pas une base") > 0);
        f.close();
        const Resultat<qint64> faux = cloture::articlesDuFichier(b.chemin("faux.db"));
        QVERIFY(!faux);
        QCOMPARE(faux.raison(), QStringLiteral("le fichier n'est pas une base de données"));
        QVERIFY(!cloture::articlesDuFichier(b.chemin("absent.db")));
        if (!b.surServeur()) {
            QCOMPARE(cloture::articlesDuFichier(b.installation().baseParDefaut()), qint64(0));
            return;
        }
        // A shop on a server has no file: its closure copy is the server's archive.
        QVERIFY(b.ouvrir());
        const Resultat<QString> copie =
            cloture::copier(b.bdd, b.installation(), b.horloge.maintenant());
        QVERIFY2(copie, qPrintable(copie.raison()));
        QVERIFY2(copie->endsWith(QStringLiteral(".dump")), qPrintable(*copie));
        QCOMPARE(Database::articlesDeLArchive(*copie), qint64(0));
    }
};

TALMIR_TEST(TestCloture)
#include "tst_cloture.moc"
