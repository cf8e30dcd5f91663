#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "frame/ui/registresfiscaux.h"
#include "register/caisse.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QtTest>

namespace {
const QDate kJour(2026, 3, 5);

// A dress sold on each of three days, the last one today, signed with the key the start-up
// then finds beside the shop's database.
void troisJours(BoutiqueTest& b) {
    const Resultat<CleFiscale> cle =
        CleFiscale::chargerOuCreer(QFileInfo(b.bdd.chemin()).absolutePath());
    exiger(cle, "clé de la boutique");
    b.cle = *cle;
    exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                 "EnStock) VALUES ('ROBE', 'Robe', 55, 19.6, 50)"),
           "article");
    for (int i = 0; i < 3; ++i) {
        Caisse c(b.bdd, b.cle, "1", 1);
        exiger(c.ouvrirTicket(), "ticket");
        exiger(c.vendre(*c.lire("ROBE")->article), "vente");
        exiger(c.payer("CB", Montant::euros(55)), "paiement");
        exiger(c.terminer(QDateTime(kJour.addDays(i), QTime(10, 0))), "clôture du ticket");
    }
}
} // namespace

// The start-up checks the last signed records and closes the days left unclosed after
// recording the start; a closure that cannot be made is a warning, never a start refused.
class TestRegistresFiscaux : public QObject {
    Q_OBJECT
  private slots:
    void joursOubliesAuDemarrage() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        troisJours(b);
        const QDate jour = kJour;
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

    // A record changed around the program since the last start: the next start records the
    // failed check, naming the record, tells the operator, and the till goes on.
    void controleAuDemarrage_data() {
        QTest::addColumn<QStringList>("requetes");
        QTest::addColumn<QString>("nomme");
        QTest::newRow("intacte") << QStringList() << QString();
        QTest::newRow("prix d'une ligne")
            << QStringList{"DROP TRIGGER VENTES_ticket_clos_inalterable",
                           "UPDATE VENTES SET PrixVenteTTC = 5 WHERE CodeArticle = 'ROBE' AND "
                           "NumeroTicket = (SELECT max(NumeroTicket) FROM TICKETS WHERE TicketClos "
                           "<> 0)"}
            << "ticket n° 3";
        QTest::newRow("détail d'un événement")
            << QStringList{"DROP TRIGGER EVENEMENTS_inalterables",
                           "UPDATE EVENEMENTS SET Detail = 'rien' WHERE Numero = 2"}
            << "événement n° 2";
        QTest::newRow("texte d'une clôture")
            << QStringList{"DROP TRIGGER CLOTURES_inalterables",
                           "UPDATE CLOTURES SET Texte = replace(Texte, 'CB=55', 'CB=50') WHERE "
                           "Numero = 2"}
            << "clôture n° 2";
    }
    void controleAuDemarrage() {
        QFETCH(QStringList, requetes);
        QFETCH(QString, nomme);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        troisJours(b);
        CleFiscale cle;
        const Resultat<QString> premier =
            ouvrirRegistresFiscaux(b.bdd, cle, -1, QDateTime(kJour.addDays(2), QTime(11, 0)));
        QVERIFY2(premier && premier->isEmpty(), qPrintable(premier ? *premier : premier.raison()));
        for (const QString& r : requetes)
            QVERIFY2(b.sql(r), qPrintable(r));

        const Resultat<QString> second =
            ouvrirRegistresFiscaux(b.bdd, cle, -1, QDateTime(kJour.addDays(2), QTime(12, 0)));
        QVERIFY2(second, qPrintable(second.raison()));
        const QString detail = b.valeur("SELECT group_concat(Detail, ' | ') FROM EVENEMENTS "
                                        "WHERE Genre = 'CONTROLE ECHOUE'")
                                   .toString();
        if (nomme.isEmpty()) {
            QVERIFY2(second->isEmpty(), qPrintable(*second));
            QVERIFY2(detail.isEmpty(), qPrintable(detail));
        } else {
            QVERIFY2(detail.startsWith(nomme), qPrintable(detail));
            QVERIFY2(second->contains("contrôle des derniers enregistrements signés a échoué : " +
                                      nomme),
                     qPrintable(*second));
        }
        // The start is recorded either way, after the check.
        QCOMPARE(b.valeur("SELECT Genre FROM EVENEMENTS ORDER BY Numero DESC LIMIT 1").toString(),
                 QStringLiteral("DEMARRAGE"));
    }
};

TALMIR_TEST(TestRegistresFiscaux)
#include "tst_registresfiscaux.moc"
