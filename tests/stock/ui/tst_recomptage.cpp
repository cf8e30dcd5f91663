#include "stock/ui/inventairetab.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The stock total of the Inventaire tab, recounted from the database.
class TestRecomptage : public QObject {
    Q_OBJECT
  private slots:
    void apresComptage() {
        // Three articles counted from a zero stock: the recount shows the counted figure.
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, EnStock) VALUES "
                      "('A1', 'Pull', 0), ('A2', 'Jupe', 0)"));
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        auto* code = tab.findChild<QLineEdit*>("InventaireCodeArticle");
        auto* total = tab.findChild<QLabel*>("nbreinventairetotal");
        for (const char* c : {"A1", "A2", "A1"}) {
            code->setText(c);
            tab.InventaireCodeArticle_KeyPress(13);
        }
        const QString compte = total->text();
        total->setText("0");
        tab.findChild<QPushButton*>("inventaireCalculer")->click();
        QCOMPARE(total->text(), QStringLiteral("3"));
        QCOMPARE(compte, QStringLiteral("3"));
    }

    void sommes_data() {
        QTest::addColumn<QString>("stocks"); // values of EnStock, "" for none
        QTest::addColumn<bool>("ouverte");
        QTest::addColumn<QString>("affiche");
        QTest::newRow("entiers") << "3,NULL,4" << true << "7";
        QTest::newRow("fractions") << "2.5,1" << true << "3,5";
        QTest::newRow("negatif") << "-2,1" << true << "-1";
        QTest::newRow("aucun article: inchange") << "" << true << "inchangé";
        QTest::newRow("stocks tous Null: inchange") << "NULL,NULL" << true << "inchangé";
        QTest::newRow("base fermee: inchange") << "5" << false << "inchangé";
    }
    void sommes() {
        QFETCH(QString, stocks);
        QFETCH(bool, ouverte);
        QFETCH(QString, affiche);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        for (const QString& v : stocks.split(u',', Qt::SkipEmptyParts))
            QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, EnStock) VALUES ('X', " + v + ")"));
        if (!ouverte)
            b.bdd.fermer();
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        auto* total = tab.findChild<QLabel*>("nbreinventairetotal");
        total->setText("inchangé");
        tab.inventaireCalculer_Click();
        QCOMPARE(total->text(), affiche);
    }
};

TALMIR_TEST(TestRecomptage)
#include "tst_recomptage.moc"
