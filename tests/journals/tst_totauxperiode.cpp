#include "journals/totauxperiode.h"
#include "register/caisse.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QSqlQuery>
#include <QtTest>

namespace {
Montant euros(double v) {
    return Montant::depuisDouble(v);
}

const QDate kJour(2026, 3, 5);

struct Magasin {
    BoutiqueTest b;
    Magasin() {
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ROBE', 'Robe', 55, 20, 5), ('LIVRE', 'Livre', 21.10, "
                     "5.5, 5), ('MASQUE', 'Masque', 10, 10, 5)"),
               "articles");
    }
    // One ticket: `codes` sold (a code after "-" comes back: a return), then `action` (the
    // discounts and payments), closed at `quand`.
    void ticket(const QStringList& codes, const std::function<void(Caisse&)>& action,
                const QDateTime& quand) {
        Caisse c(b.bdd, b.cle, QStringLiteral("1"), 1);
        exiger(c.ouvrirTicket(), "ticket ouvert");
        for (QString code : codes) {
            if (code.startsWith(u'-')) {
                c.fixerQuantite(Quantite::unites(-1));
                code.remove(0, 1);
            }
            exiger(c.vendre(*c.lire(code)->article), "article vendu");
        }
        action(c);
        exiger(c.terminer(quand), "ticket terminé");
    }
    // What SQL adds up from the stored lines of the day's closed tickets.
    Montant sql(const QString& condition) {
        return Montant::depuisVariant(b.valeur(
            "SELECT coalesce(sum(V.PrixVenteTTC), 0) FROM VENTES V JOIN TICKETS T ON "
            "T.NumeroTicket = V.NumeroTicket WHERE T.TicketClos <> 0 AND T.Date >= '2026-03-05' "
            "AND T.Date < '2026-03-06' AND " +
            condition));
    }
};
} // namespace

// A period's totals as the daily closure reports them, against what SQL adds up from the lines.
class TestTotauxPeriode : public QObject {
    Q_OBJECT
  private slots:
    void journeeDeVentes() {
        Magasin m;
        const QDateTime matin(kJour, QTime(9, 30)), soir(kJour, QTime(18, 45));
        // Two rates and a discount on the ticket: 55 + 21,10 - 7,61 = 68,49, change 11,51.
        m.ticket(
            {"ROBE", "LIVRE"},
            [](Caisse& c) {
                exiger(c.remiseEnEuros(euros(7.61)), "remise");
                exiger(c.payer("CB", euros(50)), "carte");
                exiger(c.payer("ESPECES", euros(30)), "espèces");
            },
            matin);
        // A mask brought back, a dress sold at 10 % off: 49,50 - 10.
        m.ticket(
            {"-MASQUE", "ROBE"},
            [](Caisse& c) {
                exiger(c.remiseSurDernier(10), "remise");
                exiger(c.payer("CHEQUE", euros(39.50)), "chèque");
            },
            soir);
        // The next day is not this day's.
        m.ticket(
            {"LIVRE"}, [](Caisse& c) { exiger(c.payer("CB", euros(21.10)), "carte"); },
            matin.addDays(1));

        const Resultat<TotauxPeriode> p = totauxPeriode(m.b.bdd, kJour, kJour);
        QVERIFY2(p, qPrintable(p.raison()));
        QCOMPARE(p->tickets, 2);
        QCOMPARE(p->totalTtc, euros(68.49 + 39.50));
        QCOMPARE(p->totalTtc, m.sql("V.qt <> 0"));
        QCOMPARE(p->payes.value("CB"), euros(50));
        QCOMPARE(p->payes.value("ESPECES"), euros(30));
        QCOMPARE(p->payes.value("CHEQUE"), euros(39.50));
        QCOMPARE(p->payes.value("CB"), -m.sql("V.CodeArticle = 'CB'"));
        QCOMPARE(p->rendu, euros(11.51));
        QCOMPARE(p->remises, euros(-7.61 - 5.50));
        QCOMPARE(p->retours, euros(-10));
        QCOMPARE(p->lignesRetournees, 1);
        // What was paid less the change is what was sold.
        Montant paye;
        for (const Montant& v : p->payes)
            paye += v;
        QCOMPARE(paye - p->rendu, p->totalTtc);

        // The ticket discount of 7,61 is shared 55 : 21,10 between 20 % and 5,5 % (2,11 at
        // 5,5 %, the rest at 20 %); the 10 % off the dress is the dress's rate.
        QCOMPARE(p->parTaux.size(), 3);
        QCOMPARE(p->parTaux[0].taux, 5.5);
        QCOMPARE(p->parTaux[0].ttc, euros(21.10 - 2.11));
        QCOMPARE(p->parTaux[1].taux, 10.0);
        QCOMPARE(p->parTaux[1].ttc, euros(-10));
        QCOMPARE(p->parTaux[2].taux, 20.0);
        QCOMPARE(p->parTaux[2].ttc, euros(55 - 5.50 + 55 - 5.50));
        Montant ttc, tva;
        for (const TotalTaux& t : p->parTaux) {
            ttc += t.ttc;
            tva += t.tva;
        }
        QCOMPARE(ttc, p->totalTtc);
        QCOMPARE(tva, p->totalTva);
        QCOMPARE(
            tva,
            Montant::depuisVariant(m.b.valeur(
                "SELECT coalesce(sum(V.TVA), 0) FROM VENTES V JOIN TICKETS T ON T.NumeroTicket = "
                "V.NumeroTicket WHERE T.Date LIKE '2026-03-05%'")));
    }

    // A day without tickets, and lines sold before rates were recorded.
    void sansTicketEtSansTaux() {
        Magasin m;
        const Resultat<TotauxPeriode> vide = totauxPeriode(m.b.bdd, kJour, kJour);
        QVERIFY(vide);
        QCOMPARE(vide->tickets, 0);
        QVERIFY(vide->parTaux.isEmpty());
        QVERIFY(m.b.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt) "
                        "VALUES (7, 'ROBE', 55, 9.17, 1), (7, 'CB', -55, 0, 0)"));
        QVERIFY(m.b.sql("INSERT INTO TICKETS (NumeroTicket, Date, TotalTTC, TicketClos) VALUES "
                        "(7, '2026-03-05 10:00:00', 55, 1)"));
        const Resultat<TotauxPeriode> p = totauxPeriode(m.b.bdd, kJour, kJour);
        QVERIFY(p);
        QCOMPARE(p->parTaux.size(), 1);
        QCOMPARE(p->parTaux[0].taux, kTauxInconnu);
        QCOMPARE(p->parTaux[0].ttc, euros(55));
        QCOMPARE(p->parTaux[0].ht(), euros(55 - 9.17));
    }
};

TALMIR_TEST(TestTotauxPeriode)
#include "tst_totauxperiode.moc"
