#include "catalogue/articlesdetest.h"
#include "catalogue/listearticles.h"
#include "catalogue/magasinarticles.h"
#include "support/testmain.h"

#include <QtTest>

// The article list's sources (in stock, search by description) and the lookups by code.
class TestListeArticles : public QObject {
    Q_OBJECT

    // Rows in this order; the search and the list keep it.
    static void remplir(BoutiqueTest& b) {
        const QList<ArticleDeTest> articles{
            {.code = "ART000012", .libelle = "Pull ", .stock = 2},
            {.code = "ART000020", .libelle = "PULL COL V ", .prix = 45, .stock = 0},
            {.code = "ART000030", .libelle = "Pull offert ", .prix = 0, .stock = 5},
            {.code = "ART000040", .libelle = "Robe d'été ", .prix = 55},
            {.code = "ART000041", .libelle = "ÉTÉ indien ", .prix = 10},
            {.code = "ART000050", .libelle = "Jupe 50% ", .prix = 20},
            {.code = "ART000051", .libelle = "Jupe 50 cm ", .prix = 20},
            {.code = "ART000060", .libelle = "Jean_slim [bleu] ", .prix = 30},
            {.code = "ART000061", .libelle = "Jean-slim #2 ", .prix = 30},
            {.code = "ART000070", .libelle = QVariant(), .prix = 10},
            {.code = "L'ART", .libelle = "Chemise \"lin\" ", .prix = 49.9, .stock = QVariant()},
        };
        for (const ArticleDeTest& a : articles)
            QVERIFY(ajouterArticle(b, a));
    }

    static QStringList codes(const listearticles::Liste& r) {
        QStringList c;
        for (qsizetype i = 0; i < r.entrees.size(); ++i)
            c << r.entrees[i].left(r.longueursCode[i]);
        return c;
    }

  private slots:
    // An entry tells articles of one description apart by their size and colour.
    void entree_data() {
        QTest::addColumn<QStringList>("champs"); // code, libelle, taille, couleur
        QTest::addColumn<QString>("texte");
        QTest::newRow("complet") << QStringList{"ART000012", "Pull col rond ", "M ", "Rouge "}
                                 << "ART000012 | Pull col rond\n    M · Rouge";
        QTest::newRow("sans couleur")
            << QStringList{"ART000020", "Pull ", "XL ", " "} << "ART000020 | Pull\n    XL";
        QTest::newRow("sans taille")
            << QStringList{"ART000021", "Pull ", " ", "Bleu "} << "ART000021 | Pull\n    Bleu";
        QTest::newRow("code garde ses blancs")
            << QStringList{"A1 ", "Pull", "", ""} << "A1  | Pull\n    ";
        QTest::newRow("sur une ligne")
            << QStringList{"A2", "Pull\nrayé", "M\t", "Bleu\r\n"} << "A2 | Pull rayé\n    M · Bleu";
        QTest::newRow("vide") << QStringList{"", "", "", ""} << " | \n    ";
    }
    void entree() {
        QFETCH(QStringList, champs);
        QFETCH(QString, texte);
        QCOMPARE(listearticles::entree(champs[0], champs[1], champs[2], champs[3]), texte);
    }

    void enStock() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        remplir(b);
        const auto r = listearticles::enStock(b.bdd);
        QVERIFY(r);
        // Stock 0 and Null stay out; a price of 0 or a missing description do not matter.
        QCOMPARE(codes(*r),
                 (QStringList{"ART000012", "ART000030", "ART000040", "ART000041", "ART000050",
                              "ART000051", "ART000060", "ART000061", "ART000070"}));
        QCOMPARE(r->trouves, 9);
        QCOMPARE(r->entrees.first(), QStringLiteral("ART000012 | Pull\n    M · Rouge"));
        QCOMPARE(r->entrees.last(), QStringLiteral("ART000070 | \n    M · Rouge"));
    }

    // Typed text is the description's content: letters without regard to case, accents
    // included; "*" and "?" are wildcards, every other character is itself.
    void rechercher_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QStringList>("attendus");
        QTest::newRow("casse") << "pull" << QStringList{"ART000012", "ART000020"};
        QTest::newRow("accents minuscules") << "été" << QStringList{"ART000040", "ART000041"};
        QTest::newRow("accents majuscules") << "ÉTÉ" << QStringList{"ART000040", "ART000041"};
        QTest::newRow("sans accents") << "ete" << QStringList{"ART000040", "ART000041"};
        QTest::newRow("majuscules sans accents") << "ETE" << QStringList{"ART000040", "ART000041"};
        QTest::newRow("accents en trop") << "Rôbé" << QStringList{"ART000040"};
        QTest::newRow("apostrophe") << "d'été" << QStringList{"ART000040"};
        QTest::newRow("guillemets") << "\"lin\"" << QStringList{"L'ART"};
        QTest::newRow("pourcent") << "50%" << QStringList{"ART000050"};
        QTest::newRow("souligne") << "n_s" << QStringList{"ART000060"};
        QTest::newRow("crochet") << "[bleu]" << QStringList{"ART000060"};
        QTest::newRow("diese") << "#2" << QStringList{"ART000061"};
        QTest::newRow("etoile") << "p*v" << QStringList{"ART000020"};
        QTest::newRow("point d'interrogation")
            << "jean?slim" << QStringList{"ART000060", "ART000061"};
        QTest::newRow("rien") << "xyz" << QStringList{};
        QTest::newRow("texte vide")
            << "" << QStringList{"ART000012", "ART000020", "ART000040", "ART000041", "ART000050",
                                 "ART000051", "ART000060", "ART000061", "L'ART"};
        QTest::newRow("texte tres long") << QString(10000, u'x') << QStringList{};
        QTest::newRow("caracteres de controle") << "\t\x01" << QStringList{};
    }
    void rechercher() {
        QFETCH(QString, texte);
        QFETCH(QStringList, attendus);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        remplir(b);
        const auto r = listearticles::rechercher(b.bdd, texte);
        QVERIFY(r);
        QCOMPARE(codes(*r), attendus);
        QCOMPARE(r->trouves, attendus.size());
    }

    // From 10,000 articles found on, none is listed, but all are counted.
    void seuil_data() {
        QTest::addColumn<int>("nombre");
        QTest::addColumn<int>("listes");
        QTest::newRow("9999") << 9999 << 9999;
        QTest::newRow("10000") << 10000 << 0;
        QTest::newRow("10001") << 10001 << 0;
    }
    void seuil() {
        QFETCH(int, nombre);
        QFETCH(int, listes);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(ajouterChaussettes(b, nombre));
        const auto r = listearticles::rechercher(b.bdd, "chaussette");
        QVERIFY(r);
        QCOMPARE(r->trouves, nombre);
        QCOMPARE(r->entrees.size(), listes);
        QCOMPARE(r->longueursCode.size(), listes);
    }

    void baseFermee() {
        BoutiqueTest b(BoutiqueTest::Base::Aucune);
        QVERIFY(!listearticles::enStock(b.bdd));
        QVERIFY(!listearticles::rechercher(b.bdd, "pull"));
        QVERIFY(!MagasinArticles(b.bdd).parCode("ART000012"));
        QVERIFY(!MagasinArticles(b.bdd).supprimer("ART000012"));
    }

    // A database that refuses writes: the delete fails and says why, nothing is deleted.
    void suppressionRefusee() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        remplir(b);
        QVERIFY(b.panne("lecture_seule", "BEFORE DELETE ON ARTICLES", "base en lecture seule"));
        const Resultat<qint64> r = MagasinArticles(b.bdd).supprimer("ART000012");
        QVERIFY(!r);
        QVERIFY2(r.raison().contains("base en lecture seule"), qPrintable(r.raison()));
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES WHERE CodeArticle = 'ART000012'"),
                 QVariant(1));
    }

    // Codes name the same article whatever their letter case and trailing spaces.
    void parCode_data() {
        QTest::addColumn<QString>("saisi");
        QTest::addColumn<QString>("trouve");
        QTest::newRow("exact") << "ART000012"
                               << "ART000012";
        QTest::newRow("minuscules") << "art000012"
                                    << "ART000012";
        QTest::newRow("blanc final") << "ART000012 "
                                     << "ART000012";
        QTest::newRow("apostrophe") << "l'art"
                                    << "L'ART";
        QTest::newRow("inconnu") << "ART0000"
                                 << "";
        QTest::newRow("blanc en tete") << " ART000012"
                                       << "";
        QTest::newRow("vide") << ""
                              << "";
    }
    void parCode() {
        QFETCH(QString, saisi);
        QFETCH(QString, trouve);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        remplir(b);
        const auto a = MagasinArticles(b.bdd).parCode(saisi);
        QVERIFY2(a, qPrintable(a.raison()));
        QCOMPARE(*a ? (*a)->code.toString() : QString(), trouve);
    }

    // In the code box "*" and "?" are wildcards; the first matching article in table order.
    void parMotif_data() {
        QTest::addColumn<QString>("saisi");
        QTest::addColumn<QString>("trouve");
        QTest::newRow("sans joker") << "art000012"
                                    << "ART000012";
        QTest::newRow("etoile") << "ART00004*"
                                << "ART000040";
        QTest::newRow("point d'interrogation") << "art00006?"
                                               << "ART000060";
        QTest::newRow("blanc final") << "ART00005? "
                                     << "ART000050";
        QTest::newRow("apostrophe") << "L'*"
                                    << "L'ART";
        QTest::newRow("aucun") << "XYZ*"
                               << "";
        QTest::newRow("pourcent n'est pas un joker") << "ART%"
                                                     << "";
    }
    void parMotif() {
        QFETCH(QString, saisi);
        QFETCH(QString, trouve);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        remplir(b);
        const auto a = MagasinArticles(b.bdd).parMotif(saisi);
        QVERIFY2(a, qPrintable(a.raison()));
        QCOMPARE(*a ? (*a)->code.toString() : QString(), trouve);
    }

    void supprimer() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        remplir(b);
        QVERIFY(ajouterArticle(b, {.code = "ART000099"}));
        QCOMPARE(MagasinArticles(b.bdd).supprimer("l'art "), qint64(1));
        QCOMPARE(MagasinArticles(b.bdd).supprimer("art000012 "), qint64(1));
        QCOMPARE(MagasinArticles(b.bdd).supprimer("ART000012"), qint64(0));
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES WHERE CodeArticle IN (?, ?)",
                          {"L'ART", "ART000012"}),
                 QVariant(0));
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), 10);
    }
};

TALMIR_TEST(TestListeArticles)
#include "tst_listearticles.moc"
