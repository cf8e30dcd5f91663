#include "common/cp1252.h"
#include "stock/exportinventaire.h"
#include "stock/inventairedetest.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// The inventory listing: its exact lines against the files kept with the tests, and its totals.
class TestExportInventaire : public QObject {
    Q_OBJECT
  private slots:
    // Each tests/data/stock/<cas>.sql fills a new shop whose listing must be <cas>.csv.
    void lignes_data() {
        QTest::addColumn<QString>("cas");
        const QStringList cas =
            QDir(donnees({})).entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
        QVERIFY(!cas.isEmpty());
        for (const QString& f : cas)
            QTest::newRow(qPrintable(f)) << QFileInfo(f).completeBaseName();
    }
    void lignes() {
        QFETCH(QString, cas);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(remplir(b, donnees(cas + QStringLiteral(".sql"))));
        const QString sortie = b.chemin(QStringLiteral("inventaire.csv"));
        const Resultat<> ecrit = exportinventaire::ecrire(b.bdd, sortie);
        QVERIFY2(ecrit, qPrintable(ecrit.raison()));
        const QByteArray attendu = lire(donnees(cas + QStringLiteral(".csv")));
        const QByteArray obtenu = lire(sortie);
        if (obtenu != attendu) {
            QFile::remove(donnees(cas + QStringLiteral(".obtenu")));
            QFile::copy(sortie, donnees(cas + QStringLiteral(".obtenu")));
        }
        QCOMPARE(depuisWindows1252(obtenu), depuisWindows1252(attendu));
        QCOMPARE(obtenu, attendu);
    }

    void totauxSousLesColonnesMonnaie() {
        // 40 articles: the formulas cover lines 2 to 41 under the two price columns only.
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        for (int i = 0; i < 40; ++i)
            QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, PrixHAHT, "
                          "EnStock) VALUES (?, 'T-shirt', 10, 2.5, 1)",
                          {QStringLiteral("A%1").arg(i, 2, 10, QChar(u'0'))}));
        const auto lignes = exportinventaire::lignes(b.bdd);
        QVERIFY(lignes);
        QCOMPARE(lignes->size(), 44);
        QCOMPARE(lignes->at(41), QString());
        QCOMPARE(lignes->at(43), QStringLiteral(",,,,,,=somme(G2:G41),,=somme(I2:I41),,,,\"100\""));
    }
};

TALMIR_TEST(TestExportInventaire)
#include "tst_exportinventaire.moc"
