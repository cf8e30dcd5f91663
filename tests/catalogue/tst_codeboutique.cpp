#include "catalogue/articlesdetest.h"
#include "catalogue/codeboutique.h"
#include "support/testmain.h"

#include <QDir>
#include <QtTest>

// The shop's next article code.
class TestCodeBoutique : public QObject {
    Q_OBJECT
  private slots:
    // The arithmetic from the greatest "ART" code: the six characters after "ART", padded on
    // the right, plus one.
    void suivant_data() {
        QTest::addColumn<QVariant>("maximum");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("aucun") << QVariant() << "ART000001";
        QTest::newRow("suivant") << QVariant("ART000041") << "ART000042";
        QTest::newRow("retenue") << QVariant("ART000999") << "ART001000";
        QTest::newRow("suffixe court") << QVariant("ART12") << "ART120001";
        QTest::newRow("suffixe long") << QVariant("ART1234567") << "ART123457";
        QTest::newRow("sept chiffres") << QVariant("ART999999") << "ART1000000";
        QTest::newRow("lettres") << QVariant("ARTICLE1") << "ART000001";
        QTest::newRow("minuscules") << QVariant("art000050") << "ART000051";
        QTest::newRow("blanc final") << QVariant("ART000041 ") << "ART000042";
        QTest::newRow("signe") << QVariant("ART-5") << "";
        QTest::newRow("exposant") << QVariant("ART12E3") << "";
    }
    void suivant() {
        QFETCH(QVariant, maximum);
        QFETCH(QString, attendu);
        QCOMPARE(codeboutique::suivant(maximum).value_or(QString()), attendu);
    }

    // A new code is never one that an article already has.
    void nouveau_data() {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("supprime"); // the greatest deleted code kept
        QTest::addColumn<QString>("attendu");
        QTest::newRow("boutique vide") << QStringList{} << ""
                                       << "ART000001";
        QTest::newRow("plus grand") << QStringList{"ART000041", "ART000007"} << ""
                                    << "ART000042";
        QTest::newRow("minuscules") << QStringList{"art000050", "ART000041"} << ""
                                    << "ART000051";
        QTest::newRow("autres codes") << QStringList{"3760000000037", "ART000002"} << ""
                                      << "ART000003";
        QTest::newRow("suffixe court") << QStringList{"ART12"} << ""
                                       << "ART120001";
        QTest::newRow("apres ART999999")
            << QStringList{"ART999999", "ART1000000", "ART1000001"} << ""
            << "ART1000002";
        QTest::newRow("ARTICLE1 trie apres")
            << QStringList{"ART000001", "ARTICLE1", "ART000002"} << ""
            << "ART000003";
        QTest::newRow("ARTICLE1, code libre") << QStringList{"ARTICLE1", "ART000005"} << ""
                                              << "ART000001";
        QTest::newRow("exposant") << QStringList{"ART12E3", "ART000004"} << ""
                                  << "ART000005";
        QTest::newRow("zeros en tete") << QStringList{"ARTX", "ART000001", "ART0000002"} << ""
                                       << "ART000003";
        QTest::newRow("blanc final") << QStringList{"ARTICLE", "ART000001 "} << ""
                                     << "ART000002";
        // A deleted article's code is never given again, nor any code below it.
        QTest::newRow("plus grand supprime") << QStringList{"ART000041"} << "ART000045"
                                             << "ART000046";
        QTest::newRow("supprime plus bas") << QStringList{"ART000041"} << "ART000012"
                                           << "ART000042";
        QTest::newRow("code libre deja donne")
            << QStringList{"ARTICLE1", "ART000005"} << "ART000001"
            << "ART000006";
        QTest::newRow("boutique videe") << QStringList{} << "ART000003"
                                        << "ART000004";
        QTest::newRow("reglage illisible") << QStringList{"ART000041"} << "abc"
                                           << "ART000042";
    }
    void nouveau() {
        QFETCH(QStringList, codes);
        QFETCH(QString, supprime);
        QFETCH(QString, attendu);
        BoutiqueTest boutique;
        QVERIFY(boutique.ouvrir());
        for (const QString& code : codes)
            QVERIFY(ajouterArticle(boutique, {.code = code}));
        const Reglages reglages = boutique.services().reglages();
        if (!supprime.isEmpty())
            reglages.ecrire(codeboutique::reglageDernierSupprime(), supprime);
        QCOMPARE(codeboutique::nouveau(boutique.bdd, reglages), attendu);
    }

    // Deleting an article keeps its code when it is the greatest shop code deleted so far.
    void retenirSuppression_data() {
        QTest::addColumn<QStringList>("supprimes");
        QTest::addColumn<QString>("garde");
        QTest::newRow("un") << QStringList{"ART000045"} << "ART000045";
        QTest::newRow("minuscules et blanc") << QStringList{"art000045 "} << "ART000045";
        QTest::newRow("le plus grand reste")
            << QStringList{"ART000045", "ART000012"} << "ART000045";
        QTest::newRow("sept chiffres") << QStringList{"ART000045", "ART1000000"} << "ART1000000";
        QTest::newRow("pas un code de la boutique")
            << QStringList{"L'ART", "3760000000037", "ARTICLE1", "ART12E3"} << "";
    }
    void retenirSuppression() {
        QFETCH(QStringList, supprimes);
        QFETCH(QString, garde);
        BoutiqueTest boutique;
        const Reglages reglages = boutique.services().reglages();
        for (const QString& code : supprimes)
            QVERIFY(codeboutique::retenirSuppression(reglages, code));
        QCOMPARE(reglages.lire(codeboutique::reglageDernierSupprime()), garde);
    }

    // A settings file that cannot be written cannot keep the code: the delete must not happen.
    void reglagesNonEcrits() {
        BoutiqueTest boutique;
        QVERIFY(QDir(boutique.dossier()).mkdir("TALMIR_vestimentaire.ini"));
        const Resultat<> r =
            codeboutique::retenirSuppression(boutique.services().reglages(), "ART000045");
        QVERIFY(!r);
        QVERIFY2(r.raison().contains("ART000045"), qPrintable(r.raison()));
    }

    // Without the articles no code can be known to be new: none is given (a code already on a
    // label would otherwise be handed out again).
    void sansBase() {
        BoutiqueTest boutique(BoutiqueTest::Base::Aucune);
        const Resultat<QString> code =
            codeboutique::nouveau(boutique.bdd, boutique.services().reglages());
        QVERIFY(!code);
        QVERIFY(!code.raison().isEmpty());
    }
};

TALMIR_TEST(TestCodeBoutique)
#include "tst_codeboutique.moc"
