#include "catalogue/articlesdetest.h"
#include "stock/informationsarticle.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QtTest>

// The description of an article on the inventory tab.
class TestInformationsArticle : public QObject {
    Q_OBJECT
  private slots:
    // An article just saved from the form, as the save hands it to the inventory tab.
    void articleEnregistre() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        const Resultat<Enregistrement> e = enregistrerArticle(b.bdd, pull("ART000043"));
        QVERIFY2(e, qPrintable(e.raison()));
        QCOMPARE(informationsArticle(e->article),
                 QStringLiteral("TVA : 19,6 % \r\nPrix TTC : 29,90 €\r\ntaille :  \r\nCouleur : "
                                "Rouge \r\nFournisseur : \r\nTVA HA : 19,6 % \r\nPrix HT HA : "
                                "12,50 €\r\n"));
    }
};

TALMIR_TEST(TestInformationsArticle)
#include "tst_informationsarticle.moc"
