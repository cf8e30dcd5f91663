#include "catalogue/articlesdetest.h"
#include "catalogue/enregistrementarticle.h"
#include "support/testmain.h"

#include <QSqlQuery>
#include <QtTest>

// Writing the article form into ARTICLES.
class TestEnregistrementArticle : public QObject {
    Q_OBJECT

  private slots:
    void conversions_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<double>("prix");
        QTest::addColumn<double>("taux");
        QTest::newRow("virgule") << "12,50" << 12.5 << 12.5;
        QTest::newRow("point") << "12.50" << 12.5 << 12.5;
        QTest::newRow("euro") << "12,50 €" << 12.5 << 12.5;
        QTest::newRow("pourcent") << "19,6 %" << 19.6 << 19.6;
        QTest::newRow("pourcent colle") << "19.6%" << 19.6 << 19.6;
        QTest::newRow("pourcent devant") << "%5,5" << 0.0 << 5.5;
        QTest::newRow("lettres") << "abc" << 0.0 << 0.0;
        QTest::newRow("negatif") << "-3" << -3.0 << -3.0;
        QTest::newRow("tres grand") << "1e308" << 1e308 << 1e308;
        QTest::newRow("trop grand") << "1e400" << 0.0 << 0.0;
        QTest::newRow("vide") << "" << 0.0 << 0.0;
    }
    void conversions() {
        QFETCH(QString, texte);
        QFETCH(double, prix);
        QFETCH(double, taux);
        QCOMPARE(conversionPrix(texte), prix);
        QCOMPARE(conversionTaux(texte), taux);
    }

    void texteStocke_data() {
        QTest::addColumn<QString>("saisi");
        QTest::addColumn<QString>("stocke");
        QTest::newRow("texte") << "Pull"
                               << "Pull ";
        QTest::newRow("vide") << ""
                              << " ";
        QTest::newRow("deja stocke") << "Pull "
                                     << "Pull ";
    }
    void texteStocke() {
        QFETCH(QString, saisi);
        QFETCH(QString, stocke);
        QCOMPARE(::texteStocke(saisi), stocke);
    }

    void nouvelArticle() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        const Resultat<Enregistrement> e = enregistrerArticle(b.bdd, pull("ART000043"));
        QVERIFY2(e, qPrintable(e.raison()));
        QVERIFY(e->nouveau);
        QVERIFY(b.sql("SELECT 1")); // the connection is usable again
        const QVariantList attendu{"ART000043", "Pull ", " ",        "Rouge ", 29.9, 19.6,
                                   12.5,        19.6,    QVariant(), 3.0,      3};
        QSqlQuery q(b.bdd.connexion());
        QVERIFY(q.exec("SELECT CodeArticle, libelle, taille, couleur, PrixVenteTTC, tauxTVAvente, "
                       "PrixHAHT, tauxTVAHA, fournisseur, EnStock, nbraimprimer, DateDeCreation "
                       "FROM ARTICLES"));
        QVERIFY(q.next());
        for (int i = 0; i < attendu.size(); ++i)
            if (attendu[i].isValid())
                QCOMPARE(q.value(i).toString(), attendu[i].toString());
            else
                QVERIFY(q.value(i).isNull());
        QVERIFY(!q.value(11).isNull()); // the table's creation date
        QVERIFY(!q.next());
        // The row as the inventory tab shows it (tests/stock): the stock before this save's
        // pieces.
        QCOMPARE(e->article.enStock.toDouble(), 0.0);
    }

    // Stock and label count after a save, for a stored article or a new code, with the
    // "A imprimer" box shown (a stored article was loaded) or hidden (a new code).
    void stockEtEtiquettes_data() {
        QTest::addColumn<QVariant>("stockAvant"); // invalid: no such article yet
        QTest::addColumn<int>("etiquettesAvant");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("aImprimerVisible");
        QTest::addColumn<QString>("aImprimer");
        QTest::addColumn<double>("stock");
        QTest::addColumn<int>("etiquettes");
        QTest::newRow("nouveau") << QVariant() << 0 << "3" << false << "" << 3.0 << 3;
        QTest::newRow("reassort") << QVariant(5) << 0 << "2" << true << "0" << 7.0 << 0;
        QTest::newRow("reassort avec etiquettes")
            << QVariant(5) << 4 << "2" << true << "6" << 7.0 << 6;
        QTest::newRow("code connu, case cachee")
            << QVariant(5) << 4 << "2" << false << "" << 7.0 << 6;
        QTest::newRow("nouveau, case montree") << QVariant() << 0 << "3" << true << "1" << 3.0 << 1;
        QTest::newRow("moins un") << QVariant(5) << 0 << "-1" << true << "0" << 4.0 << 0;
        QTest::newRow("virgule") << QVariant(5) << 0 << "2,5" << true << "0" << 7.0 << 0;
        QTest::newRow("nombre illisible") << QVariant(5) << 1 << "abc" << true << "xyz" << 5.0 << 0;
        QTest::newRow("etiquettes hors limites")
            << QVariant(5) << 1 << "2" << true << "1e12" << 7.0 << 3;
        QTest::newRow("stock hors limites")
            << QVariant(1e308) << 0 << "1e308" << true << "0" << 1e308 << 0;
        QTest::newRow("stock Null")
            << QVariant(QMetaType(QMetaType::Double)) << 0 << "2" << true << "0" << 2.0 << 0;
    }
    void stockEtEtiquettes() {
        QFETCH(QVariant, stockAvant);
        QFETCH(int, etiquettesAvant);
        QFETCH(QString, nombre);
        QFETCH(bool, aImprimerVisible);
        QFETCH(QString, aImprimer);
        QFETCH(double, stock);
        QFETCH(int, etiquettes);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        if (stockAvant.isValid())
            QVERIFY(ajouterArticle(
                b, {.code = "ART000043", .stock = stockAvant, .aImprimer = etiquettesAvant}));
        SaisieArticle s = pull("ART000043");
        s.nombre = nombre;
        s.aImprimerVisible = aImprimerVisible;
        s.aImprimer = aImprimer;
        const Resultat<Enregistrement> e = enregistrerArticle(b.bdd, s);
        QVERIFY2(e, qPrintable(e.raison()));
        QCOMPARE(e->nouveau, !stockAvant.isValid());
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), 1);
        QCOMPARE(champArticle(b, "EnStock", "ART000043").toDouble(), stock);
        QCOMPARE(champArticle(b, "nbraimprimer", "ART000043").toInt(), etiquettes);
    }

    // A stored article is updated under the code as typed; its supplier stays when the box
    // is empty.
    void articleConnu() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterArticle(b, {.code = "ART000043", .fournisseur = "Maison Dupont"}));
        QVERIFY(ajouterArticle(b, {.code = "ART000044", .fournisseur = "Laines du Nord"}));
        SaisieArticle s = pull("art000043 ");
        QVERIFY(enregistrerArticle(b.bdd, s).ok());
        s = pull("ART000044");
        s.fournisseur = "Atelier Bérénice";
        QVERIFY(enregistrerArticle(b.bdd, s).ok());
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), 2);
        QCOMPARE(champArticle(b, "fournisseur", "art000043 "), QVariant("Maison Dupont"));
        QCOMPARE(champArticle(b, "fournisseur", "ART000044"), QVariant("Atelier Bérénice"));
    }

    // Quotes, accents, control characters and very long texts are stored as typed.
    void textesDifficiles() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        SaisieArticle s = pull("L'ART\"1");
        s.libelle = "Robe d'été \"chic\"; DROP TABLE ARTICLES; --" + QString(10000, u'é');
        s.couleur = "Écru\t'";
        s.fournisseur = "O'Neil";
        const Resultat<Enregistrement> e = enregistrerArticle(b.bdd, s);
        QVERIFY2(e, qPrintable(e.raison()));
        QCOMPARE(champArticle(b, "libelle", "L'ART\"1"), QVariant(s.libelle + u' '));
        QCOMPARE(champArticle(b, "couleur", "L'ART\"1"), QVariant("Écru\t' "));
        QCOMPARE(champArticle(b, "fournisseur", "L'ART\"1"), QVariant("O'Neil"));
    }

    // A save is one transaction: when its second phase fails, the first is undone too, so the
    // stored row is the old one, never half the new one.
    void echecDeLaSecondePhase_data() {
        QTest::addColumn<bool>("existant");
        QTest::newRow("article connu") << true;
        QTest::newRow("nouveau code") << false;
    }
    void echecDeLaSecondePhase() {
        QFETCH(bool, existant);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        if (existant)
            QVERIFY(ajouterArticle(b, {.code = "ART000043", .libelle = "Ancien ", .stock = 5}));
        QVERIFY(b.sql("CREATE TRIGGER panne BEFORE UPDATE OF EnStock ON ARTICLES "
                      "BEGIN SELECT RAISE(ABORT, 'disque plein'); END"));
        const Resultat<Enregistrement> e = enregistrerArticle(b.bdd, pull("ART000043"));
        QVERIFY(!e);
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), existant ? 1 : 0);
        if (existant) {
            QCOMPARE(champArticle(b, "libelle", "ART000043"), QVariant("Ancien "));
            QCOMPARE(champArticle(b, "EnStock", "ART000043").toDouble(), 5.0);
        }
        // The connection is not left inside a transaction.
        QVERIFY(b.sql("DROP TRIGGER panne"));
        QVERIFY(enregistrerArticle(b.bdd, pull("ART000043")).ok());
    }

    void baseFermee() {
        BoutiqueTest b(BoutiqueTest::Base::Aucune);
        const Resultat<Enregistrement> e = enregistrerArticle(b.bdd, pull("ART000043"));
        QVERIFY(!e);
        QCOMPARE(e.raison(), QStringLiteral("la base de données n'est pas ouverte"));
    }
};

TALMIR_TEST(TestEnregistrementArticle)
#include "tst_enregistrement.moc"
