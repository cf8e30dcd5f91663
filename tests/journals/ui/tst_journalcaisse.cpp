#include "journals/journalcaisse.h"
#include "journals/ui/journauxtab.h"
#include "printing/surface.h"
#include "settings/ini32.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// A closed ticket with its lines: code, amount including VAT, VAT, quantity.
struct Ligne {
    QString code;
    double prix;
    double tva;
    double qt;
};

// The lines first: once the ticket is closed, its lines can no longer be added.
bool ticket(BoutiqueTest& b, qint64 numero, const QString& date, const QList<Ligne>& lignes,
            bool clos = true) {
    for (const Ligne& l : lignes)
        if (!b.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt) "
                   "VALUES (?, ?, ?, ?, ?)",
                   {numero, l.code, l.prix, l.tva, l.qt}))
            return false;
    return b.sql("INSERT INTO TICKETS (NumeroTicket, Date, TicketClos) VALUES (?, ?, ?)",
                 {numero, date, clos ? 1 : 0});
}

QStringList textes(const Surface& s) {
    QStringList t;
    for (const auto& e : s.textes())
        t << e.texte;
    return t;
}

// The shop of the tests: two articles, and the printers of a shop with an A4 printer.
struct Caisse {
    BoutiqueTest b;
    Services s = b.services();
    std::unique_ptr<JournauxTab> tab;

    Caisse() {
        b.imprimantes = ImprimantesTest({"Ticket 80", "Laser A4", "Imprimante PDF"});
        exiger(b.ouvrir(), "opening the shop");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur) VALUES "
                     "('PULL1', 'Pull laine', 'M', NULL), ('JUPE2', 'Jupe', NULL, NULL)"),
               "the shop's articles");
        parametre("imprimante", "imprimanteA4", "Laser A4", b.installation().fichierIni(), 0);
        tab = std::make_unique<JournauxTab>(s);
        tab->setAujourdhui("05/03/2024");
    }
    // Presses the button; the surface of the one job printed.
    Surface* imprimer() {
        tab->findChild<QPushButton*>("journalAujourdhui")->click();
        if (b.imprimantes.travaux.size() != 1)
            return nullptr;
        return b.imprimantes.travaux[0].surface.get();
    }
};
} // namespace

// The day's cash journal: which tickets, what each block prints, the running totals read from
// the printed page, the pages of a long day, and the printer it goes to.
class TestJournalCaisse : public QObject {
    Q_OBJECT
  private slots:
    void totauxCumules() {
        Caisse j;
        QVERIFY(ticket(j.b, 1, "2024-03-05 10:00:00",
                       {{"PULL1", 30, 4.92, 1}, {"ESPECES", -30, 0, 0}}));
        QVERIFY(ticket(j.b, 2, "2024-03-05 11:00:00",
                       {{"JUPE2", 40, 6.56, 2}, {"REMISE", -20, -3.28, 1}, {"CB", -20, 0, 0}}));
        Surface* s = j.imprimer();
        QVERIFY(s);
        QCOMPARE(textes(*s), (QStringList{
                                 "   PULL1 : Pull laine",
                                 "   > Taille : M ",
                                 "30,00 € x 1 =     30,00 €",
                                 "   ESPECES : ",
                                 "-30,00 €",
                                 "TVA : 4,92 €",
                                 "Total ttc : 30,00 €",
                                 "Total ttc dû : 0,00 €",
                                 "   mardi 5 mars 2024 09:01",
                                 "   JUPE2 : Jupe",
                                 "20,00 € x 2 =     40,00 €",
                                 "   REMISE : ",
                                 "-20,00 € x 1 =     -20,00 €",
                                 "   CB : ",
                                 "-20,00 €",
                                 "TVA : 8,20 €",
                                 "Total ttc : 50,00 €",
                                 "Total ttc dû : 0,00 €",
                                 "   mardi 5 mars 2024 09:01",
                             }));
        // Amounts end 40 twips before the middle of the page; only the totals are bold.
        for (const auto& t : s->textes()) {
            const bool montant = !t.texte.startsWith("   ");
            s->setFontBold(t.gras);
            if (montant)
                QCOMPARE(qRound(t.x + s->TextWidth(t.texte)), qRound(s->ScaleWidth() / 2 - 40));
            QCOMPARE(t.gras, t.texte.startsWith("Total ttc"));
        }
    }

    void ticketsDuJour() {
        // The till's closed tickets dated that day, from midnight to the last second, by number;
        // tickets written before tills were numbered are till 1's.
        Caisse j;
        QVERIFY(ticket(j.b, 1, "2024-03-04 23:59:59", {}));
        QVERIFY(ticket(j.b, 7, "2024-03-05 23:59:59", {}));
        QVERIFY(ticket(j.b, 3, "2024-03-05 00:00:00", {}));
        QVERIFY(ticket(j.b, 5, "2024-03-05 12:00:00", {}, false)); // still open
        QVERIFY(ticket(j.b, 4, "2024-03-06 00:00:00", {}));
        QVERIFY(ticket(j.b, 6, "2024-03-05 08:30:00", {}));
        QVERIFY(j.b.sql("INSERT INTO TICKETS (NumeroTicket, Date, TicketClos, caisse) VALUES "
                        "(8, '2024-03-05 09:00:00', 1, '2'), (9, '2024-03-05 09:10:00', 1, '1')"));
        QCOMPARE(::ticketsDuJour(j.b.bdd, QDate(2024, 3, 5), "1"), (QList<qint64>{3, 6, 7, 9}));
        QCOMPARE(::ticketsDuJour(j.b.bdd, QDate(2024, 3, 5), "2"), (QList<qint64>{8}));
        j.b.bdd.fermer();
        QVERIFY(!::ticketsDuJour(j.b.bdd, QDate(2024, 3, 5), "1"));
    }

    void journeeSansTicket() {
        Caisse j;
        QVERIFY(ticket(j.b, 1, "2024-03-04 18:00:00", {{"PULL1", 30, 4.92, 1}}));
        Surface* s = j.imprimer();
        QVERIFY(s);
        QCOMPARE(s->nombrePages(), 1);
        QCOMPARE(textes(*s).value(0),
                 QStringLiteral("   Aucun ticket clos le 05/03/2024 : le journal de caisse est "
                                "vide."));
        QVERIFY(j.b.imprimantes.travaux[0].termine);
    }

    void longJournal() {
        // A busy day fills several pages; nothing is drawn past the bottom of a page, and the
        // running totals carry over from page to page.
        Caisse j;
        Transaction t(j.b.bdd);
        for (int n = 1; n <= 150; ++n)
            QVERIFY(ticket(j.b, n, "2024-03-05 10:00:00",
                           {{"PULL1", 30, 4.92, 1}, {"ESPECES", -25, 0, 0}}));
        QVERIFY(t.valider());
        Surface* s = j.imprimer();
        QVERIFY(s);
        QVERIFY(s->nombrePages() > 5);
        int derniere = 0;
        for (const auto& t : s->textes()) {
            QVERIFY(t.y > 0);
            QVERIFY(t.y + s->TextHeight() <= s->ScaleHeight());
            QVERIFY(t.page >= derniere);
            derniere = t.page;
        }
        QCOMPARE(derniere, s->nombrePages() - 1);
        const QStringList imprime = textes(*s);
        QCOMPARE(imprime.filter("Total ttc : ").last(), QStringLiteral("Total ttc : 4500,00 €"));
        QCOMPARE(imprime.filter("Total ttc dû : ").last(),
                 QStringLiteral("Total ttc dû : 750,00 €"));
        QCOMPARE(imprime.filter("TVA : ").last(), QStringLiteral("TVA : 738,00 €"));
    }

    void imprimante() {
        // The A4 role's printer, an A4 job, ended.
        Caisse j;
        QVERIFY(ticket(j.b, 1, "2024-03-05 10:00:00", {{"PULL1", 30, 4.92, 1}}));
        QVERIFY(j.imprimer());
        const auto& travail = j.b.imprimantes.travaux[0];
        QCOMPARE(travail.imprimante, QStringLiteral("Laser A4"));
        QCOMPARE(travail.format, FormatPapier::A4);
        QVERIFY(travail.termine);
        QVERIFY(j.b.dialogues.boites.isEmpty());
    }

    // Lines that cannot be read never make a journal look whole: the page says which ticket
    // lacks them and why, and so does a box once it is printed.
    void lignesIllisibles() {
        Caisse j;
        QVERIFY(ticket(j.b, 1, "2024-03-05 10:00:00",
                       {{"PULL1", 30, 4.92, 1}, {"ESPECES", -30, 0, 0}}));
        QVERIFY(ticket(j.b, 2, "2024-03-05 11:00:00", {{"JUPE2", 40, 6.56, 1}}));
        QVERIFY(j.b.sql("ALTER TABLE VENTES RENAME TO VENTES_ABIMEES"));
        Surface* s = j.imprimer();
        QVERIFY(s);
        const QStringList manque = textes(*s).filter("lignes illisibles");
        QCOMPARE(manque,
                 (QStringList{"   *** Ticket n° 1 : lignes illisibles (la table VENTES est absente "
                              "de la base de données) ; ce journal est incomplet ***",
                              "   *** Ticket n° 2 : lignes illisibles (la table VENTES est absente "
                              "de la base de données) ; ce journal est incomplet ***"}));
        QVERIFY(j.b.imprimantes.travaux[0].termine);
        QCOMPARE(j.b.dialogues.textes(),
                 QStringList{"Le journal de caisse est imprimé, mais il est incomplet : les lignes "
                             "des tickets n° 1, 2 n'ont pas pu être lues."});
    }

    void imprimanteEnPanne() {
        Caisse j;
        j.b.imprimantes.enPanne = true;
        QVERIFY(j.imprimer());
        QCOMPARE(j.b.dialogues.boites.size(), 1);
        QVERIFY(j.b.dialogues.boites[0].texte.contains("l'imprimante ne répond pas"));
    }
};

TALMIR_TEST(TestJournalCaisse)
#include "tst_journalcaisse.moc"
