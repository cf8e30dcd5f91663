#include "fiscal/evenements.h"
#include "journals/clotures.h"
#include "journals/rapportcloture.h"
#include "register/caisse.h"
#include "register/historique.h"
#include "register/signatureticket.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QSqlQuery>
#include <QtTest>

namespace {
Montant euros(double v) {
    return Montant::depuisDouble(v);
}

using textefiscal::Cloture;

const QDate kJour(2026, 3, 5);

struct Magasin {
    BoutiqueTest b;
    Magasin() {
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ROBE', 'Robe', 55, 19.6, 50), ('LIVRE', 'Livre', 21.10, "
                     "5.5, 50)"),
               "articles");
    }
    // One ticket: `codes` sold (a code after "-" comes back: a return), then `action` (the
    // discounts and payments), closed at `quand`.
    qint64 ticket(const QStringList& codes, const std::function<void(Caisse&)>& action,
                  const QDateTime& quand, const QString& caisse = QStringLiteral("1")) {
        Caisse c(b.bdd, b.cle, caisse, 1);
        exiger(c.ouvrirTicket(), "ticket ouvert");
        for (QString code : codes) {
            if (code.startsWith(u'-')) {
                c.fixerQuantite(Quantite::unites(-1));
                code.remove(0, 1);
            }
            exiger(c.vendre(*c.lire(code)->article), "article vendu");
        }
        action(c);
        const Resultat<Caisse::Cloture> clos = c.terminer(quand);
        exiger(clos, "ticket terminé");
        return clos.ok() ? clos->numero : 0;
    }
    // A dress paid by card.
    qint64 robe(const QDateTime& quand, const QString& caisse = QStringLiteral("1")) {
        return ticket(
            {"ROBE"}, [](Caisse& c) { exiger(c.payer("CB", euros(55)), "carte"); }, quand, caisse);
    }
    // The demo day: two rates, cash with change, card, cheque, a discount and a return.
    void journee(const QDate& jour) {
        ticket(
            {"ROBE", "LIVRE"}, [](Caisse& c) { exiger(c.payer("ESPECES", euros(100)), "espèces"); },
            QDateTime(jour, QTime(9, 30)));
        ticket(
            {"ROBE"},
            [](Caisse& c) {
                exiger(c.remiseSurDernier(10), "remise");
                exiger(c.payer("CB", euros(49.50)), "carte");
            },
            QDateTime(jour, QTime(11, 0)));
        ticket(
            {"-LIVRE", "ROBE"},
            [](Caisse& c) { exiger(c.payer("CHEQUE", euros(33.90)), "chèque"); },
            QDateTime(jour, QTime(18, 45)));
    }
    QList<Cloture> z(const QDateTime& quand, const QString& caisse = QStringLiteral("1")) {
        const Resultat<QList<Cloture>> r = clotures::clotureDuJour(b.bdd, b.cle, quand, caisse);
        exiger(r, "clôture du jour");
        return r.ok() ? *r : QList<Cloture>();
    }
    QList<Cloture> oublies(const QDateTime& quand) {
        const Resultat<QList<Cloture>> r = clotures::cloreJoursOublies(b.bdd, b.cle, quand);
        exiger(r, "clôture des jours oubliés");
        return r.ok() ? *r : QList<Cloture>();
    }
    // What SQL adds up from the stored lines of the closed tickets.
    Montant sql(const QString& condition, const QString& colonne = "V.PrixVenteTTC") {
        return Montant::depuisVariant(
            b.valeur("SELECT coalesce(sum(" + colonne +
                     "), 0) FROM VENTES V JOIN TICKETS T ON T.NumeroTicket = V.NumeroTicket WHERE "
                     "T.TicketClos <> 0 AND " +
                     condition));
    }
    QByteArray texteStocke(qint64 numero) {
        return b.valeur("SELECT Texte FROM CLOTURES WHERE Numero = ?", {numero})
            .toString()
            .toUtf8();
    }
    // Every stored closure's text is made again the same: each on its own from its lines, and
    // all in order as the verifier does, a month or a year then added up from its days.
    bool intacte() {
        const qint64 n = b.valeur("SELECT count(*) FROM CLOTURES").toLongLong();
        clotures::Recalcul enOrdre(b.bdd);
        for (qint64 i = 1; i <= n; ++i) {
            const Resultat<QByteArray> seule = clotures::texteAttendu(b.bdd, i);
            const Resultat<QByteArray> suivie = enOrdre.texteAttendu(i);
            if (!seule || *seule != texteStocke(i) || !suivie || *suivie != *seule)
                return false;
        }
        return n > 0;
    }
};

Montant somme(const QList<QPair<QString, Montant>>& payes, const QString& moyen) {
    for (const auto& [m, v] : payes)
        if (m == moyen)
            return v;
    return Montant();
}
} // namespace

// The closures (Z) of the till, against what SQL adds up from the stored lines.
class TestClotures : public QObject {
    Q_OBJECT
  private slots:
    void journeeDeVentes() {
        Magasin m;
        m.journee(kJour);
        const QList<Cloture> z = m.z(QDateTime(kJour, QTime(19, 0)));
        QCOMPARE(z.size(), 1);
        const Cloture& c = z[0];
        QCOMPARE(c.genre, QStringLiteral("JOUR"));
        QCOMPARE(c.numero, 1);
        QCOMPARE(c.premier, 1);
        QCOMPARE(c.dernier, 3);
        QCOMPARE(c.debut, kJour);
        QCOMPARE(c.fin, kJour);
        QCOMPARE(c.tickets, 3);
        // 76,10 + 49,50 + 33,90, change 23,90, 5,50 off, a book of 21,10 back.
        QCOMPARE(c.totalTtc, euros(76.10 + 49.50 + 33.90));
        QCOMPARE(c.totalTtc, m.sql("V.qt <> 0"));
        QCOMPARE(c.totalHt, m.sql("V.qt <> 0") - m.sql("V.qt <> 0", "V.TVA"));
        QCOMPARE(c.rendu, euros(23.90));
        QCOMPARE(c.remises, euros(-5.50));
        QCOMPARE(c.retours, euros(-21.10));
        QCOMPARE(c.annulations, 0);
        QCOMPARE(c.grandTotal, c.totalTtc);

        // Every means, always in the till's order, as SQL adds up their lines.
        QCOMPARE(c.payes.size(), mots::paiements().size());
        for (int i = 0; i < c.payes.size(); ++i) {
            QCOMPARE(c.payes[i].first, mots::paiements()[i]);
            QCOMPARE(c.payes[i].second, -m.sql("V.CodeArticle = '" + mots::paiements()[i] + "'"));
        }
        QCOMPARE(somme(c.payes, "ESPECES"), euros(100));
        QCOMPARE(somme(c.payes, "AVOIR"), Montant());

        // Per rate, as SQL groups the priced lines by their rate.
        QCOMPARE(c.parTaux.size(), 2);
        for (const textefiscal::TauxCloture& t : c.parTaux) {
            const QString condition = QStringLiteral("V.qt <> 0 AND V.TauxTVA = %1").arg(t.taux);
            QCOMPARE(t.ttc, m.sql(condition));
            QCOMPARE(t.ht, m.sql(condition) - m.sql(condition, "V.TVA"));
        }
        QCOMPARE(c.parTaux[0].taux, 5.5);
        QCOMPARE(c.parTaux[0].ttc, Montant());

        // Stored, signed, chained and journalled.
        const QByteArray texte = m.texteStocke(1);
        QCOMPARE(texte, textefiscal::texte(c));
        QVERIFY(texte.contains(";CHEQUE=33.9000;ESPECES=100.0000;CB=49.5000;AVOIR=0.0000;"));
        QVERIFY(texte.contains(";PRECEDENTE=PREMIERE"));
        const Resultat<bool> signe = m.b.cle.publique().verifier(
            texte, m.b.valeur("SELECT Signature FROM CLOTURES").toString().toLatin1());
        QVERIFY(signe && *signe);
        // Stored as numbers: the file's reals, the server's decimals to four places.
        QCOMPARE(m.b.valeur("SELECT Tickets || ' ' || TotalTTC || ' ' || GrandTotal FROM "
                            "CLOTURES")
                     .toString(),
                 m.b.surServeur() ? QStringLiteral("3 159.5000 159.5000")
                                  : QStringLiteral("3 159.5 159.5"));
        QCOMPARE(m.b.valeur("SELECT Detail FROM EVENEMENTS WHERE Genre = 'CLOTURE'").toString(),
                 QStringLiteral("Z JOUR n° 1 du 2026-03-05"));
        QVERIFY(m.intacte());
    }

    // Two days chained, the duplicates counted once, and a Z without a ticket.
    void deuxJoursEtZVide() {
        Magasin m;
        m.journee(kJour);
        auto duplicata = [&](const QDateTime& quand) {
            exiger(
                evenements::consigner(m.b.bdd, m.b.cle, evenements::duplicata(), "ticket 1", quand),
                "duplicata");
        };
        duplicata(QDateTime(kJour, QTime(12, 0)));
        duplicata(QDateTime(kJour, QTime(12, 5)));
        const Cloture z1 = m.z(QDateTime(kJour, QTime(19, 0))).value(0);
        QCOMPARE(z1.duplicatas, 2);

        const QDate lendemain = kJour.addDays(1);
        m.robe(QDateTime(lendemain, QTime(10, 0)));
        duplicata(QDateTime(lendemain, QTime(10, 5)));
        const QList<Cloture> j2 = m.z(QDateTime(lendemain, QTime(19, 0)));
        QCOMPARE(j2.size(), 1);
        const Cloture& z2 = j2[0];
        QCOMPARE(z2.numero, 2);
        QCOMPARE(z2.premier, 4);
        QCOMPARE(z2.dernier, 4);
        QCOMPARE(z2.tickets, 1);
        QCOMPARE(z2.duplicatas, 1);
        QCOMPARE(z2.totalTtc, euros(55));
        QCOMPARE(z2.grandTotal, z1.grandTotal + euros(55));
        QCOMPARE(
            z2.precedente,
            m.b.valeur("SELECT Signature FROM CLOTURES WHERE Numero = 1").toString().toLatin1());

        // Pressed again the same evening: nothing to close, still a Z.
        const QList<Cloture> vide = m.z(QDateTime(lendemain, QTime(19, 30)));
        QCOMPARE(vide.size(), 1);
        QCOMPARE(vide[0].tickets, 0);
        QCOMPARE(vide[0].premier, 5);
        QCOMPARE(vide[0].dernier, 4);
        QCOMPARE(vide[0].totalTtc, Montant());
        QCOMPARE(vide[0].grandTotal, z2.grandTotal);
        QCOMPARE(vide[0].debut, lendemain);
        QVERIFY(m.intacte());
    }

    // Days left unclosed are closed by themselves, one per day, today's tickets left open;
    // a month once the next has begun, a year once the next has.
    void joursOubliesMoisEtAnnee() {
        Magasin m;
        const QDate j1(2026, 12, 30), j2(2026, 12, 31), j3(2027, 1, 2);
        m.journee(j1);
        m.robe(QDateTime(j2, QTime(10, 0)));
        m.robe(QDateTime(j2, QTime(16, 0)));
        m.robe(QDateTime(j3, QTime(10, 0)));

        // Nothing is due on the last day of the year: its tickets are today's.
        QCOMPARE(m.oublies(QDateTime(j2, QTime(17, 0))).size(), 1);
        const QList<Cloture> faites = m.oublies(QDateTime(j3, QTime(9, 0)).addDays(1));
        QCOMPARE(faites.size(), 4);
        QCOMPARE(faites[0].genre, QStringLiteral("JOUR"));
        QCOMPARE(faites[0].debut, j2);
        QCOMPARE(faites[0].premier, 4);
        QCOMPARE(faites[0].dernier, 5);
        QCOMPARE(faites[1].genre, QStringLiteral("JOUR"));
        QCOMPARE(faites[1].debut, j3);
        QCOMPARE(faites[1].tickets, 1);
        const Cloture& mois = faites[2];
        const Cloture& annee = faites[3];
        QCOMPARE(mois.genre, QStringLiteral("MOIS"));
        QCOMPARE(annee.genre, QStringLiteral("ANNEE"));
        for (const Cloture& p : {mois, annee}) {
            QCOMPARE(p.debut, j1);
            QCOMPARE(p.fin, j2);
            QCOMPARE(p.premier, 1);
            QCOMPARE(p.dernier, 5);
            QCOMPARE(p.tickets, 5);
            // The month is the sum of its days.
            const QList<QVariant> jours = {1, 2};
            Montant ttc;
            for (const QVariant& j : jours)
                ttc += Montant::depuisVariant(
                    m.b.valeur("SELECT TotalTTC FROM CLOTURES WHERE Numero = ?", {j}));
            QCOMPARE(p.totalTtc, ttc);
            QCOMPARE(somme(p.payes, "CB"), euros(49.50 + 55 + 55));
            QCOMPARE(p.grandTotal, faites[0].grandTotal);
        }
        // Nothing more is due the same day.
        QCOMPARE(m.oublies(QDateTime(j3, QTime(12, 0)).addDays(1)).size(), 0);
        QVERIFY(m.intacte());
    }

    // A changed record makes the closure's text differ from the one signed (or its columns
    // disagree with it).
    void falsification_data() {
        QTest::addColumn<QString>("table"); // whose guards the tamperer lifts
        QTest::addColumn<QString>("requete");
        QTest::newRow("prix d'une ligne")
            << "VENTES"
            << "UPDATE VENTES SET PrixVenteTTC = 50 WHERE Id = (SELECT min(Id) "
               "FROM VENTES WHERE CodeArticle = 'ROBE')";
        QTest::newRow("taux d'une ligne")
            << "VENTES"
            << "UPDATE VENTES SET TauxTVA = 20 WHERE CodeArticle = 'ROBE'";
        QTest::newRow("moyen de paiement")
            << "VENTES"
            << "UPDATE VENTES SET CodeArticle = 'CB' WHERE CodeArticle = 'CHEQUE'";
        QTest::newRow("ticket supprimé") << "TICKETS"
                                         << "DELETE FROM TICKETS WHERE Chainage = 2";
        QTest::newRow("total d'un ticket") << "TICKETS"
                                           << "UPDATE TICKETS SET TotalTTC = 1 WHERE Chainage = 1";
        QTest::newRow("duplicata effacé") << "EVENEMENTS"
                                          << "DELETE FROM EVENEMENTS WHERE Genre = 'DUPLICATA'";
        QTest::newRow("colonne TotalTTC de la clôture") << "CLOTURES"
                                                        << "UPDATE CLOTURES SET TotalTTC = 1";
        QTest::newRow("colonne Dernier de la clôture") << "CLOTURES"
                                                       << "UPDATE CLOTURES SET Dernier = 2";
        QTest::newRow("colonne TotalTTC du mois")
            << "CLOTURES"
            << "UPDATE CLOTURES SET TotalTTC = 1 WHERE Genre = 'MOIS'";
        QTest::newRow("rendu dans le texte du mois")
            << "CLOTURES"
            << "UPDATE CLOTURES SET Texte = replace(Texte, ';RENDU=', ';RENDU=1') "
               "WHERE Genre = 'MOIS'";
        QTest::newRow("date de la clôture") << "CLOTURES"
                                            << "UPDATE CLOTURES SET Date = '2026-03-04 19:00:00'";
    }
    void falsification() {
        QFETCH(QString, table);
        QFETCH(QString, requete);
        Magasin m;
        m.journee(kJour);
        exiger(evenements::consigner(m.b.bdd, m.b.cle, evenements::duplicata(), "ticket 1",
                                     QDateTime(kJour, QTime(12, 0))),
               "duplicata");
        m.z(QDateTime(kJour, QTime(19, 0)));
        // A sale of the next month, closed with the month at the day after.
        const QDate suivant = kJour.addMonths(1);
        m.robe(QDateTime(suivant, QTime(10, 0)));
        QCOMPARE(m.oublies(QDateTime(suivant.addDays(1), QTime(9, 0))).size(), 2);
        QVERIFY(m.intacte());
        QVERIFY(m.b.leverGardes({table}));
        QVERIFY2(m.b.sql(requete), qPrintable(requete));
        QVERIFY(!m.intacte());
    }

    // Two tills of one shop: each closes its own tickets, its grand total its own, the
    // duplicates of its own tickets; the shop's day is their closures added up; a day left
    // unclosed is closed for every till, whichever starts.
    void deuxCaisses() {
        Magasin m;
        const QDateTime matin(kJour, QTime(9, 0));
        QList<qint64> deux;
        for (int i = 0; i < 3; ++i) {
            m.robe(matin.addSecs(600 * i));
            deux << m.ticket(
                {"LIVRE"}, [](Caisse& c) { exiger(c.payer("ESPECES", euros(21.10)), "espèces"); },
                matin.addSecs(600 * i + 300), QStringLiteral("2"));
        }
        exiger(historique::consignerDuplicata(m.b.bdd, m.b.cle, deux[1], matin.addSecs(4000)),
               "duplicata");
        const QList<Cloture> z2 = m.z(QDateTime(kJour, QTime(19, 0)), QStringLiteral("2"));
        QCOMPARE(z2.size(), 1);
        QCOMPARE(z2[0].caisse, QStringLiteral("2"));
        QCOMPARE(z2[0].premier, 1);
        QCOMPARE(z2[0].dernier, 3);
        QCOMPARE(z2[0].tickets, 3);
        QCOMPARE(z2[0].totalTtc, euros(63.30));
        QCOMPARE(z2[0].grandTotal, euros(63.30));
        QCOMPARE(somme(z2[0].payes, "ESPECES"), euros(63.30));
        QCOMPARE(z2[0].duplicatas, 1);
        QVERIFY(m.texteStocke(z2[0].numero).startsWith("CLOTURE;NUMERO=1;CAISSE=2;GENRE=JOUR;"));
        // Asked again the same evening: till 2's day is closed; till 1's is still open.
        const QList<Cloture> z1 = m.z(QDateTime(kJour, QTime(19, 30)));
        QCOMPARE(z1.size(), 1);
        QCOMPARE(z1[0].caisse, QStringLiteral("1"));
        QCOMPARE(z1[0].numero, 2);
        QCOMPARE(z1[0].tickets, 3);
        QCOMPARE(z1[0].totalTtc, euros(165));
        QCOMPARE(z1[0].duplicatas, 0);
        QVERIFY(m.texteStocke(2).startsWith("CLOTURE;NUMERO=2;GENRE=JOUR;"));

        const Resultat<QList<clotures::PartCaisse>> jour =
            clotures::totalBoutique(m.b.bdd, clotures::jour(), kJour, kJour);
        QVERIFY(jour);
        QCOMPARE(jour->size(), 2);
        QCOMPARE((*jour)[0].caisse, QStringLiteral("1"));
        QCOMPARE((*jour)[0].totalTtc, euros(165));
        QCOMPARE((*jour)[1].tickets, 3);
        const QStringList rapport = lignesRapport(z1[0], QStringLiteral("Boutique"), "SIG", *jour);
        QVERIFY2(rapport.contains(QStringLiteral("Caisse 2 : 3 tickets, 63,30 €")),
                 qPrintable(rapport.join(u'\n')));
        QVERIFY(rapport.contains(QStringLiteral("Total boutique TTC : 228,30 € (6 tickets)")));
        // A till alone in the shop prints its own figures only.
        QVERIFY(!lignesRapport(z1[0], QString(), "SIG", {(*jour)[0]})
                     .join(u'\n')
                     .contains(QStringLiteral("Total boutique")));

        // The next day's sales of both tills, left unclosed: the day after, the first till to
        // start closes both.
        const QDate lendemain = kJour.addDays(1);
        m.robe(QDateTime(lendemain, QTime(10, 0)), QStringLiteral("2"));
        m.robe(QDateTime(lendemain, QTime(10, 5)));
        const QList<Cloture> oublies = m.oublies(QDateTime(lendemain.addDays(1), QTime(9, 0)));
        QCOMPARE(oublies.size(), 2);
        QCOMPARE(oublies[0].caisse + oublies[1].caisse, QStringLiteral("12"));
        QCOMPARE(oublies[1].premier, 4);
        QCOMPARE(oublies[1].grandTotal, euros(118.30));
        QVERIFY(m.intacte());
    }

    // A cancelling ticket is counted with its amount, and its lines in the day's totals.
    void annulation() {
        Magasin m;
        m.robe(QDateTime(kJour, QTime(10, 0)));
        Caisse c(m.b.bdd, m.b.cle, "1", 1);
        QVERIFY(c.ouvrirTicket());
        c.fixerQuantite(Quantite::unites(-1));
        QVERIFY(c.vendre(*c.lire("ROBE")->article));
        signatureticket::Fermeture f;
        f.numero = *c.ticket();
        f.total = c.totaux().totalTtc;
        f.quand = QDateTime(kJour, QTime(10, 5));
        f.caisse = "1";
        f.vendeur = "1";
        f.genre = textefiscal::Genre::Annulation;
        f.annule = 1;
        QVERIFY(signatureticket::clore(m.b.bdd, m.b.cle, f, c.lignes()));
        const Cloture z = m.z(QDateTime(kJour, QTime(19, 0))).value(0);
        QCOMPARE(z.tickets, 2);
        QCOMPARE(z.annulations, 1);
        QCOMPARE(z.annule, euros(-55));
        QCOMPARE(z.totalTtc, Montant());
        QCOMPARE(z.grandTotal, Montant());
        QVERIFY(m.texteStocke(1).contains(";ANNULATIONS=1:-55.0000;"));
        QVERIFY(m.intacte());
    }

    void clotureInconnue() {
        Magasin m;
        const Resultat<QByteArray> t = clotures::texteAttendu(m.b.bdd, 7);
        QVERIFY(!t);
        QVERIFY(t.raison().contains(QStringLiteral("n° 7")));
    }
};

TALMIR_TEST(TestClotures)
#include "tst_clotures.moc"
