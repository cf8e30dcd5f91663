#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "register/caisse.h"
#include "register/historique.h"
#include "register/signatureticket.h"
#include "register/tickets.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QSqlQuery>
#include <QtTest>

namespace {
const QDateTime kLundi(QDate(2026, 3, 2), QTime(9, 30, 0));
const QDateTime kMardi(QDate(2026, 3, 3), QTime(23, 59, 59));
const QDateTime kMercredi(QDate(2026, 3, 4), QTime(0, 0, 0));

// Three closed sales: ticket A on Monday (ROBE + PULL, cash 80 → change), B on Tuesday at the
// last second (PULL, card 14,99), C on Wednesday at midnight (PULL x2, card 29,98); and the
// till's next ticket left open with a line on it.
struct Historique {
    BoutiqueTest b;
    qint64 a = 0, bb = 0, c = 0;
    Historique() {
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ROBE', 'Robe ', 55, 20, 5), ('PULL', 'Pull ', 14.99, 20, "
                     "5), ('LIVRE', 'Livre ', 21.10, 5.5, NULL)"),
               "articles");
        a = vente({QStringLiteral("ROBE"), QStringLiteral("PULL")}, QStringLiteral("ESPECES"),
                  Montant::euros(80), kLundi);
        bb = vente({QStringLiteral("PULL")}, QStringLiteral("CB"), Montant::depuisCentimes(1499),
                   kMardi);
        c = vente({QStringLiteral("PULL"), QStringLiteral("PULL")}, QStringLiteral("CB"),
                  Montant::depuisCentimes(2998), kMercredi);
        Caisse caisse(b.bdd, b.cle, QStringLiteral("1"), 1);
        exiger(caisse.ouvrirTicket(), "ticket en cours");
        exiger(caisse.vendre(*caisse.lire(QStringLiteral("ROBE"))->article), "ligne en cours");
    }
    qint64 vente(const QStringList& codes, const QString& moyen, Montant paye,
                 const QDateTime& quand) {
        Caisse caisse(b.bdd, b.cle, QStringLiteral("1"), 1);
        exiger(caisse.ouvrirTicket(), "ticket ouvert");
        for (const QString& code : codes)
            exiger(caisse.vendre(*caisse.lire(code)->article), "article vendu");
        exiger(caisse.payer(moyen, paye), "paiement");
        const Resultat<Caisse::Cloture> clos = caisse.terminer(quand);
        exiger(clos, "ticket terminé");
        return clos->numero;
    }
    QList<qint64> numeros(const QString& texte) {
        const Resultat<QList<historique::TicketTrouve>> r = historique::chercher(b.bdd, texte);
        exiger(r, "recherche");
        QList<qint64> n;
        for (const auto& t : *r)
            n << t.numero;
        return n;
    }
    double stock(const QString& code) {
        return b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = ?", {code}).toDouble();
    }
    // Every closed ticket's signature checked in the chain's order over its stored figures.
    QString chaine() {
        QSqlQuery q(b.bdd.connexion());
        if (!executer(q, "SELECT NumeroTicket, Date, TotalTTC, Genre, Signature, Chainage FROM "
                         "TICKETS WHERE TicketClos <> 0 ORDER BY Chainage"))
            return QStringLiteral("illisible");
        QByteArray precedente;
        qint64 rang = 0;
        const ClePublique publique = b.cle.publique();
        while (q.next()) {
            const qint64 n = q.value(0).toLongLong();
            if (q.value(5).toLongLong() != ++rang)
                return QStringLiteral("maillon %1 hors rang").arg(n);
            const auto genre = q.value(3).toString() == QStringLiteral("ANNULATION")
                                   ? textefiscal::Genre::Annulation
                                   : textefiscal::Genre::Vente;
            const QByteArray texte = textefiscal::texte(signatureticket::figures(
                n, QStringLiteral("1"), genre, textefiscal::dateStockee(q.value(1).toString()),
                Montant::depuisVariant(q.value(2)), *Tickets(b.bdd).lignes(n), precedente));
            const QByteArray signature = q.value(4).toString().toLatin1();
            const Resultat<bool> ok = publique.verifier(texte, signature);
            if (!ok || !*ok)
                return QStringLiteral("ticket %1 mal signé").arg(n);
            precedente = signature;
        }
        return QStringLiteral("valide");
    }
};

historique::Annulation annulation(qint64 numero) {
    return {numero, QDateTime(QDate(2026, 3, 6), QTime(10, 0, 0)), QStringLiteral("1"),
            QStringLiteral("1")};
}
} // namespace

// The closed tickets found again, printed again as numbered duplicates, and cancelled.
class TestHistorique : public QObject {
    Q_OBJECT
  private slots:
    void recherche_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("attendus"); // a, b, c: the fixture's tickets, newest first
        QTest::newRow("tout") << ""
                              << "c b a";
        QTest::newRow("blancs seuls") << "   "
                                      << "c b a";
        QTest::newRow("numero") << "B"
                                << "b";
        QTest::newRow("numero inconnu") << "999"
                                        << "";
        QTest::newRow("jour") << "02/03/2026"
                              << "a";
        QTest::newRow("derniere seconde du jour") << "03/03/2026"
                                                  << "b";
        QTest::newRow("minuit au jour suivant") << "4/3/2026"
                                                << "c";
        QTest::newRow("jour sans ticket") << "01/03/2026"
                                          << "";
        QTest::newRow("montant en francais") << "14,99"
                                             << "b";
        QTest::newRow("montant a point et euro") << "29.98 €"
                                                 << "c";
        QTest::newRow("montant entier avec virgule") << "69,99"
                                                     << "a";
        QTest::newRow("montant sans ticket") << "14,98"
                                             << "";
    }
    void recherche() {
        QFETCH(QString, texte);
        QFETCH(QString, attendus);
        Historique h;
        const QMap<QString, qint64> n{{"a", h.a}, {"b", h.bb}, {"c", h.c}};
        texte.replace(QStringLiteral("B"), QString::number(h.bb));
        QList<qint64> attendu;
        for (const QString& x : attendus.split(u' ', Qt::SkipEmptyParts))
            attendu << n.value(x);
        QCOMPARE(h.numeros(texte), attendu);
    }

    void rechercheRefusee_data() {
        QTest::addColumn<QString>("texte");
        QTest::newRow("montant mal tape") << "12,5x";
        QTest::newRow("guillemets") << "1' OR '1'='1";
        QTest::newRow("date impossible") << "31/02/2026";
        QTest::newRow("texte tres long") << QString(5000, u'7');
        QTest::newRow("caracteres de controle") << QStringLiteral("12\t\x01");
        QTest::newRow("deux separateurs") << "1.234,56";
    }
    void rechercheRefusee() {
        QFETCH(QString, texte);
        Historique h;
        const Resultat<QList<historique::TicketTrouve>> r = historique::chercher(h.b.bdd, texte);
        QVERIFY(!r);
        QVERIFY(!r.raison().isEmpty());
        QVERIFY2(r.raison().size() < 200, qPrintable(r.raison()));
        QCOMPARE(h.b.valeur("SELECT count(*) FROM TICKETS WHERE TicketClos <> 0").toInt(), 3);
    }

    void lecture() {
        Historique h;
        const Resultat<historique::TicketClos> t = historique::lire(h.b.bdd, h.a);
        QVERIFY(t);
        QCOMPARE(t->entete.date, kLundi);
        QCOMPARE(t->entete.total, Montant::depuisCentimes(6999));
        QVERIFY(t->entete.genre == textefiscal::Genre::Vente);
        QCOMPARE(t->lignes.size(), 4); // two articles, the cash, the change
        QVERIFY(!t->signature.isEmpty());
        // The till's open ticket is no closed ticket.
        const qint64 ouvert = *Tickets(h.b.bdd).ouvertLePlusHaut(QStringLiteral("1")).valeur();
        QVERIFY(!historique::lire(h.b.bdd, ouvert));
        QVERIFY(!h.numeros(QString()).contains(ouvert));
    }

    void duplicatasNumerotes() {
        Historique h;
        const QDateTime quand(QDate(2026, 3, 6), QTime(8, 0, 0));
        QCOMPARE(*historique::consignerDuplicata(h.b.bdd, h.b.cle, h.a, quand), 1);
        QCOMPARE(*historique::consignerDuplicata(h.b.bdd, h.b.cle, h.a, quand), 2);
        // Another ticket's duplicates count apart, even one whose number starts the same.
        QCOMPARE(*historique::consignerDuplicata(h.b.bdd, h.b.cle, h.bb, quand), 1);
        exiger(evenements::consigner(h.b.bdd, h.b.cle, evenements::duplicata(),
                                     historique::detailDuplicata(h.a * 10, 1), quand),
               "duplicata d'un ticket voisin");
        // The count is the journal's: a restart of the program does not start it again.
        const QString fichier = h.b.bdd.chemin();
        h.b.bdd.fermer();
        exiger(h.b.bdd.ouvrir(fichier), "réouverture");
        QCOMPARE(*historique::consignerDuplicata(h.b.bdd, h.b.cle, h.a, quand), 3);
        QCOMPARE(h.b.valeur("SELECT Detail FROM EVENEMENTS WHERE Genre = 'DUPLICATA' ORDER BY "
                            "Numero DESC LIMIT 1")
                     .toString(),
                 QStringLiteral("ticket n° %1, duplicata n° 3").arg(h.a));
    }

    void annulation() {
        Historique h;
        const int evenementsAvant = h.b.valeur("SELECT count(*) FROM EVENEMENTS").toInt();
        const qint64 ouvert = *Tickets(h.b.bdd).ouvertLePlusHaut(QStringLiteral("1")).valeur();
        QCOMPARE(h.stock("ROBE"), 3.0); // one sold, one on the open ticket
        QCOMPARE(h.stock("PULL"), 1.0);
        const Resultat<qint64> r = historique::annuler(h.b.bdd, h.b.cle, ::annulation(h.a));
        QVERIFY2(r, qPrintable(r.raison()));
        const Resultat<historique::TicketClos> t = historique::lire(h.b.bdd, *r);
        QVERIFY(t);
        QVERIFY(t->entete.genre == textefiscal::Genre::Annulation);
        QCOMPARE(t->entete.annule, h.a);
        QCOMPARE(t->entete.total, -Montant::depuisCentimes(6999));
        const QList<LigneTicket> origine = historique::lire(h.b.bdd, h.a)->lignes;
        QCOMPARE(t->lignes.size(), origine.size());
        Montant solde;
        for (qsizetype i = 0; i < origine.size(); ++i) {
            QCOMPARE(t->lignes[i].codeArticle, origine[i].codeArticle);
            QCOMPARE(t->lignes[i].prix, -origine[i].prix);
            QCOMPARE(t->lignes[i].tva, -origine[i].tva);
            QCOMPARE(t->lignes[i].qt, -origine[i].qt);
            solde += t->lignes[i].prix;
        }
        QVERIFY(solde.estNul()); // the articles less the payment and change given back
        QCOMPARE(h.stock("ROBE"), 4.0);
        QCOMPARE(h.stock("PULL"), 2.0);
        QCOMPARE(h.chaine(), QStringLiteral("valide"));
        // The till's open ticket is still the one the till works on.
        QCOMPARE(*Tickets(h.b.bdd).ouvertLePlusHaut(QStringLiteral("1")).valeur(), ouvert);
        QVERIFY(*r > ouvert);
        QCOMPARE(h.b.valeur("SELECT count(*) FROM EVENEMENTS").toInt(), evenementsAvant + 1);
        QCOMPARE(h.b.valeur("SELECT Genre FROM EVENEMENTS ORDER BY Numero DESC LIMIT 1").toString(),
                 evenements::annulation());
        QCOMPARE(historique::lire(h.b.bdd, h.a)->annulePar, *r);

        // Neither the sale again nor the cancelling ticket can be cancelled: nothing written.
        const int tickets = h.b.valeur("SELECT count(*) FROM TICKETS").toInt();
        const Resultat<qint64> encore = historique::annuler(h.b.bdd, h.b.cle, ::annulation(h.a));
        QVERIFY(!encore);
        QVERIFY2(encore.raison().contains(QStringLiteral("déjà annulé")),
                 qPrintable(encore.raison()));
        const Resultat<qint64> annulant = historique::annuler(h.b.bdd, h.b.cle, ::annulation(*r));
        QVERIFY(!annulant);
        QVERIFY2(annulant.raison().contains(QStringLiteral("annulation")),
                 qPrintable(annulant.raison()));
        QVERIFY(!historique::annuler(h.b.bdd, h.b.cle, ::annulation(ouvert)));
        QVERIFY(!historique::annuler(h.b.bdd, h.b.cle, ::annulation(987654)));
        QCOMPARE(h.b.valeur("SELECT count(*) FROM TICKETS").toInt(), tickets);
        QCOMPARE(h.stock("ROBE"), 4.0);
        QCOMPARE(h.b.valeur("SELECT count(*) FROM EVENEMENTS").toInt(), evenementsAvant + 1);
    }

    void annulationSansCleNEcritRien() {
        Historique h;
        const int tickets = h.b.valeur("SELECT count(*) FROM TICKETS").toInt();
        const Resultat<qint64> r = historique::annuler(h.b.bdd, CleFiscale(), ::annulation(h.a));
        QVERIFY(!r);
        QCOMPARE(h.b.valeur("SELECT count(*) FROM TICKETS").toInt(), tickets);
        QCOMPARE(h.b.valeur("SELECT count(*) FROM VENTES WHERE NumeroTicket > ?", {h.c}).toInt(),
                 1); // the open ticket's line only
        QCOMPARE(h.stock("ROBE"), 3.0);
    }
};

TALMIR_TEST(TestHistorique)
#include "tst_historique.moc"
