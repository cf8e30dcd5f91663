#include "register/caisse.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QSqlQuery>
#include <QtTest>

namespace {
Montant euros(double v) {
    return Montant::depuisDouble(v);
}

const QDateTime kQuand(QDate(2026, 3, 5), QTime(9, 1, 22));

// A shop with articles at the three French rates, one without a price and one whose code holds
// accented capitals.
struct Magasin {
    BoutiqueTest b;
    Magasin() {
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ROBE', 'Robe ', 55, 20, 5), ('PULL', 'Pull ', 14.99, 20, "
                     "5), ('LIVRE', 'Livre ', 21.10, 5.5, 5), ('MASQUE', 'Masque ', 10, 10, 5), "
                     "('SANSPRIX', 'Echantillon ', 0, 20, 5), ('ÉTÉ2026', 'Short ', 30, 20, 5)"),
               "articles");
    }
    // A till on a ticket of its own, with `codes` sold in that order.
    Caisse caisse(const QStringList& codes = {}) {
        Caisse c(b.bdd, b.cle, QStringLiteral("1"), 1);
        exiger(c.ouvrirTicket(), "ticket ouvert");
        for (const QString& code : codes)
            exiger(c.vendre(*c.lire(code)->article), "article vendu");
        return c;
    }
    QStringList codesDesLignes(qint64 ticket) {
        QStringList codes;
        QSqlQuery q(b.bdd.connexion());
        q.prepare(
            QStringLiteral("SELECT CodeArticle FROM VENTES WHERE NumeroTicket = ? ORDER BY Id"));
        q.addBindValue(ticket);
        exiger(q.exec(), "lignes lues");
        while (q.next())
            codes << q.value(0).toString();
        return codes;
    }
    Montant sommeDesLignes(qint64 ticket) {
        return Montant::depuisVariant(b.valeur(
            "SELECT sum(PrixVenteTTC) FROM VENTES WHERE NumeroTicket = ? AND qt <> 0", {ticket}));
    }
};
} // namespace

Q_DECLARE_METATYPE(Caisse::Lecture::Genre)

// The till's rules without a window: what an entry names, what discounts act on, change given
// and the closing of a ticket, each read back from the database.
class TestModeleCaisse : public QObject {
    Q_OBJECT
  private slots:
    void lecture_data() {
        QTest::addColumn<QString>("tape");
        QTest::addColumn<Caisse::Lecture::Genre>("genre");
        QTest::addColumn<QString>("code");
        using G = Caisse::Lecture::Genre;
        QTest::newRow("article") << "ROBE" << G::Article << "ROBE";
        QTest::newRow("sans regard a la casse") << "robe" << G::Article << "ROBE";
        QTest::newRow("capitales accentuees") << "éTé2026" << G::Article << "ÉTÉ2026";
        QTest::newRow("sans prix") << "SANSPRIX" << G::ArticleSansPrix << "SANSPRIX";
        QTest::newRow("inconnu") << "XYZ" << G::Inconnu << "";
        QTest::newRow("mot") << "ESPECES" << G::Mot << "";
        QTest::newRow("quantite") << "3" << G::Quantite << "";
        QTest::newRow("quantite decimale") << "2.5" << G::Quantite << "";
        QTest::newRow("quantite trop fine") << ".0001" << G::QuantiteHorsLimites << "";
        QTest::newRow("retour hors limites") << "-1E+300" << G::QuantiteHorsLimites << "";
        // 100 and more is no quantity (a code of digits, unknown here).
        QTest::newRow("nombre de 100 ou plus") << "1E+300" << G::Inconnu << "";
        QTest::newRow("guillemets") << "'; DROP TABLE VENTES; --" << G::Inconnu << "";
    }
    void lecture() {
        QFETCH(QString, tape);
        QFETCH(Caisse::Lecture::Genre, genre);
        QFETCH(QString, code);
        Magasin m;
        const Resultat<Caisse::Lecture> l = m.caisse().lire(tape);
        QVERIFY2(l, qPrintable(l.raison()));
        QCOMPARE(l->genre, genre);
        QCOMPARE(l->article ? l->article->code : QString(), code);
    }

    // A discount takes the last priced line of the ticket as stored, never a display: after a
    // restart the till that reads the same ticket gives the same discount, and on an empty
    // ticket (a new customer) a discount is refused and nothing is recorded.
    void remisesSurLeTicketStocke() {
        Magasin m;
        qint64 ticket = 0;
        {
            Caisse avant = m.caisse({"ROBE"});
            ticket = *avant.ticket();
        }
        Caisse apres(m.b.bdd, m.b.cle, QStringLiteral("1"), 1);
        QCOMPARE(*apres.ouvrirTicket(), ticket);
        const Resultat<LigneCalculee> solde = apres.prixSolde(euros(45));
        QVERIFY2(solde, qPrintable(solde.raison()));
        QCOMPARE(solde->prix, euros(-10));
        QCOMPARE(m.sommeDesLignes(ticket), euros(45));

        exiger(apres.payer(QStringLiteral("CB"), euros(45)), "paiement");
        const Resultat<Caisse::Cloture> clos = apres.terminer(kQuand);
        QVERIFY(clos && !clos->vide);
        const qint64 suivant = *apres.ticket();
        QVERIFY(suivant != ticket);
        for (const auto& remise : {apres.remiseSurDernier(10), apres.remiseSurTotal(10),
                                   apres.prixSolde(euros(1)), apres.remiseEnEuros(euros(5))}) {
            QVERIFY(!remise);
            QCOMPARE(remise.raison(), QStringLiteral("Aucun article n'est sur ce ticket : la "
                                                     "remise n'est pas enregistrée."));
        }
        QCOMPARE(m.codesDesLignes(suivant), QStringList());
    }

    // Discounts are whole cents, and their VAT is that of what they discount: the rate of the
    // last line for a line discount, each rate's share for a ticket discount.
    void tvaDesRemises_data() {
        QTest::addColumn<QStringList>("articles");
        QTest::addColumn<QString>("remise");
        QTest::addColumn<double>("valeur");
        QTest::addColumn<Montant>("montant");
        QTest::addColumn<Montant>("tva");
        QTest::addColumn<double>("taux"); // the rate stored with the line; -1: none
        QTest::newRow("10 % sur 14,99 a 20 %")
            << QStringList{"PULL"} << "dernier" << 10.0 << euros(-1.50) << euros(-0.25) << 20.0;
        QTest::newRow("10 % du dernier, au taux du dernier (5,5 %)")
            << QStringList{"ROBE", "LIVRE"} << "dernier" << 10.0 << euros(-2.11) << euros(-0.11)
            << 5.5;
        QTest::newRow("prix solde au taux du dernier (10 %)")
            << QStringList{"ROBE", "MASQUE"} << "solde" << 8.0 << euros(-2) << euros(-0.18) << 10.0;
        // 55 at 20 % holds 9,17 of VAT; 21,10 at 5,5 % holds 1,10: the 7,61 off share them.
        QTest::newRow("7,61 EUR sur deux taux") << QStringList{"ROBE", "LIVRE"} << "euros" << 7.61
                                                << euros(-7.61) << euros(-1.03) << -1.0;
        QTest::newRow("12,5 % du sous-total sur deux taux")
            << QStringList{"ROBE", "LIVRE"} << "total" << 12.5 << euros(-9.51) << euros(-1.28)
            << -1.0;
        QTest::newRow("remise plus grande que le ticket")
            << QStringList{"MASQUE"} << "euros" << 15.0 << euros(-15) << euros(-1.37) << -1.0;
    }
    void tvaDesRemises() {
        QFETCH(QStringList, articles);
        QFETCH(QString, remise);
        QFETCH(double, valeur);
        QFETCH(Montant, montant);
        QFETCH(Montant, tva);
        QFETCH(double, taux);
        Magasin m;
        Caisse c = m.caisse(articles);
        Resultat<LigneCalculee> l = echec(QStringLiteral("aucune remise"));
        if (remise == "dernier")
            l = c.remiseSurDernier(valeur);
        else if (remise == "total")
            l = c.remiseSurTotal(valeur);
        else if (remise == "solde")
            l = c.prixSolde(euros(valeur));
        else
            l = c.remiseEnEuros(euros(valeur));
        QVERIFY2(l, qPrintable(l.raison()));
        const LigneTicket stockee = c.lignes().constLast();
        QCOMPARE(stockee.prix, montant);
        QCOMPARE(stockee.tva, tva);
        QCOMPARE(stockee.qt, Quantite::unites(1));
        QCOMPARE(stockee.taux.value_or(-1), taux);
        // Each article's line keeps its own rate, as read back from the database.
        const QList<LigneTicket> lignes = c.lignes();
        for (qsizetype i = 0; i < articles.size(); ++i)
            QCOMPARE(
                lignes[i].taux.value_or(-1),
                m.b.valeur("SELECT tauxTVAvente FROM ARTICLES WHERE CodeArticle = ?", {articles[i]})
                    .toDouble());
    }

    // Cash beyond what remains gives change, recorded as its own line with the payment; the
    // other means never pay more than what remains. Either way the ticket closes on exactly its
    // lines' total.
    void renduDeMonnaie_data() {
        QTest::addColumn<QString>("moyen");
        QTest::addColumn<Montant>("paye");
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<Montant>("rendu");
        QTest::addColumn<QStringList>("lignes");
        const QStringList article{"ROBE", "LIVRE"}; // 76,10
        QTest::newRow("especes exactes")
            << "ESPECES" << euros(76.10) << true << Montant() << (article + QStringList{"ESPECES"});
        QTest::newRow("especes 100") << "ESPECES" << euros(100) << true << euros(23.90)
                                     << (article + QStringList{"ESPECES", "RENDU"});
        QTest::newRow("especes 76,11") << "ESPECES" << euros(76.11) << true << euros(0.01)
                                       << (article + QStringList{"ESPECES", "RENDU"});
        QTest::newRow("especes en partie")
            << "ESPECES" << euros(50) << true << Montant() << (article + QStringList{"ESPECES"});
        for (const char* moyen : {"CB", "CHEQUE", "AVOIR"})
            QTest::newRow(qPrintable(QStringLiteral("%1 trop paye").arg(moyen)))
                << moyen << euros(100) << false << Montant() << article;
        QTest::newRow("especes hors limites")
            << "ESPECES" << euros(1e12) << false << Montant() << article;
    }
    void renduDeMonnaie() {
        QFETCH(QString, moyen);
        QFETCH(Montant, paye);
        QFETCH(bool, accepte);
        QFETCH(Montant, rendu);
        QFETCH(QStringList, lignes);
        Magasin m;
        Caisse c = m.caisse({"ROBE", "LIVRE"});
        const qint64 ticket = *c.ticket();
        const Resultat<Caisse::Paiement> p = c.payer(moyen, paye);
        QCOMPARE(bool(p), accepte);
        QCOMPARE(m.codesDesLignes(ticket), lignes);
        if (!accepte) {
            QVERIFY(p.raison().contains("rien n'est enregistré", Qt::CaseInsensitive));
            QCOMPARE(c.totaux().restant, euros(76.10));
            return;
        }
        QCOMPARE(p->rendu, rendu);
        if (c.totaux().restant > Montant()) {
            QVERIFY(!c.terminer(kQuand));
            exiger(c.payer(QStringLiteral("CB"), c.totaux().restant), "reste payé");
        }
        QVERIFY(c.totaux().restant.estNul());
        const Resultat<Caisse::Cloture> clos = c.terminer(kQuand);
        QVERIFY2(clos, qPrintable(clos.raison()));
        QVERIFY(!clos->vide);
        QCOMPARE(Montant::depuisVariant(
                     m.b.valeur("SELECT TotalTTC FROM TICKETS WHERE NumeroTicket = ?", {ticket})),
                 euros(76.10));
        // What the drawer holds of this sale is what was paid less the change.
        QCOMPARE(
            -Montant::depuisVariant(m.b.valeur(
                "SELECT sum(PrixVenteTTC) FROM VENTES WHERE NumeroTicket = ? AND CodeArticle IN "
                "('ESPECES', 'RENDU')",
                {ticket})),
            std::min(paye, euros(76.10)));
    }

    // A ticket with percentage discounts closes on a total equal to its lines, to the cent.
    void totalDuTicketClosEgalSesLignes() {
        Magasin m;
        Caisse c = m.caisse({"PULL"});
        exiger(c.remiseSurDernier(10), "remise");
        exiger(c.remiseSurTotal(3.3), "remise");
        // 14,99 - 1,50 = 13,49; 3,3 % of it is 0,44517, so 0,45 off.
        QCOMPARE(c.totaux().restant, euros(13.04));
        exiger(c.payer(QStringLiteral("ESPECES"), euros(13.04)), "paiement");
        const qint64 ticket = *c.ticket();
        QVERIFY(c.terminer(kQuand));
        QCOMPARE(Montant::depuisVariant(
                     m.b.valeur("SELECT TotalTTC FROM TICKETS WHERE NumeroTicket = ?", {ticket})),
                 m.sommeDesLignes(ticket));
    }

    // A write reads back only the lines after those the till holds: a line stored meanwhile
    // on the ticket by another connection comes with it, in the stored order, and the totals
    // are those of every stored line.
    void lignesRelues() {
        Magasin m;
        Caisse c = m.caisse({"ROBE"});
        const qint64 ticket = *c.ticket();
        QVERIFY(m.b.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt, "
                        "TauxTVA) VALUES (?, 'LIVRE', 21.10, 1.10, 1, 5.5)",
                        {ticket}));
        exiger(c.vendre(*c.lire("PULL")->article), "article vendu");
        QStringList codes;
        for (const LigneTicket& l : c.lignes())
            codes << l.codeArticle;
        QCOMPARE(codes, m.codesDesLignes(ticket));
        QCOMPARE(codes, (QStringList{"ROBE", "LIVRE", "PULL"}));
        QCOMPARE(c.totaux().totalTtc, m.sommeDesLignes(ticket));
        QCOMPARE(c.lignes().constLast().libelle.toString(), QStringLiteral("Pull "));
    }

    // An empty ticket is neither closed nor printed: a second TERMINE after a closing, or one
    // on a ticket of sub-total markers only, changes nothing.
    void ticketVideJamaisClos() {
        Magasin m;
        Caisse c = m.caisse({"MASQUE"});
        exiger(c.payer(QStringLiteral("CB"), euros(10)), "paiement");
        const Resultat<Caisse::Cloture> premier = c.terminer(kQuand);
        QVERIFY(premier && !premier->vide);
        QCOMPARE(premier->lignes.size(), 2);
        exiger(c.sousTotal(), "sous-total");
        const qint64 suivant = *c.ticket();
        for (int i = 0; i < 2; ++i) {
            const Resultat<Caisse::Cloture> second = c.terminer(kQuand);
            QVERIFY(second && second->vide);
            QCOMPARE(*c.ticket(), suivant);
        }
        QCOMPARE(m.b.valeur("SELECT count(*) FROM TICKETS WHERE TicketClos <> 0").toInt(), 1);
    }
};

TALMIR_TEST(TestModeleCaisse)
#include "tst_modelecaisse.moc"
