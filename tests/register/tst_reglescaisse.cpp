#include "register/motscaisse.h"
#include "register/signatureticket.h"
#include "register/tickets.h"
#include "register/ventes.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QtTest>
#include <functional>

Q_DECLARE_METATYPE(LigneCalculee)

namespace {
ArticleCaisse article(double prix, double taux) {
    ArticleCaisse a;
    a.code = QStringLiteral("ART000001");
    a.libelle = QStringLiteral("Pull ");
    a.prix = Montant::depuisDouble(prix);
    a.taux = taux;
    return a;
}

// A shop with a few articles, one of them without a name, one with a quote in its code.
struct Magasin {
    BoutiqueTest b;
    Magasin() {
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ART000001', 'Pull ', 40, 19.6, 5), ('O''NEIL 7', 'Veste ', "
                     "80, 19.6, 2), ('ART000009', NULL, 10, 19.6, 1), ('ART000010', 'Sans stock ', "
                     "10, 19.6, NULL), ('EAN 1  ', 'Chaussettes ', 9.99, 5.5, 3)"),
               "articles");
    }
};
// Closes an open ticket as the till does, signed.
Resultat<QByteArray> clore(Magasin& m, qint64 numero, Montant total, const QDateTime& quand) {
    signatureticket::Fermeture f;
    f.numero = numero;
    f.total = total;
    f.quand = quand;
    f.caisse = QStringLiteral("1");
    f.vendeur = QStringLiteral("1");
    return signatureticket::clore(m.b.bdd, m.b.cle, f, {});
}
} // namespace

// The till's rules without a window: the lines its words record, the ticket store and the
// recording of lines.
class TestReglesCaisse : public QObject {
    Q_OBJECT
  private slots:
    void lignes_data() {
        QTest::addColumn<LigneCalculee>("ligne");
        QTest::addColumn<QString>("code");
        QTest::addColumn<qint64>("prix"); // ten-thousandths
        QTest::addColumn<qint64>("tva");
        QTest::addColumn<qint64>("qt"); // thousandths
        const auto e = [](double v) { return Montant::depuisDouble(v); };
        const auto q = [](double v) { return *Quantite::depuisDouble(v); };
        // The VAT inside a price that includes it: 40,00 at 19,6 % holds 6,56, not 7,84.
        QTest::newRow("article") << ligneArticle(article(40, 19.6), q(1)) << "ART000001"
                                 << qint64(400000) << qint64(65600) << qint64(1000);
        QTest::newRow("article x 2,5") << ligneArticle(article(40, 19.6), q(2.5)) << "ART000001"
                                       << qint64(1000000) << qint64(163900) << qint64(2500);
        QTest::newRow("retour") << ligneArticle(article(40, 19.6), q(-1)) << "ART000001"
                                << qint64(-400000) << qint64(-65600) << qint64(-1000);
        QTest::newRow("prix remise 30 au lieu de 40")
            << lignePrixRemise(e(30), e(40), e(6.56)) << "REMISE" << qint64(-100000)
            << qint64(-16400) << qint64(1000);
        QTest::newRow("remise exceptionnelle 5")
            << ligneRemiseExceptionnelle(e(5), e(40), e(6.56)) << "REMISE" << qint64(-50000)
            << qint64(-8200) << qint64(1000);
        QTest::newRow("10 % du dernier")
            << ligneRemisePourcent(mots::remiseSurArticle(), 10, e(40), e(6.56))
            << "REMISE sur ARTICLE 10 %" << qint64(-40000) << qint64(-6600) << qint64(1000);
        // Rounded to the cent, the VAT from the rounded amount: no fraction of a cent is left.
        QTest::newRow("12,5 % arrondi au centime")
            << ligneRemisePourcent(mots::remiseSurArticle(), 12.5, e(19.99), e(3.28))
            << "REMISE sur ARTICLE 12,5 %" << qint64(-25000) << qint64(-4100) << qint64(1000);
        QTest::newRow("pourcentage sur zero")
            << ligneRemisePourcent(mots::remiseSurSousTotal(), 10, e(0), e(0))
            << "REMISE sur SOUSTOTAL 10 %" << qint64(0) << qint64(0) << qint64(1000);
        QTest::newRow("paiement") << lignePaiement("CB", e(45.2)) << "CB" << qint64(-452000)
                                  << qint64(0) << qint64(0);
        QTest::newRow("rendu") << lignePaiement("ESPECES", e(-4.8)) << "ESPECES" << qint64(48000)
                               << qint64(0) << qint64(0);
        QTest::newRow("sous-total") << ligneSousTotal("45,20 ") << "SOUSTOTAL : 45,20 " << qint64(0)
                                    << qint64(0) << qint64(0);
    }
    void lignes() {
        QFETCH(LigneCalculee, ligne);
        QFETCH(QString, code);
        QFETCH(qint64, prix);
        QFETCH(qint64, tva);
        QFETCH(qint64, qt);
        QVERIFY(ligne.admise);
        QCOMPARE(ligne.code, code);
        QCOMPARE(ligne.prix.dixMilliemes(), prix);
        QCOMPARE(ligne.tva.dixMilliemes(), tva);
        QCOMPARE(ligne.qt.milliemes(), qt);
    }

    void montantsHorsLimites() {
        QVERIFY(!lignePaiement("CB", Montant::depuisDouble(9e14)).admise);
        QVERIFY(!ligneRemiseExceptionnelle(Montant::euros(2000000000), Montant::euros(40),
                                           Montant::euros(6))
                     .admise);
        QVERIFY(!ligneArticle(article(9e14, 19.6), Quantite::unites(99)).admise);
        QVERIFY(!ligneRemisePourcent(mots::remiseSurArticle(), 1e300, Montant::euros(40),
                                     Montant::euros(6))
                     .admise);
        QVERIFY(ligneArticle(article(40, 19.6), Quantite::unites(99)).admise);
        // The displays show an article line to the ten-thousandth, the line keeps it to the
        // cent.
        const LigneCalculee l = ligneArticle(article(19.99, 19.6), Quantite::depuisMilliemes(2500));
        QCOMPARE(l.prix, Montant::depuisCentimes(4998));
        QCOMPARE(l.prixAffiche, Montant::depuisDixMilliemes(499750));
    }

    void rechercheDArticle_data() {
        QTest::addColumn<QString>("tape");
        QTest::addColumn<QString>("stocke"); // empty: not sold at the till
        QTest::newRow("exact") << "ART000001"
                               << "ART000001";
        QTest::newRow("minuscules et blancs") << "art000001   "
                                              << "ART000001";
        QTest::newRow("apostrophe") << "o'neil 7"
                                    << "O'NEIL 7";
        QTest::newRow("code stocke avec blancs") << "ean 1"
                                                 << "EAN 1  ";
        QTest::newRow("sans libelle") << "ART000009"
                                      << "";
        QTest::newRow("inconnu") << "ART999999"
                                 << "";
        QTest::newRow("vide") << ""
                              << "";
        QTest::newRow("blancs") << "   "
                                << "";
        QTest::newRow("injection") << "x' OR '1'='1"
                                   << "";
        QTest::newRow("blanc en tete") << " ART000001"
                                       << "";
        QTest::newRow("tres long") << QString(10000, u'A') << "";
        QTest::newRow("controle") << "ART\t000001\x01"
                                  << "";
    }
    void rechercheDArticle() {
        QFETCH(QString, tape);
        QFETCH(QString, stocke);
        Magasin m;
        const Resultat<std::optional<ArticleCaisse>> a = Ventes(m.b.bdd).chercher(tape);
        QVERIFY(a);
        QCOMPARE(a->has_value(), !stocke.isEmpty());
        if (*a)
            QCOMPARE((*a)->code, stocke);
    }

    void venteEtStockEnUneFois() {
        Magasin m;
        Tickets tickets(m.b.bdd);
        Ventes ventes(m.b.bdd);
        const Resultat<qint64> n = tickets.creer("1", 1);
        QVERIFY(n);
        const ArticleCaisse a = **ventes.chercher("ART000001");
        QCOMPARE(ventes.vendre(*n, a, Quantite::unites(2), Montant::depuisCentimes(8000),
                               Montant::depuisCentimes(1311)),
                 Ecriture::Faite);
        QCOMPARE(
            m.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            3.0);
        // A return raises the stock; a Null stock stays Null.
        QCOMPARE(ventes.vendre(*n, a, Quantite::unites(-1), Montant::depuisCentimes(-4000), {}),
                 Ecriture::Faite);
        QCOMPARE(
            m.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            4.0);
        QCOMPARE(ventes.vendre(*n, **ventes.chercher("ART000010"), Quantite::unites(1), {}, {}),
                 Ecriture::Faite);
        QVERIFY(
            m.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000010'").isNull());
        // The stock change fails: the line is not kept either.
        QVERIFY(m.b.panne("refus", "BEFORE UPDATE ON ARTICLES", "disque plein"));
        const Resultat<Ecriture> refus =
            ventes.vendre(*n, a, Quantite::unites(1), Montant::depuisCentimes(4000), {});
        QVERIFY(!refus);
        QVERIFY(refus.raison().contains("disque plein"));
        QCOMPARE(m.b.valeur("SELECT count(*) FROM VENTES").toInt(), 3);
    }

    void rienSousUnTicketClos() {
        Magasin m;
        Tickets tickets(m.b.bdd);
        Ventes ventes(m.b.bdd);
        const qint64 n = *tickets.creer("1", 1);
        QVERIFY(clore(m, n, Montant(), QDateTime(QDate(2024, 3, 5), QTime(9, 0))));
        QCOMPARE(ventes.ajouterLigne(n, "ESPECES", Montant::depuisCentimes(-100), {}, {}),
                 Ecriture::TicketFerme);
        QCOMPARE(ventes.vendre(n, **ventes.chercher("ART000001"), Quantite::unites(1), {}, {}),
                 Ecriture::TicketFerme);
        QCOMPARE(m.b.valeur("SELECT count(*) FROM VENTES").toInt(), 0);
        QCOMPARE(
            m.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            5.0);
        // A closed ticket is not closed twice.
        QVERIFY(!clore(m, n, Montant(), QDateTime::currentDateTime()));
    }

    void ticketsOuverts() {
        Magasin m;
        Tickets tickets(m.b.bdd);
        QCOMPARE(tickets.ouvertLePlusHaut(QStringLiteral("1")), std::optional<qint64>());
        QVERIFY(m.b.sql("INSERT INTO TICKETS (NumeroTicket, TicketClos, caisse, vendeur) VALUES "
                        "(7, 0, '1', 1), (8, 1, '1', 1), (9, 0, '1', 1)"));
        QCOMPARE(*tickets.ouvertLePlusHaut(QStringLiteral("1")), 9);
        QVERIFY(clore(m, 9, Montant::depuisCentimes(12345),
                      QDateTime(QDate(2024, 3, 5), QTime(9, 1, 22))));
        QCOMPARE(*tickets.ouvertLePlusHaut(QStringLiteral("1")), 7);
        QCOMPARE(m.b.valeur("SELECT Date FROM TICKETS WHERE NumeroTicket = 9").toString(),
                 QStringLiteral("2024-03-05 09:01:22"));
        QCOMPARE(m.b.valeur("SELECT TotalTTC FROM TICKETS WHERE NumeroTicket = 9").toDouble(),
                 123.45);
        QCOMPARE(m.b.valeur("SELECT vendeur FROM TICKETS WHERE NumeroTicket = 9").toString(),
                 QStringLiteral("1"));
        QCOMPARE(*tickets.creer("1", 1), 10);
        // Each till has its own highest open ticket; one written before tills were numbered
        // is till 1's.
        QVERIFY(m.b.sql("INSERT INTO TICKETS (NumeroTicket, TicketClos, caisse, vendeur) VALUES "
                        "(11, 0, '2', 1), (12, 0, NULL, 1)"));
        QCOMPARE(*tickets.ouvertLePlusHaut(QStringLiteral("1")), 12);
        QCOMPARE(*tickets.ouvertLePlusHaut(QStringLiteral("2")), 11);
        QCOMPARE(tickets.ouvertLePlusHaut(QStringLiteral("3")), std::optional<qint64>());
    }

    void lignesDansLOrdre() {
        Magasin m;
        Tickets tickets(m.b.bdd);
        const qint64 n = *tickets.creer("1", 1);
        // Two articles share a code: the line still reads once, with the first one's name.
        QVERIFY(m.b.sql(
            "INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('art000001', 'Doublon ')"));
        QVERIFY(
            m.b.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt) VALUES "
                    "(?, 'ART000001', 40, 6.56, 1), (?, 'ESPECES', -40, 0, 0), "
                    "(?, 'ART000404', 5, 0.82, 1), (99, 'ART000001', 40, 6.56, 1)",
                    {n, n, n}));
        const Resultat<QList<LigneTicket>> l = tickets.lignes(n);
        QVERIFY(l);
        QCOMPARE(l->size(), 3);
        QCOMPARE(l->at(0).libelle.toString(), QStringLiteral("Pull "));
        QCOMPARE(l->at(1).codeArticle, QStringLiteral("ESPECES"));
        QVERIFY(l->at(1).libelle.isNull());
        QVERIFY(l->at(2).libelle.isNull()); // an article deleted since
        QCOMPARE(l->at(2).prix, Montant::depuisCentimes(500));
    }
};

TALMIR_TEST(TestReglesCaisse)
#include "tst_reglescaisse.moc"
