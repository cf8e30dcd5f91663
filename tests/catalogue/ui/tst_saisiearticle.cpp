#include "catalogue/ui/ongletgencodes.h"
#include "support/testmain.h"

#include <QApplication>
#include <QtTest>

// What the article form takes and writes: stored texts whole, typed texts within their
// lengths, numbers that read as what their box asks, the article shown after a pattern.
class TestSaisieArticle : public QObject {
    Q_OBJECT

    static int nombreArticles(OngletGenCodes& o) {
        return o.boutique.valeur("SELECT count(*) FROM ARTICLES").toInt();
    }

  private slots:
    // A stored size or colour longer than what may be typed is shown whole and saved back whole.
    void texteStockeEntier() {
        OngletGenCodes o;
        QVERIFY(o.demarrer(
            {{.code = "ART000012", .taille = "Taille unique ", .couleur = "Bleu marine chiné "}}));
        o.liste()->setCurrentRow(0);
        QCOMPARE(o.texte("taille"), QStringLiteral("Taille unique "));
        QCOMPARE(o.texte("couleur"), QStringLiteral("Bleu marine chiné "));
        QTest::keyClicks(o.w("prixdeventettc"), "5");
        o.genCodes->validation_Click();
        QVERIFY(o.boutique.dialogues.boites.isEmpty());
        QCOMPARE(champArticle(o.boutique, "PrixVenteTTC", "ART000012").toDouble(), 29.95);
        QCOMPARE(champArticle(o.boutique, "taille", "ART000012"), QVariant("Taille unique "));
        QCOMPARE(champArticle(o.boutique, "couleur", "ART000012"), QVariant("Bleu marine chiné "));
        QCOMPARE(o.texte("couleur"), QStringLiteral("Bleu marine chiné "));
    }

    // Typing keeps to the box's length, also over a longer stored text once it is replaced.
    void longueurALaSaisie_data() {
        QTest::addColumn<QString>("boite");
        QTest::addColumn<QString>("tape");
        QTest::addColumn<QString>("garde");
        QTest::newRow("taille") << "taille"
                                << "ABCDEFG"
                                << "ABCDE";
        QTest::newRow("couleur") << "couleur"
                                 << "Bleu marine fonce"
                                 << "Bleu marin";
    }
    void longueurALaSaisie() {
        QFETCH(QString, boite);
        QFETCH(QString, tape);
        QFETCH(QString, garde);
        OngletGenCodes o;
        QVERIFY(o.demarrer(
            {{.code = "ART000012", .taille = "Taille unique ", .couleur = "Bleu marine chiné "}}));
        o.liste()->setCurrentRow(0);
        QLineEdit* b = o.w(boite);
        b->selectAll();
        QTest::keyClicks(b, tape);
        QCOMPARE(b->text(), garde);
        o.genCodes->validation_Click();
        QCOMPARE(champArticle(o.boutique, boite, "ART000012"), QVariant(garde + u' '));
    }

    // A code looked up by a pattern shows the article found under its own code: a save writes
    // that article, never one named after the pattern. A pattern that finds nothing is no code
    // to save under.
    void motifPuisEnregistrement() {
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        o.w("CodeArticle")->setText("ART00004?");
        o.genCodes->CodeArticle_LostFocus();
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ART000042"));
        QCOMPARE(o.texte("Libelle"), QStringLiteral("Robe d'été "));
        QTest::keyClicks(o.w("prixdeventettc"), "9");
        o.genCodes->validation_Click();
        QCOMPARE(champArticle(o.boutique, "PrixVenteTTC", "ART000042").toDouble(), 559.0);
        QCOMPARE(nombreArticles(o), 3);

        o.w("CodeArticle")->setText("ZZ*");
        o.genCodes->CodeArticle_LostFocus();
        QCOMPARE(o.texte("CodeArticle"), QStringLiteral("ZZ*"));
        o.genCodes->validation_Click();
        QCOMPARE(o.boutique.dialogues.textes(),
                 QStringList{"Le code « ZZ* » contient « * », qui sert à chercher les articles : "
                             "un article ne peut pas être enregistré sous ce code."});
        QCOMPARE(nombreArticles(o), 3);
        QCOMPARE(o.boutique
                     .valeur("SELECT count(*) FROM ARTICLES WHERE CodeArticle LIKE '%*%' "
                             "OR CodeArticle LIKE '%?%'")
                     .toInt(),
                 0);
    }

    // A box that does not hold a value of its kind: the form says which one, puts the cursor in
    // it and saves nothing until it is right.
    void caseRefusee_data() {
        QTest::addColumn<QString>("boite");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("legende");
        QTest::newRow("prix en lettres") << "prixdeventettc"
                                         << "abc"
                                         << "Prix Vente TTC";
        QTest::newRow("prix immense") << "prixdeventettc"
                                      << "1e400"
                                      << "Prix Vente TTC";
        QTest::newRow("separateur de milliers") << "prixdeventettc"
                                                << "12.345,67"
                                                << "Prix Vente TTC";
        QTest::newRow("prix que la caisse refuse") << "prixhaht"
                                                   << "1000000000"
                                                   << "Prix achat HT";
        QTest::newRow("taux en lettres") << "tauxtvavente"
                                         << "dix"
                                         << "Taux TVA vente";
        QTest::newRow("taux d'achat") << "tauxtvaha"
                                      << "19,6 % %x"
                                      << "Taux TVA HA";
        QTest::newRow("pieces") << "NombreArticles"
                                << "deux"
                                << "Nombre à ajouter";
        QTest::newRow("etiquettes negatives") << "aimprimer"
                                              << "-5"
                                              << "A imprimer";
    }
    void caseRefusee() {
        QFETCH(QString, boite);
        QFETCH(QString, texte);
        QFETCH(QString, legende);
        OngletGenCodes o;
        QVERIFY(o.demarrer());
        QVERIFY(o.montrer());
        o.liste()->setCurrentRow(0);
        const QVariant avant =
            o.boutique.valeur("SELECT group_concat(PrixVenteTTC || tauxTVAvente || PrixHAHT || "
                              "tauxTVAHA || EnStock || nbraimprimer) FROM ARTICLES");
        o.w(boite)->setText(texte);
        o.genCodes->modifierDonnees();
        o.genCodes->validation_Click();
        QCOMPARE(o.boutique.dialogues.boites.size(), 1);
        const QString message = o.boutique.dialogues.boites[0].texte;
        QVERIFY2(message.startsWith(
                     QStringLiteral("La case « %1 » contient « %2 »").arg(legende, texte)),
                 qPrintable(message));
        QCOMPARE(o.boutique.valeur("SELECT group_concat(PrixVenteTTC || tauxTVAvente || PrixHAHT "
                                   "|| tauxTVAHA || EnStock || nbraimprimer) FROM ARTICLES"),
                 avant);
        QVERIFY(o.enEdition());
        QTRY_COMPARE(QApplication::focusWidget(), o.w(boite));
        QCOMPARE(o.w(boite)->selectedText(), texte);
        // Put right, the form is saved.
        o.w(boite)->setText("7");
        o.genCodes->validation_Click();
        QCOMPARE(o.boutique.dialogues.boites.size(), 1);
        QVERIFY(o.horsEdition());
    }
};

TALMIR_TEST(TestSaisieArticle)
#include "tst_saisiearticle.moc"
