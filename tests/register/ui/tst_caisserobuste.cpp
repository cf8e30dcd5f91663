#include "caissetest.h"
#include "register/ui/zonesaisie.h"
#include "support/testmain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTabWidget>

namespace {
// Fifty scans of three articles, in a known order.
QStringList rafale(int n = 50) {
    QStringList codes;
    for (int i = 0; i < n; ++i)
        codes << QStringLiteral("ART00000%1").arg(1 + (i * 7) % 3);
    return codes;
}

// Key presses queued as a scanner sends them, faster than the till handles them.
void poster(QWidget* w, const QString& code) {
    for (QChar ch : code)
        QCoreApplication::postEvent(
            w, new QKeyEvent(QEvent::KeyPress, int(ch.unicode()), Qt::NoModifier, QString(ch)));
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
}
// A key as a scanner's suffix sends it: "CR" (Return), "LF" (a bare line feed), "TAB".
void finDeCode(QWidget* w, const QString& touche) {
    const int cle = touche == "CR" ? int(Qt::Key_Return) : touche == "TAB" ? int(Qt::Key_Tab) : 0;
    const QString texte = touche == "CR"   ? QStringLiteral("\r")
                          : touche == "LF" ? QStringLiteral("\n")
                                           : QStringLiteral("\t");
    QKeyEvent e(QEvent::KeyPress, cle, Qt::NoModifier, texte);
    QApplication::sendEvent(w, &e);
}
} // namespace

// The till under a scanner's bursts, bad input, a database that refuses rows, and restarts.
class TestCaisseRobuste : public QObject {
    Q_OBJECT
  private slots:
    void rafaleDeScans() {
        CaisseTest c;
        const QStringList codes = rafale();
        for (const QString& code : codes)
            c.taper(code);
        QCOMPARE(c.codes(1), codes);
        QCOMPARE(c.texte("total"), QStringLiteral("1768,24 "));
    }

    void rafaleEnAttente() {
        CaisseTest c;
        const QStringList codes = rafale();
        for (int i = 0; i < codes.size(); ++i) {
            poster(c.saisie(), codes[i]);
            // Redraws asked for in the middle of the burst.
            if (i % 10 == 3)
                QMetaObject::invokeMethod(
                    c.tab.get(), [&c] { c.tab->recalculerTicket(); }, Qt::QueuedConnection);
        }
        QTRY_COMPARE(c.codes(1).size(), codes.size());
        QCOMPARE(c.codes(1), codes);
    }

    void scansPendantUneSaisie() {
        CaisseTest c;
        c.taper("ART000002");
        // The scanner goes on while the payment box is up: those scans follow the payment.
        c.dialogues.pendant = [&c](const QString&) {
            for (const QString& code : rafale(3))
                c.taper(code);
        };
        c.dialogues.saisies << QStringLiteral("10");
        c.cliquer("paiement_1");
        QCOMPARE(c.codes(1), QStringList({"ART000002", "ESPECES"}) + rafale(3));
        QCOMPARE(c.dialogues.boites.size(), 1);
    }

    void scansPendantLOffre() {
        CaisseTest c;
        c.taper("ART000001");
        // The next customer's articles are scanned while the offer is up: they go to the next
        // ticket once this one is closed and printed.
        c.dialogues.pendant = [&c](const QString&) {
            c.dialogues.pendant = [&c](const QString& texte) {
                QCOMPARE(texte, offre());
                for (const QString& code : rafale(5))
                    c.taper(code);
            };
        };
        c.dialogues.reponses << Dialogues::Reponse::Oui;
        c.cliquer("paiement_1");
        QVERIFY(c.clos(1));
        QCOMPARE(c.codes(1), QStringList({"ART000001", "ESPECES"}));
        QCOMPARE(c.imprimantes.travaux.size(), 1);
        QCOMPARE(c.numero(), 2);
        QCOMPARE(c.codes(2), rafale(5));
        QCOMPARE(c.dialogues.compter(offre()), 1);
    }

    void scannerSurLaQuestion() {
        CaisseTest c;
        c.taper("ART000001");
        // The question box has the keyboard: a scan typed there is a scan, not an answer; an
        // Enter alone still reaches the box, and a code cut short goes back to the entry box.
        QLineEdit boite;
        int reponsesClavier = 0;
        QObject::connect(&boite, &QLineEdit::returnPressed, [&] { ++reponsesClavier; });
        c.dialogues.pendant = [&](const QString&) {
            c.dialogues.pendant = [&](const QString&) {
                QTest::keyClicks(&boite, "ART000003");
                QTest::keyClick(&boite, Qt::Key_Return);
                QTest::keyClick(&boite, Qt::Key_Return);
                QTest::keyClicks(&boite, "ART0");
            };
        };
        c.dialogues.reponses << Dialogues::Reponse::Oui;
        c.cliquer("paiement_1");
        QCOMPARE(reponsesClavier, 1);
        QCOMPARE(boite.text(), QString());
        QCOMPARE(c.codes(1), QStringList({"ART000001", "ESPECES"}));
        QCOMPARE(c.codes(2), QStringList({"ART000003"}));
        QCOMPARE(c.saisie()->text(), QStringLiteral("ART0"));
        QTest::keyClicks(c.saisie(), "00002");
        QTest::keyClick(c.saisie(), Qt::Key_Return);
        QCOMPARE(c.codes(2), QStringList({"ART000003", "ART000002"}));
    }

    // A scan typed on the buttons of the question box, capitals with Shift as a scanner types
    // them: keys the buttons pass up to the box count once, Shift breaks nothing, and the code is
    // sold on the next ticket, not answered.
    void scanSurLesBoutonsDUneBoite() {
        CaisseTest c;
        c.taper("ART000001");
        QWidget boite;
        auto* oui = new QPushButton(QStringLiteral("Oui"), &boite);
        boite.show();
        oui->setFocus();
        int clics = 0;
        QObject::connect(oui, &QPushButton::clicked, [&] { ++clics; });
        c.dialogues.pendant = [&](const QString&) {
            c.dialogues.pendant = [&](const QString&) {
                for (QChar ch : QStringLiteral("ART000003")) {
                    if (ch.isUpper())
                        QTest::keyPress(oui, Qt::Key_Shift);
                    QTest::keyClick(oui, ch.toLatin1());
                    if (ch.isUpper())
                        QTest::keyRelease(oui, Qt::Key_Shift);
                }
                QTest::keyClick(oui, Qt::Key_Return);
            };
        };
        c.dialogues.reponses << Dialogues::Reponse::Oui;
        c.cliquer("paiement_1");
        QCOMPARE(clics, 0);
        QCOMPARE(c.codes(1), QStringList({"ART000001", "ESPECES"}));
        QCOMPARE(c.codes(2), QStringList({"ART000003"}));
    }

    // Whichever keys end a scanner's codes, each code is one line and the focus stays in the
    // entry box; a Tab on a code just entered enters nothing again.
    void finsDeCode_data() {
        QTest::addColumn<QStringList>("suffixe");
        QTest::newRow("CR") << QStringList{"CR"};
        QTest::newRow("LF") << QStringList{"LF"};
        QTest::newRow("CR LF") << QStringList{"CR", "LF"};
        QTest::newRow("LF CR") << QStringList{"LF", "CR"};
        QTest::newRow("TAB") << QStringList{"TAB"};
        QTest::newRow("CR TAB") << QStringList{"CR", "TAB"};
        QTest::newRow("TAB CR") << QStringList{"TAB", "CR"};
        QTest::newRow("CR TAB TAB") << QStringList{"CR", "TAB", "TAB"};
    }
    void finsDeCode() {
        QFETCH(QStringList, suffixe);
        CaisseTest c;
        c.saisie()->setFocus();
        QTRY_VERIFY(c.saisie()->hasFocus());
        const QStringList codes = rafale(4);
        for (const QString& code : codes) {
            QTest::keyClicks(c.saisie(), code);
            for (const QString& touche : suffixe)
                finDeCode(QApplication::focusWidget(), touche);
        }
        QCOMPARE(c.codes(1), codes);
        QVERIFY(c.saisie()->hasFocus());
    }

    void ctrlTabChangeDOnglet() {
        // Ctrl+Tab is the operator's way to the next tab, never a scanner's end key: the tab
        // changes and the code being typed is not entered.
        QTabWidget onglets;
        auto* saisie = new ZoneSaisie;
        onglets.addTab(saisie, QStringLiteral("Caisse"));
        onglets.addTab(new QWidget, QStringLiteral("Gen Codes"));
        QSignalSpy entrees(saisie, &ZoneSaisie::entree);
        QTest::keyClicks(saisie, "ART000001");
        QTest::keyClick(saisie, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(onglets.currentIndex(), 1);
        QCOMPARE(entrees.count(), 0);
    }

    // An unknown code, or an article without a price, is told under the code box with a beep,
    // without a box that would stop the next scans, and nothing is sold.
    void avisSansArret_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("avis");
        QTest::newRow("inconnu") << "XYZ"
                                 << "Code inconnu : XYZ";
        QTest::newRow("sans prix") << "gratuit"
                                   << "Article sans prix : GRATUIT n'est pas vendu";
    }
    void avisSansArret() {
        QFETCH(QString, code);
        QFETCH(QString, avis);
        CaisseTest c;
        QVERIFY(c.b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, tauxTVAvente) "
                        "VALUES ('GRATUIT', 'Cintre ', 0, 20)"));
        c.taper("ART000001");
        c.taper(code);
        QCOMPARE(c.texte("avis"), avis);
        c.taper("ART000002");
        QCOMPARE(c.codes(1), QStringList({"ART000001", "ART000002"}));
        QCOMPARE(c.texte("avis"), QString());
        QVERIFY(c.dialogues.boites.isEmpty());
    }

    // Keys typed while a button of the till has the focus go to the entry box: a scan is sold.
    void scanSurUnBouton() {
        CaisseTest c;
        auto* bouton = c.controle<QPushButton>("paiement_1");
        bouton->setFocus();
        QTRY_VERIFY(bouton->hasFocus());
        QTest::keyClicks(bouton, "ART000003");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(c.codes(1), QStringList{"ART000003"});
        QVERIFY(c.dialogues.boites.isEmpty());
        QVERIFY(c.saisie()->hasFocus());
    }

    // A scanner's Tab suffix keeps the next scans in the entry box; Ctrl+Tab, which no scanner
    // sends, shows the next tab.
    void tabulations() {
        CaisseTest c;
        QTabWidget onglets;
        onglets.addTab(c.tab.release(), QStringLiteral("Caisse"));
        onglets.addTab(new QWidget, QStringLiteral("Gen Codes"));
        onglets.show();
        QVERIFY(QTest::qWaitForWindowActive(&onglets));
        c.tab.reset(qobject_cast<CaisseTab*>(onglets.widget(0)));
        auto remettre = qScopeGuard([&c] { std::ignore = c.tab.release(); });
        c.saisie()->setFocus();
        QTRY_VERIFY(c.saisie()->hasFocus());
        QTest::keyClicks(c.saisie(), QStringLiteral("ART000002"));
        QTest::keyClick(c.saisie(), Qt::Key_Tab);
        QTest::keyClick(c.saisie(), Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(c.saisie()->hasFocus());
        QTest::keyClick(c.saisie(), Qt::Key_Return);
        QCOMPARE(c.codes(1), QStringList({"ART000002"}));
        QTest::keyClick(c.saisie(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(onglets.currentIndex(), 1);
    }

    void entreesHostiles_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("vendu"); // the code of the line, empty for none
        QTest::newRow("apostrophe d'un code") << "o'neil 7"
                                              << "O'NEIL 7";
        QTest::newRow("apostrophe") << "'"
                                    << "";
        QTest::newRow("injection") << "x' OR '1'='1"
                                   << "";
        QTest::newRow("destruction") << "'; DROP TABLE VENTES; --"
                                     << "";
        QTest::newRow("10000 caracteres") << QString(10000, u'A') << "";
        QTest::newRow("controles") << QStringLiteral("ART000001\x01\r\n") << "";
        QTest::newRow("accents") << "Écharpe été ô"
                                 << "";
        QTest::newRow("jokers") << "ART%"
                                << "";
        QTest::newRow("vide") << ""
                              << "";
        QTest::newRow("mot avec blanc") << "ESPECES "
                                        << "";
        QTest::newRow("mot avec blanc devant") << " TERMINE"
                                               << "";
        QTest::newRow("enorme quantite") << "-1E+20"
                                         << "";
    }
    void entreesHostiles() {
        QFETCH(QString, texte);
        QFETCH(QString, vendu);
        CaisseTest c;
        c.saisie()->setText(texte);
        QTest::keyClick(c.saisie(), Qt::Key_Return);
        QCOMPARE(c.codes(1), vendu.isEmpty() ? QStringList() : QStringList{vendu});
        QVERIFY(c.dialogues.boites.isEmpty());
        QCOMPARE(c.b.valeur("SELECT count(*) FROM ARTICLES").toInt(), 6);
        QVERIFY(!c.clos(1));
        QCOMPARE(c.saisie()->selectedText(), texte);
    }

    void quantiteHorsLimites() {
        CaisseTest c;
        // Written in its shortest form and below 100, but no quantity of articles: refused.
        c.taper("-1E+20");
        QCOMPARE(c.texte("nombre"), QStringLiteral("1"));
        QCOMPARE(c.texte("avis"), QStringLiteral("Quantité hors limites : -1E+20"));
        // The next article is sold one at a time.
        c.taper("ART000001");
        QCOMPARE(c.lignes(), QStringList{"ART000001|40|6.56|1"});
        QCOMPARE(
            c.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            4.0);
    }

    void repriseApresRedemarrage() {
        CaisseTest c;
        c.taper("ART000001");
        c.taper("ART000003");
        c.dialogues.saisies << QStringLiteral("10");
        c.cliquer("paiement_1");
        // What the screen shows is already stored: another connection reads it.
        {
            Database autre;
            QVERIFY(autre.ouvrir(c.b.installation().baseParDefaut()));
            QSqlQuery q(autre.connexion());
            QVERIFY(executer(q, "SELECT count(*) FROM VENTES WHERE NumeroTicket = 1") && q.next());
            QCOMPARE(q.value(0).toInt(), 3);
        }
        // The program stops with the ticket open and starts again.
        c.tab.reset();
        c.b.bdd.fermer();
        QVERIFY(c.b.ouvrir());
        c.demarrer();
        QCOMPARE(c.numero(), 1);
        QCOMPARE(c.texte("total"), QStringLiteral("49,99 "));
        QCOMPARE(c.texte("totalttc"), QStringLiteral("59,99 €"));
        QCOMPARE(c.texte("codebarre"), QStringLiteral("ART000003"));
        QCOMPARE(CaisseTest::textes(c.ecran()).first(), QStringLiteral("ART000001 : Pull "));
        c.taper("ART000001");
        QCOMPARE(c.codes(1).size(), 4);
    }

    void ticketsOuvertsLesPlusHautsDAbord() {
        CaisseTest c;
        QVERIFY(c.b.sql("INSERT INTO TICKETS (NumeroTicket, TicketClos, caisse, vendeur) VALUES "
                        "(7, 0, '1', 1), (9, 0, '1', 1)"));
        c.tab.reset();
        c.demarrer();
        // Each is sold something, paid and closed in its turn.
        const auto vendreEtTerminer = [&c] {
            c.taper("ART000004");
            c.dialogues.reponses << Dialogues::Reponse::Non;
            c.cliquer("paiement_1");
            c.taper("TERMINE");
        };
        QCOMPARE(c.numero(), 9);
        vendreEtTerminer();
        QCOMPARE(c.numero(), 7);
        vendreEtTerminer();
        QCOMPARE(c.numero(), 1);
        vendreEtTerminer();
        QCOMPARE(c.numero(), 10);
    }

    void aucunTicketPossible() {
        CaisseTest c;
        c.taper("ART000004");
        c.dialogues.reponses << Dialogues::Reponse::Non;
        c.cliquer("paiement_1");
        QVERIFY(c.b.sql("CREATE TRIGGER refus BEFORE INSERT ON TICKETS BEGIN SELECT RAISE(ABORT, "
                        "'refus'); END"));
        c.taper("TERMINE");
        QVERIFY(c.clos(1));
        QCOMPARE(c.texte("numticket"), QString());
        c.dialogues.boites.clear();
        // Nothing is filed under the closed ticket: the sale is refused and the operator told.
        c.taper("ART000001");
        c.cliquer("paiement_1");
        c.cliquer("Command10");
        QCOMPARE(c.b.valeur("SELECT count(*) FROM VENTES").toInt(), 2);
        QCOMPARE(
            c.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            5.0);
        QCOMPARE(c.dialogues.boites.size(), 3);
        for (const auto& b : c.dialogues.boites)
            QVERIFY(b.texte.startsWith("Aucun ticket n'est ouvert"));
        // Once the database accepts tickets again, the next scan opens one.
        QVERIFY(c.b.sql("DROP TRIGGER refus"));
        c.taper("ART000001");
        QCOMPARE(c.numero(), 2);
        QCOMPARE(c.codes(2), QStringList({"ART000001"}));
    }

    void ticketFermeAilleurs() {
        CaisseTest c;
        c.taper("ART000001");
        QVERIFY(c.b.sql("UPDATE TICKETS SET TicketClos = 1, Chainage = 1, Signature = 'x' WHERE "
                        "NumeroTicket = 1"));
        c.taper("ART000003");
        QCOMPARE(c.codes(1), QStringList({"ART000001"}));
        QVERIFY(c.dialogues.boites.last().texte.contains("n'est plus ouvert"));
        QCOMPARE(c.numero(), 2);
        QVERIFY(c.codes(2).isEmpty());
    }

    void ligneRefuseeParLaBase() {
        CaisseTest c;
        QVERIFY(c.b.sql("CREATE TRIGGER plein BEFORE INSERT ON VENTES BEGIN SELECT RAISE(ABORT, "
                        "'disque plein'); END"));
        c.taper("ART000001");
        QVERIFY(c.dialogues.boites.last().texte.contains("disque plein"));
        QCOMPARE(c.texte("total"), QStringLiteral("0,00 "));
        QCOMPARE(c.texte("DetailAchat"), QString());
        QCOMPARE(
            c.b.valeur("SELECT EnStock FROM ARTICLES WHERE CodeArticle = 'ART000001'").toDouble(),
            5.0);
    }
};

TALMIR_TEST(TestCaisseRobuste)
#include "tst_caisserobuste.moc"
