#include "common/formats.h"
#include "journals/clotures.h"
#include "journals/ui/journauxtab.h"
#include "printing/surface.h"
#include "register/caisse.h"
#include "settings/ini32.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QPushButton>
#include <QtTest>

namespace {
Montant euros(double v) {
    return Montant::depuisDouble(v);
}

QStringList textes(const Surface& s) {
    QStringList t;
    for (const auto& e : s.textes())
        t << e.texte;
    return t;
}

// A shop with a receipt printer and an A4 printer, and a day of sales.
struct Boutique {
    BoutiqueTest b;
    Services s = b.services();
    std::unique_ptr<JournauxTab> tab;

    Boutique() {
        b.imprimantes = ImprimantesTest({"Ticket 80", "Laser A4", "Imprimante PDF"});
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ROBE', 'Robe', 55, 19.6, 50), ('LIVRE', 'Livre', 21.10, "
                     "5.5, 50)"),
               "articles");
        parametre("imprimante", "imprimanteA4", "Laser A4", b.installation().fichierIni(), 0);
        parametre("imprimante", "imprimanteticket", "Ticket 80", b.installation().fichierIni(), 0);
        parametre("boutique", "nom", "Mode & Cie", b.installation().fichierIni(), 0);
        b.horloge.regler(QDateTime(QDate(2026, 3, 5), QTime(19, 0)));
        vendre({"ROBE", "LIVRE"}, "ESPECES", 100, QTime(10, 0));
        vendre({"ROBE"}, "CB", 55, QTime(11, 0));
        tab = std::make_unique<JournauxTab>(s);
    }
    void vendre(const QStringList& codes, const QString& moyen, double montant, QTime quand,
                const QString& caisse = QStringLiteral("1")) {
        Caisse c(b.bdd, b.cle, caisse, 1);
        exiger(c.ouvrirTicket(), "ticket");
        for (const QString& code : codes)
            exiger(c.vendre(*c.lire(code)->article), "article");
        exiger(c.payer(moyen, euros(montant)), "paiement");
        exiger(c.terminer(QDateTime(QDate(2026, 3, 5), quand)), "ticket terminé");
    }
    void cliquer() { tab->findChild<QPushButton*>("clotureDuJour")->click(); }
    qint64 clotures() { return b.valeur("SELECT count(*) FROM CLOTURES").toLongLong(); }
};
} // namespace

// The "Clôture du jour" button: asked first, the Z made and its report printed.
class TestClotureDuJour : public QObject {
    Q_OBJECT
  private slots:
    void refusee() {
        Boutique z;
        z.b.dialogues.reponses = {Dialogues::Reponse::Non};
        z.cliquer();
        QCOMPARE(z.b.dialogues.boites.size(), 1);
        QCOMPARE(z.clotures(), 0);
        QVERIFY(z.b.imprimantes.travaux.isEmpty());
    }

    void rapportA4EtTicket_data() {
        QTest::addColumn<bool>("surTicket");
        QTest::newRow("A4 seulement") << false;
        QTest::newRow("A4 et ticket") << true;
    }
    void rapportA4EtTicket() {
        QFETCH(bool, surTicket);
        Boutique z;
        z.b.dialogues.reponses = {Dialogues::Reponse::Oui,
                                  surTicket ? Dialogues::Reponse::Oui : Dialogues::Reponse::Non};
        z.cliquer();
        QCOMPARE(z.clotures(), 1);
        QCOMPARE(z.b.imprimantes.travaux.size(), surTicket ? 2 : 1);
        const auto& a4 = z.b.imprimantes.travaux[0];
        QCOMPARE(a4.imprimante, QStringLiteral("Laser A4"));
        QCOMPARE(a4.format, FormatPapier::A4);
        QVERIFY(a4.termine);
        const QStringList t = textes(*a4.surface);
        QVERIFY2(t.contains("Mode & Cie"), qPrintable(t.join('\n')));
        QVERIFY(t.contains("Clôture journalière (Z) n° 1"));
        QVERIFY(t.contains("Espèces : " + formatEuros(euros(100))));
        QVERIFY(t.contains("Carte bancaire : " + formatEuros(euros(55))));
        QVERIFY(t.contains("Chèque : " + formatEuros(Montant())));
        QVERIFY(t.contains("Rendu monnaie : " + formatEuros(euros(23.90))));
        QVERIFY(t.contains("Total TTC : " + formatEuros(euros(131.10))));
        QVERIFY(t.contains("Grand total perpétuel : " + formatEuros(euros(131.10))));
        QVERIFY(t.contains("TVA 5,5 % : HT " + formatEuros(euros(20)) + "  TVA " +
                           formatEuros(euros(1.10)) + "  TTC " + formatEuros(euros(21.10))));
        if (surTicket) {
            QCOMPARE(z.b.imprimantes.travaux[1].imprimante, QStringLiteral("Ticket 80"));
            QCOMPARE(z.b.imprimantes.travaux[1].format, FormatPapier::Ticket);
            QCOMPARE(textes(*z.b.imprimantes.travaux[1].surface), t);
        }
    }

    // The second till of the shop closes its own day, after the first: its report gives its
    // own figures, then the shop's.
    void deuxiemeCaisse() {
        Boutique z;
        parametre("systeme", "Caisse", "2", z.b.installation().fichierIni(), 0);
        z.vendre({"ROBE"}, "CB", 55, QTime(12, 0), QStringLiteral("2"));
        QVERIFY(clotures::clotureDuJour(
            z.b.bdd, z.b.cle, QDateTime(QDate(2026, 3, 5), QTime(18, 0)), QStringLiteral("1")));
        z.b.dialogues.reponses = {Dialogues::Reponse::Oui, Dialogues::Reponse::Non};
        z.cliquer();
        QCOMPARE(z.b.valeur("SELECT ChaineCaisse || ':' || Tickets || ':' || Premier FROM CLOTURES "
                            "WHERE Numero = 2")
                     .toString(),
                 QStringLiteral("2:1:1"));
        const QStringList t = textes(*z.b.imprimantes.travaux.value(0).surface);
        QVERIFY2(t.contains("Caisse 2"), qPrintable(t.join('\n')));
        QVERIFY(t.contains("Total TTC : " + formatEuros(euros(55))));
        QVERIFY(t.contains("Caisse 1 : 2 tickets, " + formatEuros(euros(131.10))));
        QVERIFY(t.contains("Total boutique TTC : " + formatEuros(euros(186.10)) + " (3 tickets)"));
    }

    // A printer gone: the closure stays made, the operator is told.
    void imprimanteEnPanne() {
        Boutique z;
        z.b.imprimantes.enPanne = true;
        z.b.dialogues.reponses = {Dialogues::Reponse::Oui, Dialogues::Reponse::Ok,
                                  Dialogues::Reponse::Non};
        z.cliquer();
        QCOMPARE(z.clotures(), 1);
        QVERIFY(z.b.dialogues.textes().join('\n').contains("n'a pas pu être imprimé"));
    }
};

TALMIR_TEST(TestClotureDuJour)
#include "tst_cloturedujour.moc"
