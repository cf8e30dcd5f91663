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
#include <QSqlQuery>
#include <QtTest>

namespace {
const QDateTime kMatin(QDate(2026, 3, 5), QTime(9, 1, 22));

// A shop with three closed tickets (several rates, a discount, a payment line), an open one,
// three events and one closure, all signed with the test key.
struct Magasin {
    BoutiqueTest b;
    QList<qint64> tickets; // by chain place
    Magasin() {
        exiger(b.ouvrir(), "ouverture de la boutique");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente, "
                     "EnStock) VALUES ('ROBE', 'Robe', 55, 20, 5), ('LIVRE', 'Livre', 21.10, "
                     "5.5, 5), ('MASQUE', 'Masque', 10, 10, 5)"),
               "articles");
        const QList<QStringList> ventes = {{"ROBE", "LIVRE"}, {"MASQUE", "ROBE"}, {"LIVRE"}};
        for (int i = 0; i < ventes.size(); ++i) {
            Caisse c(b.bdd, b.cle, QStringLiteral("1"), 1);
            exiger(c.ouvrirTicket(), "ticket ouvert");
            for (const QString& code : ventes[i])
                exiger(c.vendre(*c.lire(code)->article), "article vendu");
            if (i == 1)
                exiger(c.remiseSurTotal(10), "remise");
            exiger(c.payer(QStringLiteral("CB"), c.totaux().restant), "paiement");
            const Resultat<Caisse::Cloture> clos = c.terminer(kMatin.addSecs(600 * i));
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
            clotures::clotureDuJour(b.bdd, b.cle, kMatin.addSecs(7200));
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
    QString nommer(QString texte) const {
        for (int i = 0; i < tickets.size(); ++i)
            texte.replace(QStringLiteral("{T%1}").arg(i + 1), QString::number(tickets[i]));
        return texte;
    }
};

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
};

TALMIR_TEST(TestVerification)
#include "tst_verification.moc"
