#include "frame/ui/registresfiscaux.h"
#include "register/caisse.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QtTest>

// The start-up closes the days left unclosed after recording the start; a closure that cannot
// be made is a warning, never a start refused.
class TestRegistresFiscaux : public QObject {
    Q_OBJECT
  private slots:
    void joursOubliesAuDemarrage() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                      "EnStock) VALUES ('ROBE', 'Robe', 55, 19.6, 50)"));
        const QDate jour(2026, 3, 5);
        for (int i = 0; i < 3; ++i) {
            Caisse c(b.bdd, b.cle, "1", 1);
            QVERIFY(c.ouvrirTicket());
            QVERIFY(c.vendre(*c.lire("ROBE")->article));
            QVERIFY(c.payer("CB", Montant::euros(55)));
            // Two days gone, and one ticket of today.
            QVERIFY(c.terminer(QDateTime(jour.addDays(i), QTime(10, 0))));
        }
        CleFiscale cle;
        const Resultat<QString> r =
            ouvrirRegistresFiscaux(b.bdd, cle, -1, QDateTime(jour.addDays(2), QTime(11, 0)));
        QVERIFY2(r, qPrintable(r.raison()));
        QVERIFY(r->isEmpty());
        QCOMPARE(b.valeur("SELECT group_concat(Genre || ' ' || Debut || ' ' || Tickets, ', ') "
                          "FROM CLOTURES")
                     .toString(),
                 QStringLiteral("JOUR 2026-03-05 1, JOUR 2026-03-06 1"));
        QCOMPARE(b.valeur("SELECT group_concat(Genre, ',') FROM (SELECT Genre FROM EVENEMENTS "
                          "ORDER BY Numero)")
                     .toString(),
                 QStringLiteral("DEMARRAGE,CLOTURE,CLOTURE"));

        // A closure refused by the database: the start goes on with a warning.
        QVERIFY(b.sql("CREATE TRIGGER refus BEFORE INSERT ON CLOTURES BEGIN SELECT "
                      "RAISE(ABORT, 'disque plein'); END"));
        const Resultat<QString> ensuite =
            ouvrirRegistresFiscaux(b.bdd, cle, -1, QDateTime(jour.addDays(3), QTime(9, 0)));
        QVERIFY2(ensuite, qPrintable(ensuite.raison()));
        QVERIFY2(ensuite->contains("clôtures des jours précédents"), qPrintable(*ensuite));
        QCOMPARE(b.valeur("SELECT count(*) FROM CLOTURES").toInt(), 2);
    }
};

TALMIR_TEST(TestRegistresFiscaux)
#include "tst_registresfiscaux.moc"
