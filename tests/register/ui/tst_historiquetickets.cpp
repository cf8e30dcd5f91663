#include "caissetest.h"
#include "fiscal/evenements.h"
#include "printing/rolesimprimantes.h"
#include "register/ui/capturescanner.h"
#include "register/ui/historiquetickets.h"
#include "support/testmain.h"

#include <QApplication>
#include <QTableWidget>
#include <QTimer>

namespace {
// A till that closed two tickets: n° 1 (Pull, CB) and n° 2 (Chaussettes, CB), the third open.
struct Historique : CaisseTest {
    Historique() {
        for (const char* code : {"ART000001", "ART000003"}) {
            taper(QString::fromLatin1(code));
            dialogues.reponses << Dialogues::Reponse::Oui; // closed and printed
            cliquer("paiement_2");
        }
        exiger(clos(1) && clos(2), "deux tickets terminés");
        imprimantes.travaux.clear();
    }
    std::unique_ptr<HistoriqueTickets> fenetre() {
        auto f =
            std::make_unique<HistoriqueTickets>(services, QStringLiteral("1"), QStringLiteral("1"));
        f->show();
        return f;
    }
    static QTableWidget* liste(HistoriqueTickets& f) {
        return f.findChild<QTableWidget*>(QStringLiteral("tickets"));
    }
    static QStringList numeros(HistoriqueTickets& f) {
        QStringList r;
        for (int i = 0; i < liste(f)->rowCount(); ++i)
            r << liste(f)->item(i, 0)->text();
        return r;
    }
    static void chercher(HistoriqueTickets& f, const QString& texte) {
        auto* boite = f.findChild<QLineEdit*>(QStringLiteral("recherche"));
        boite->setFocus();
        boite->setText(texte);
        QTest::keyClick(boite, Qt::Key_Return);
    }
    static QStringList recu(HistoriqueTickets& f) {
        return textes(f.findChild<PictureBox*>(QStringLiteral("recu"))->surface());
    }
};
} // namespace

// The closed tickets' window of the till: opened from the Caisse tab, searched, the selected
// ticket shown as its receipt, printed again as numbered duplicates, cancelled.
class TestHistoriqueTickets : public QObject {
    Q_OBJECT
  private slots:
    void bouton() {
        Historique h;
        QString titre;
        QStringList liste;
        const qint64 courant = *h.tab->ticketCourant();
        const QString avant = h.saisie()->text();
        // The window is modal: it is looked at, then closed with Escape, while it is up.
        QTimer::singleShot(0, [&] {
            auto* f = qobject_cast<HistoriqueTickets*>(QApplication::activeModalWidget());
            if (!f)
                return;
            titre = f->windowTitle();
            // Typed by a person (keys apart), the search is the window's, not the till's.
            auto* recherche = f->findChild<QLineEdit*>(QStringLiteral("recherche"));
            recherche->setFocus();
            QTest::keyClicks(recherche, QStringLiteral("1"), Qt::NoModifier,
                             CaptureScanner::ecartMaximal + 30);
            QTest::qWait(CaptureScanner::ecartMaximal + 30);
            QTest::keyClick(recherche, Qt::Key_Return);
            liste = Historique::numeros(*f);
            QTest::keyClick(f, Qt::Key_Escape);
        });
        h.cliquer("historique");
        QCOMPARE(titre, QStringLiteral("Historique des tickets"));
        QCOMPARE(liste, QStringList({"1"}));
        QCOMPARE(h.saisie()->text(), avant);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(*h.tab->ticketCourant(), courant);
        // The till goes on: the entry box has the keys again.
        h.taper("ART000002");
        QCOMPARE(h.codes(courant), QStringList({"ART000002"}));
    }

    void rechercheEtRecu() {
        Historique h;
        // Days later: the receipt is dated when the ticket closed.
        h.b.horloge.regler(QDateTime(QDate(2024, 3, 9), QTime(18, 0, 0)));
        auto f = h.fenetre();
        Historique::chercher(*f, "40,00");
        QCOMPARE(Historique::numeros(*f), QStringList({"1"}));
        QCOMPARE(f->ticketMontre(), std::optional<qint64>(1));
        const QStringList recu = Historique::recu(*f);
        QVERIFY2(recu.contains("ART000001 : Pull ") && recu.contains("Total ttc : 40,00 €") &&
                     recu.contains("mardi 5 mars 2024 09:01") && recu.contains("Ticket n° 1"),
                 qPrintable(recu.join(u'|')));
        // A text that names nothing says why, and lists nothing.
        Historique::chercher(*f, "12,5x'; DROP TABLE TICKETS; --");
        QCOMPARE(Historique::numeros(*f), QStringList());
        QVERIFY(!f->findChild<QLabel*>(QStringLiteral("avis"))->text().isEmpty());
        QVERIFY(Historique::recu(*f).isEmpty());
        QVERIFY(!f->findChild<QPushButton*>(QStringLiteral("reimprimer"))->isEnabled());
        Historique::chercher(*f, "05/03/2024");
        QCOMPARE(Historique::numeros(*f), QStringList({"2", "1"}));
    }

    void duplicatas() {
        Historique h;
        h.services.roles().choisirTicket(QStringLiteral("Ticket 80"));
        h.b.horloge.regler(QDateTime(QDate(2024, 3, 9), QTime(18, 0, 0)));
        auto f = h.fenetre();
        Historique::chercher(*f, "1");
        QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("reimprimer")), Qt::LeftButton);
        QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("reimprimer")), Qt::LeftButton);
        QCOMPARE(h.imprimantes.travaux.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(h.imprimantes.travaux[i].imprimante, QStringLiteral("Ticket 80"));
            QVERIFY(h.imprimantes.travaux[i].termine);
            const QStringList t = CaisseTest::textes(*h.imprimantes.travaux[i].surface);
            QVERIFY2(t.contains(QStringLiteral("DUPLICATA n° %1").arg(i + 1)) &&
                         t.contains("ART000001 : Pull ") && t.contains("Ticket n° 1") &&
                         t.contains("mardi 5 mars 2024 09:01"),
                     qPrintable(t.join(u'|')));
            QVERIFY(std::any_of(t.cbegin(), t.cend(), [](const QString& l) {
                return l.startsWith(QStringLiteral("Signature : ")) && l.size() > 14;
            }));
        }
        QCOMPARE(h.b.valeur("SELECT group_concat(Detail, '|') FROM EVENEMENTS WHERE Genre = ?",
                            {evenements::duplicata()})
                     .toString(),
                 QStringLiteral("ticket n° 1, duplicata n° 1|ticket n° 1, duplicata n° 2"));
        // The journal is written before the paper: a printer that fails still counts it.
        h.imprimantes.enPanne = true;
        h.dialogues.reponses << Dialogues::Reponse::Ok;
        QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("reimprimer")), Qt::LeftButton);
        QVERIFY(h.dialogues.textes().last().contains(QStringLiteral("duplicata n° 3")));
    }

    void annulation() {
        Historique h;
        const qint64 courant = *h.tab->ticketCourant();
        h.taper("ART000002"); // the till's ticket under way
        auto f = h.fenetre();
        Historique::chercher(*f, "1");
        // Refused at the question: nothing.
        h.dialogues.reponses << Dialogues::Reponse::Non;
        QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("annulerTicket")),
                          Qt::LeftButton);
        QCOMPARE(h.b.valeur("SELECT count(*) FROM TICKETS WHERE Genre = 'ANNULATION'").toInt(), 0);
        h.dialogues.reponses << Dialogues::Reponse::Oui << Dialogues::Reponse::Ok;
        QTest::mouseClick(f->findChild<QPushButton*>(QStringLiteral("annulerTicket")),
                          Qt::LeftButton);
        const qint64 annulant =
            h.b.valeur("SELECT NumeroTicket FROM TICKETS WHERE TicketAnnule = 1").toLongLong();
        QVERIFY(annulant > courant);
        QVERIFY(h.clos(annulant));
        QCOMPARE(h.lignes(annulant), QStringList({"ART000001|-40|-6.56|-1", "CB|40|0|0"}));
        QCOMPARE(
            h.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            5.0);
        // The window shows the cancelling ticket; the till keeps its ticket and its line.
        QCOMPARE(f->ticketMontre(), std::optional<qint64>(annulant));
        QVERIFY(!f->findChild<QPushButton*>(QStringLiteral("annulerTicket"))->isEnabled());
        QCOMPARE(*h.tab->ticketCourant(), courant);
        QCOMPARE(h.codes(courant), QStringList({"ART000002"}));
        QVERIFY(!h.clos(courant));
    }
};

TALMIR_TEST(TestHistoriqueTickets)
#include "tst_historiquetickets.moc"
