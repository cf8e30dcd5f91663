#include "controle/archive.h"
#include "controle/verification.h"
#include "fiscal/evenements.h"
#include "fiscal/textefiscal.h"
#include "journals/clotures.h"
#include "register/caisse.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {
const QDateTime kMatin(QDate(2026, 3, 5), QTime(9, 1, 22));

// A shop with three closed tickets (several rates, a discount, a payment line), an open one,
// three events and one closure, all signed with the test key. Or, as `caisses` tells, its
// tickets closed by several tills in turn, the first `veille` of them the day before.
struct Magasin {
    BoutiqueTest b;
    QList<qint64> tickets; // in their closing order (one till: its chain's places)
    explicit Magasin(const QStringList& caisses = {"1", "1", "1"}, int veille = 0) {
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ROBE', 'Robe', 55, 20, 5), ('LIVRE', 'Livre', 21.10, "
                     "5.5, 5), ('MASQUE', 'Masque', 10, 10, 5)"),
               "articles");
        const QList<QStringList> ventes = {{"ROBE", "LIVRE"}, {"MASQUE", "ROBE"}, {"LIVRE"}};
        for (int i = 0; i < caisses.size(); ++i) {
            Caisse c(b.bdd, b.cle, caisses[i], 1);
            exiger(c.ouvrirTicket(), "ticket ouvert");
            for (const QString& code : ventes[i % ventes.size()])
                exiger(c.vendre(*c.lire(code)->article), "article vendu");
            if (i == 1)
                exiger(c.remiseSurTotal(10), "remise");
            exiger(c.payer(QStringLiteral("CB"), c.totaux().restant), "paiement");
            const Resultat<Caisse::Cloture> clos =
                c.terminer(kMatin.addDays(i < veille ? -1 : 0).addSecs(600 * i));
            exiger(clos, "ticket clos");
            tickets << clos->numero;
        }
        Caisse ouvert(b.bdd, b.cle, QStringLiteral("1"), 1);
        exiger(ouvert.ouvrirTicket(), "ticket ouvert");
        exiger(ouvert.vendre(*ouvert.lire(QStringLiteral("ROBE"))->article), "article vendu");
        for (const QString& genre :
             {evenements::demarrage(), evenements::duplicata(), evenements::arret()})
            exiger(evenements::consigner(b.bdd, b.cle, genre, QStringLiteral("détail ; « 1 »"),
                                         kMatin.addSecs(3600)),
                   "événement");
    }
    // A closure stored as the closing writes it, its text signed.
    // The day's closure, as the "Clôture du jour" button makes it.
    void cloturer() {
        const Resultat<QList<textefiscal::Cloture>> z =
            clotures::clotureDuJour(b.bdd, b.cle, kMatin.addSecs(7200), QStringLiteral("1"));
        exiger(z, "clôture du jour");
    }
    // A closure signed with the right key over figures that are not its tickets'.
    void cloturerSurDeFauxChiffres() {
        textefiscal::Cloture c;
        c.numero = 1;
        c.genre = QStringLiteral("JOUR");
        c.debut = c.fin = kMatin.date();
        c.premier = 1;
        c.dernier = 3;
        c.quand = kMatin.addSecs(7200);
        c.tickets = 3;
        const QByteArray texte = textefiscal::texte(c);
        exiger(b.sql("INSERT INTO CLOTURES (Numero, Genre, Debut, Fin, Premier, Dernier, Date, "
                     "Tickets, TotalTTC, GrandTotal, Texte, Signature) VALUES (1, 'JOUR', "
                     "'2026-03-05', '2026-03-05', 1, 3, '2026-03-05 11:01:22', 3, 0, 0, ?, ?)",
                     {QString::fromUtf8(texte), QString::fromLatin1(*b.cle.signer(texte))}),
               "clôture");
    }
    Resultat<verification::Bilan> verifier() {
        const Resultat<ClePublique> cle = ClePublique::lire(b.cle.publiquePem());
        exiger(cle, "clé publique");
        return verification::verifier(b.bdd, *cle);
    }
    // The start-up's check of the last `combien` tickets of each till's chain.
    Resultat<QString> verifierDerniers(qint64 combien) {
        const Resultat<ClePublique> cle = ClePublique::lire(b.cle.publiquePem());
        exiger(cle, "clé publique");
        return verification::verifierDerniers(b.bdd, *cle, combien);
    }
    // One more dress sold and paid by card on till `caisse`, closed at `quand`.
    qint64 vente(const QString& caisse, const QDateTime& quand) {
        Caisse c(b.bdd, b.cle, caisse, 1);
        exiger(c.ouvrirTicket(), "ticket ouvert");
        exiger(c.vendre(*c.lire(QStringLiteral("MASQUE"))->article), "article vendu");
        exiger(c.payer(QStringLiteral("CB"), c.totaux().restant), "paiement");
        const Resultat<Caisse::Cloture> clos = c.terminer(quand);
        exiger(clos, "ticket clos");
        return clos.ok() ? clos->numero : 0;
    }
    QString nommer(QString texte) const {
        for (int i = 0; i < tickets.size(); ++i)
            texte.replace(QStringLiteral("{T%1}").arg(i + 1), QString::number(tickets[i]));
        return texte;
    }
};

// Tills 1 and 2 closing in turn: till 1's chain is {T1}, {T3}, {T5}, till 2's {T2}, {T4}, {T6}
// (with `veille` 2, the first of each chain is closed the day before the others).
const QStringList kDeuxCaisses = {"1", "2", "1", "2", "1", "2"};

} // namespace

// The verifying tool's checks: an untouched shop is sound, and each way of changing its signed
// records behind the program's back is found, named by the first record it touches.
class TestVerification : public QObject {
    Q_OBJECT
  private slots:
    void boutiqueIntacte() {
        Magasin m;
        m.cloturer();
        const Resultat<verification::Bilan> bilan = m.verifier();
        QVERIFY2(bilan, qPrintable(bilan.raison()));
        QVERIFY2(bilan->sain(), qPrintable(bilan->echec));
        QCOMPARE(bilan->tickets, qint64(3));
        // The open ticket's line is not counted.
        QCOMPARE(bilan->lignes,
                 m.b.valeur("SELECT count(*) FROM VENTES V JOIN TICKETS T ON T.NumeroTicket = "
                            "V.NumeroTicket WHERE T.TicketClos <> 0")
                     .toLongLong());
        QCOMPARE(bilan->evenements, qint64(4)); // with the closure's
        QCOMPARE(bilan->clotures, qint64(1));
    }

    // The tool opens the shop read-only: it checks it, and nothing can be written through it.
    void lectureSeule() {
        Magasin m;
        Database lecture;
        const Resultat<> ouverte = lecture.ouvrir(m.b.bdd.chemin(), Database::Acces::Lecture);
        QVERIFY2(ouverte, qPrintable(ouverte.raison()));
        const Resultat<verification::Bilan> bilan =
            verification::verifier(lecture, *ClePublique::lire(m.b.cle.publiquePem()));
        QVERIFY2(bilan && bilan->sain(), qPrintable(bilan ? bilan->echec : bilan.raison()));
        QSqlQuery q(lecture.connexion());
        QVERIFY(!q.exec(QStringLiteral("UPDATE ARTICLES SET libelle = 'x'")));
        QCOMPARE(m.b.valeur("SELECT count(*) FROM ARTICLES WHERE libelle = 'x'").toInt(), 0);
    }

    void boutiqueVide() {
        BoutiqueTest b;
        exiger(b.ouvrir(), "ouverture de la boutique");
        const Resultat<verification::Bilan> bilan =
            verification::verifier(b.bdd, *ClePublique::lire(b.cle.publiquePem()));
        QVERIFY2(bilan && bilan->sain(), qPrintable(bilan ? bilan->echec : bilan.raison()));
        QCOMPARE(bilan->tickets, qint64(0));
    }

    void autreCle() {
        Magasin m;
        const Resultat<CleFiscale> autre = CleFiscale::nouvelle();
        exiger(autre, "autre clé");
        const Resultat<verification::Bilan> bilan =
            verification::verifier(m.b.bdd, autre->publique());
        QVERIFY(bilan);
        QVERIFY(bilan->echec.startsWith(m.nommer("ticket n° {T1} (maillon 1)")));
    }

    void alteration_data() {
        QTest::addColumn<QStringList>("requetes");
        QTest::addColumn<QString>("attendu");
        QTest::addColumn<bool>("fausseCloture");
        const QString ligne2 = "(SELECT min(Id) FROM VENTES WHERE qt <> 0 AND NumeroTicket = "
                               "(SELECT NumeroTicket FROM TICKETS WHERE Chainage = 2))";
        QTest::newRow("montant d'une ligne")
            << QStringList{"UPDATE VENTES SET PrixVenteTTC = PrixVenteTTC - 1 WHERE Id = " + ligne2}
            << "ticket n° {T2} (maillon 2)" << false;
        QTest::newRow("montant d'une ligne et total du ticket")
            << QStringList{"UPDATE VENTES SET PrixVenteTTC = PrixVenteTTC - 1 WHERE Id = " + ligne2,
                           "UPDATE TICKETS SET TotalTTC = TotalTTC - 1 WHERE Chainage = 2"}
            << "ticket n° {T2} (maillon 2) : la signature ne correspond pas" << false;
        QTest::newRow("total d'un ticket")
            << QStringList{"UPDATE TICKETS SET TotalTTC = TotalTTC + 0.01 WHERE Chainage = 3"}
            << "ticket n° {T3} (maillon 3)" << false;
        QTest::newRow("date d'un ticket")
            << QStringList{"UPDATE TICKETS SET Date = '2026-03-04 09:01:22' WHERE Chainage = 2"}
            << "ticket n° {T2} (maillon 2) : la signature ne correspond pas" << false;
        QTest::newRow("taux de TVA d'une ligne")
            << QStringList{"UPDATE VENTES SET TauxTVA = 5.5 WHERE Id = " + ligne2}
            << "ticket n° {T2} (maillon 2) : la signature ne correspond pas" << false;
        QTest::newRow("ligne supprimee") << QStringList{"DELETE FROM VENTES WHERE Id = " + ligne2}
                                         << "ticket n° {T2} (maillon 2)" << false;
        QTest::newRow("ticket supprime avec ses lignes")
            << QStringList{"DELETE FROM VENTES WHERE NumeroTicket = {T2}",
                           "DELETE FROM TICKETS WHERE NumeroTicket = {T2}"}
            << "ticket n° {T3} (maillon 3) : le maillon 2 qui le précède manque" << false;
        QTest::newRow("deux tickets echangent leur place")
            << QStringList{"UPDATE TICKETS SET Chainage = 100 WHERE Chainage = 1",
                           "UPDATE TICKETS SET Chainage = 1 WHERE Chainage = 2",
                           "UPDATE TICKETS SET Chainage = 2 WHERE Chainage = 100"}
            << "ticket n° {T2} (maillon 1) : la signature ne correspond pas" << false;
        QTest::newRow("deux tickets echangent leurs lignes")
            << QStringList{"UPDATE VENTES SET NumeroTicket = -1 WHERE NumeroTicket = {T1}",
                           "UPDATE VENTES SET NumeroTicket = {T1} WHERE NumeroTicket = {T3}",
                           "UPDATE VENTES SET NumeroTicket = {T3} WHERE NumeroTicket = -1"}
            << "ticket n° {T1} (maillon 1)" << false;
        QTest::newRow("ticket clos ajoute sans signature")
            << QStringList{"INSERT INTO TICKETS (NumeroTicket, Date, TotalTTC, TicketClos, "
                           "Genre) VALUES (900, '2026-03-05 12:00:00', 10, 1, 'VENTE')"}
            << "ticket n° 900 : il est clos sans signature" << false;
        QTest::newRow("detail d'un evenement")
            << QStringList{"UPDATE EVENEMENTS SET Detail = 'rien' WHERE Numero = 2"}
            << "événement n° 2 : la signature ne correspond pas" << false;
        QTest::newRow("evenement supprime")
            << QStringList{"DELETE FROM EVENEMENTS WHERE Numero = 2"}
            << "événement n° 3 : l'événement n° 2 qui le précède manque" << false;
        QTest::newRow("texte d'une cloture")
            << QStringList{"UPDATE CLOTURES SET Texte = replace(Texte, 'TICKETS=3', "
                           "'TICKETS=2') WHERE Numero = 1"}
            << "clôture n° 1 : la signature ne correspond pas" << false;
        QTest::newRow("total d'une cloture")
            << QStringList{"UPDATE CLOTURES SET TotalTTC = TotalTTC + 1 WHERE Numero = 1"}
            << "clôture n° 1 : la clôture n° 1 ne correspond pas à ses tickets" << false;
        QTest::newRow("cloture signee sur de faux chiffres")
            << QStringList{} << "clôture n° 1 : la clôture n° 1 ne correspond pas à ses tickets"
            << true;
    }
    void alteration() {
        QFETCH(QStringList, requetes);
        QFETCH(QString, attendu);
        QFETCH(bool, fausseCloture);
        Magasin m;
        if (fausseCloture)
            m.cloturerSurDeFauxChiffres();
        else
            m.cloturer();
        QVERIFY(m.b.leverGardes());
        for (const QString& r : requetes)
            QVERIFY2(m.b.sql(m.nommer(r)), qPrintable(r));
        const Resultat<verification::Bilan> bilan = m.verifier();
        QVERIFY2(bilan, qPrintable(bilan.raison()));
        QVERIFY2(bilan->echec.contains(m.nommer(attendu)), qPrintable(bilan->echec));
    }

    // Each till signs in a chain of its own: tickets of two tills in turn are sound, whole and
    // from each chain's end.
    void deuxCaisses() {
        Magasin m(kDeuxCaisses, 2);
        const Resultat<verification::Bilan> bilan = m.verifier();
        QVERIFY2(bilan, qPrintable(bilan.raison()));
        QVERIFY2(bilan->sain(), qPrintable(bilan->echec));
        QCOMPARE(bilan->tickets, qint64(6));
        const Resultat<QString> derniers = m.verifierDerniers(2);
        QVERIFY2(derniers, qPrintable(derniers.raison()));
        QVERIFY2(derniers->isEmpty(), qPrintable(*derniers));
    }

    // A change to one till's chain is found and named with its till, by the whole check and by
    // the start-up's check of each chain's last two tickets alike.
    void alterationDeuxCaisses_data() {
        QTest::addColumn<QStringList>("requetes");
        QTest::addColumn<QString>("attendu");
        QTest::addColumn<bool>("sansIndex"); // the chains' unique index dropped first
        // (put at the end of till 1's chain, where it was not signed)
        QTest::newRow("ticket passe de la caisse 2 a la caisse 1")
            << QStringList{"UPDATE TICKETS SET caisse = '1', ChaineCaisse = NULL, Chainage = 4 "
                           "WHERE NumeroTicket = {T4}"}
            << "ticket n° {T4} (maillon 4) : la signature ne correspond pas" << false;
        QTest::newRow("ticket supprime de la caisse 2")
            << QStringList{"DELETE FROM VENTES WHERE NumeroTicket = {T4}",
                           "DELETE FROM TICKETS WHERE NumeroTicket = {T4}"}
            << "ticket n° {T6} (caisse 2, maillon 3) : le maillon 2 qui le précède manque" << false;
        QTest::newRow("deux tickets a la meme place de la caisse 2")
            << QStringList{"UPDATE TICKETS SET Chainage = 2 WHERE NumeroTicket = {T6}"}
            << "ticket n° {T6} (caisse 2, maillon 2) : le ticket n° {T4} a la même place" << true;
        QTest::newRow("montant d'un ticket de la caisse 2")
            << QStringList{"UPDATE VENTES SET PrixVenteTTC = PrixVenteTTC - 1 WHERE Id = (SELECT "
                           "min(Id) FROM VENTES WHERE qt <> 0 AND NumeroTicket = {T4})",
                           "UPDATE TICKETS SET TotalTTC = TotalTTC - 1 WHERE NumeroTicket = {T4}"}
            << "ticket n° {T4} (caisse 2, maillon 2) : la signature ne correspond pas" << false;
    }
    void alterationDeuxCaisses() {
        QFETCH(QStringList, requetes);
        QFETCH(QString, attendu);
        QFETCH(bool, sansIndex);
        Magasin m(kDeuxCaisses);
        QVERIFY(m.b.leverGardes());
        if (sansIndex) {
            // (a statement on the schema, which a server does not prepare)
            QSqlQuery q(m.b.bdd.connexion());
            QVERIFY2(q.exec(QStringLiteral("DROP INDEX TICKETS_chaine_caisse")),
                     qPrintable(q.lastError().text()));
        }
        for (const QString& r : requetes)
            QVERIFY2(m.b.sql(m.nommer(r)), qPrintable(r));
        const Resultat<verification::Bilan> bilan = m.verifier();
        QVERIFY2(bilan, qPrintable(bilan.raison()));
        QVERIFY2(bilan->echec.contains(m.nommer(attendu)), qPrintable(bilan->echec));
        const Resultat<QString> derniers = m.verifierDerniers(2);
        QVERIFY2(derniers, qPrintable(derniers.raison()));
        QVERIFY2(derniers->contains(m.nommer(attendu)), qPrintable(*derniers));
    }

    void archive() {
        Magasin m;
        const Resultat<QString> dossier =
            archive::creer(m.b.bdd, m.b.cle, m.b.chemin(QStringLiteral("Archives")), kMatin.date(),
                           kMatin.date(), kMatin.addSecs(9000));
        QVERIFY2(dossier, qPrintable(dossier.raison()));
        // Recorded in the signed events, with the manifest's digest; the chain still holds.
        QVERIFY(m.b.valeur("SELECT Detail FROM EVENEMENTS WHERE Genre = 'ARCHIVE'")
                    .toString()
                    .contains(QStringLiteral("SHA256=")));
        const Resultat<verification::Bilan> base = m.verifier();
        QVERIFY2(base && base->sain(), qPrintable(base ? base->echec : base.raison()));

        const Resultat<ClePublique> cle = ClePublique::lire(m.b.cle.publiquePem());
        Resultat<verification::Bilan> bilan = archive::verifier(*dossier, *cle);
        QVERIFY2(bilan && bilan->sain(), qPrintable(bilan ? bilan->echec : bilan.raison()));
        QCOMPARE(bilan->tickets, qint64(3));
        QCOMPARE(bilan->evenements, qint64(3));

        // The same name again is refused, the archive left as it was.
        QVERIFY(!archive::creer(m.b.bdd, m.b.cle, m.b.chemin(QStringLiteral("Archives")),
                                kMatin.date(), kMatin.date(), kMatin));

        // One byte changed in a file.
        QFile f(QDir(*dossier).filePath(QStringLiteral("lignes.csv")));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray contenu = f.readAll();
        const qsizetype i = contenu.indexOf("21.1");
        QVERIFY(i > 0);
        contenu[i + 3] = '2';
        f.seek(0);
        f.write(contenu);
        f.close();
        bilan = archive::verifier(*dossier, *cle);
        QVERIFY(bilan);
        QVERIFY2(bilan->echec.contains(QStringLiteral("lignes.csv")), qPrintable(bilan->echec));

        // Checked with another key than the shop's, the manifest fails.
        exiger(archive::creer(m.b.bdd, m.b.cle, m.b.chemin(QStringLiteral("Archives")),
                              kMatin.date(), kMatin.date().addDays(1), kMatin),
               "seconde archive");
        bilan = archive::verifier(m.b.chemin(QStringLiteral("Archives/archive_20260305_20260306")),
                                  CleFiscale::nouvelle()->publique());
        QVERIFY(bilan);
        QVERIFY2(bilan->echec.contains(QStringLiteral("manifeste")), qPrintable(bilan->echec));
    }

    // An archive holds each till's stretch of the period, each chained to its till's ticket
    // before it; a stretch that lost a ticket does not verify.
    // Tickets signed before each till had a chain of its own are the first till's chain,
    // whichever till closed them (as two tills on one server signed them): the shop still
    // verifies, and each till goes on in its own chain.
    void chaineCommuneDAvant() {
        Magasin m;
        // As stored then: no chain's till, the second and third closed by till 2.
        QVERIFY(m.b.leverGardes({QStringLiteral("TICKETS")}));
        QVERIFY(m.b.sql("UPDATE TICKETS SET ChaineCaisse = NULL"));
        QVERIFY(m.b.sql("UPDATE TICKETS SET caisse = '2' WHERE NumeroTicket IN (?, ?)",
                        {m.tickets[1], m.tickets[2]}));
        const qint64 deux = m.vente(QStringLiteral("2"), kMatin.addSecs(3600));
        const qint64 un = m.vente(QStringLiteral("1"), kMatin.addSecs(4000));
        QCOMPARE(m.b.valeur("SELECT ChaineCaisse || ':' || Chainage FROM TICKETS WHERE "
                            "NumeroTicket = ?",
                            {deux})
                     .toString(),
                 QStringLiteral("2:1"));
        QCOMPARE(m.b.valeur("SELECT ChaineCaisse || ':' || Chainage FROM TICKETS WHERE "
                            "NumeroTicket = ?",
                            {un})
                     .toString(),
                 QStringLiteral("1:4"));
        m.cloturer();
        QVERIFY(
            clotures::clotureDuJour(m.b.bdd, m.b.cle, kMatin.addSecs(7300), QStringLiteral("2")));
        const Resultat<verification::Bilan> bilan = m.verifier();
        QVERIFY(bilan);
        QVERIFY2(bilan->sain(), qPrintable(bilan->echec));
        QCOMPARE(bilan->tickets, 5);
        QCOMPARE(bilan->clotures, 2);
        const Resultat<QString> derniers = m.verifierDerniers(2);
        QVERIFY(derniers);
        QCOMPARE(*derniers, QString());
    }

    void archiveDeuxCaisses() {
        Magasin m(kDeuxCaisses, 2);
        const QString archives = m.b.chemin(QStringLiteral("Archives"));
        const Resultat<ClePublique> cle = ClePublique::lire(m.b.cle.publiquePem());
        const Resultat<QString> jour = archive::creer(m.b.bdd, m.b.cle, archives, kMatin.date(),
                                                      kMatin.date(), kMatin.addSecs(9000));
        QVERIFY2(jour, qPrintable(jour.raison()));
        Resultat<verification::Bilan> bilan = archive::verifier(*jour, *cle);
        QVERIFY2(bilan && bilan->sain(), qPrintable(bilan ? bilan->echec : bilan.raison()));
        QCOMPARE(bilan->tickets, qint64(4));

        QVERIFY(m.b.leverGardes());
        QVERIFY(m.b.sql(m.nommer("DELETE FROM VENTES WHERE NumeroTicket = {T4}")));
        QVERIFY(m.b.sql(m.nommer("DELETE FROM TICKETS WHERE NumeroTicket = {T4}")));
        const Resultat<QString> deuxJours =
            archive::creer(m.b.bdd, m.b.cle, archives, kMatin.date().addDays(-1), kMatin.date(),
                           kMatin.addSecs(9000));
        QVERIFY2(deuxJours, qPrintable(deuxJours.raison()));
        bilan = archive::verifier(*deuxJours, *cle);
        QVERIFY2(bilan, qPrintable(bilan.raison()));
        QVERIFY2(bilan->echec.contains(m.nommer(
                     "ticket n° {T6} (caisse 2, maillon 3) : le maillon 2 qui le précède manque")),
                 qPrintable(bilan->echec));
    }
};

TALMIR_TEST(TestVerification)
#include "tst_verification.moc"
