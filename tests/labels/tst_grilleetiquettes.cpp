#include "labels/grilleetiquettes.h"
#include "support/testmain.h"

#include <QtTest>

// The sheet's arithmetic: where a run starts, how positions follow, how many sheets it takes.
class TestGrilleEtiquettes : public QObject {
    Q_OBJECT
  private slots:
    void positionDepart_data() {
        QTest::addColumn<QString>("reglage");
        QTest::addColumn<int>("position");
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("cinq") << "5" << 5;
        QTest::newRow("blanc devant") << " 5" << 5;
        QTest::newRow("trente-quatre") << "34" << 34;
        QTest::newRow("trente-cinq") << "35" << 35;
        QTest::newRow("une feuille") << "36" << 0;
        QTest::newRow("quarante") << "40" << 4;
        QTest::newRow("deux feuilles et trois") << "75" << 3;
        QTest::newRow("negatif") << "-5" << 0;
        QTest::newRow("negatif au-dela d'une feuille") << "-41" << 0;
        QTest::newRow("lettres") << "abc" << 0;
        QTest::newRow("vide") << "" << 0;
        QTest::newRow("chiffres puis lettres") << "3abc" << 3;
        QTest::newRow("arrondi") << "4.6" << 5;
        QTest::newRow("moitie vers le pair") << "4.5" << 4;
        QTest::newRow("arrondi a une feuille") << "35.6" << 0;
        QTest::newRow("virgule") << "7,9" << 7;
        QTest::newRow("enorme") << "99999999999999999999" << 0;
        QTest::newRow("hors des doubles") << "1e999" << 0;
        QTest::newRow("hexadecimal") << "&H0A" << 10;
    }
    void positionDepart() {
        QFETCH(QString, reglage);
        QFETCH(int, position);
        QCOMPARE(grille::positionDepart(reglage), position);
    }

    void positionsLeLongDesRangees() {
        grille::Position p;
        QList<int> vues;
        bool pleine = false;
        for (int i = 0; i < grille::positions && !pleine; ++i) {
            vues << p.numero();
            pleine = p.avancer();
        }
        QVERIFY(pleine);
        QCOMPARE(vues.size(), 36);
        QCOMPARE(vues.last(), 35);
        // Back at the top left of the next sheet.
        QCOMPARE(p.numero(), 0);
        const grille::Position cinq = grille::Position::depuisNumero(5);
        QCOMPARE(cinq.colonne, 1);
        QCOMPARE(cinq.ligne, 1);
        QCOMPARE(cinq.x(), 53.0);
        QCOMPARE(cinq.y(), 30.0);
        const grille::Position derniere = grille::Position::depuisNumero(35);
        QCOMPARE(derniere.x(), 159.0);
        QCOMPARE(derniere.y(), 240.0);
    }

    void nombreFeuilles_data() {
        QTest::addColumn<int>("depart");
        QTest::addColumn<qint64>("etiquettes");
        QTest::addColumn<qint64>("feuilles");
        QTest::newRow("rien") << 0 << qint64(0) << qint64(0);
        QTest::newRow("rien en milieu de feuille") << 20 << qint64(0) << qint64(0);
        QTest::newRow("une") << 0 << qint64(1) << qint64(1);
        QTest::newRow("une feuille pleine") << 0 << qint64(36) << qint64(1);
        QTest::newRow("deborde") << 34 << qint64(5) << qint64(2);
        QTest::newRow("finit en 35") << 31 << qint64(5) << qint64(1);
        QTest::newRow("mille") << 0 << qint64(1000) << qint64(28);
        QTest::newRow("un million") << 0 << qint64(1000000) << qint64(27778);
        QTest::newRow("sature") << 35 << std::numeric_limits<qint64>::max()
                                << std::numeric_limits<qint64>::max() / 36 + 1;
    }
    void nombreFeuilles() {
        QFETCH(int, depart);
        QFETCH(qint64, etiquettes);
        QFETCH(qint64, feuilles);
        QCOMPARE(grille::nombreFeuilles(depart, etiquettes), feuilles);
    }
};

TALMIR_TEST(TestGrilleEtiquettes)
#include "tst_grilleetiquettes.moc"
