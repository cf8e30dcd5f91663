#include "support/e2e/programmereel.h"
#include "support/testmain.h"

#include <QtTest>

// The till in a real window under a window manager, typed into as a keyboard-wedge scanner types.
class TestCaisseReelle : public QObject {
    Q_OBJECT

    // The lines of the open ticket, in order.
    static QStringList codesDuTicket(ProgrammeReel& p) {
        QStringList codes;
        const int n = p.valeur("SELECT count(*) FROM VENTES WHERE NumeroTicket = (SELECT "
                               "max(NumeroTicket) FROM TICKETS WHERE TicketClos = 0)")
                          .toInt();
        for (int i = 0; i < n; ++i)
            codes << p.valeur("SELECT CodeArticle FROM VENTES WHERE NumeroTicket = (SELECT "
                              "max(NumeroTicket) FROM TICKETS WHERE TicketClos = 0) ORDER BY Id "
                              "LIMIT 1 OFFSET ?",
                              {i})
                         .toString();
        return codes;
    }

    // The last line recorded so far: the lines after it are this test's.
    static qint64 derniereLigne(ProgrammeReel& p) {
        return p.valeur("SELECT coalesce(max(Id), 0) FROM VENTES").toLongLong();
    }
    // The lines recorded after `apres`, "code|amount|qt", in order.
    static QStringList lignes(ProgrammeReel& p, qint64 apres) {
        QStringList r;
        const int n = p.valeur("SELECT count(*) FROM VENTES WHERE Id > ?", {apres}).toInt();
        for (int i = 0; i < n; ++i)
            r << p.valeur("SELECT CodeArticle || '|' || PrixVenteTTC || '|' || printf('%g', qt) "
                          "FROM VENTES "
                          "WHERE Id > ? ORDER BY Id LIMIT 1 OFFSET ?",
                          {apres, i})
                     .toString();
        return r;
    }
    static QString prix(ProgrammeReel& p, const QString& code) {
        return p.valeur("SELECT PrixVenteTTC FROM ARTICLES WHERE CodeArticle = ?", {code})
            .toString();
    }
    // Fails with a picture of the screen and the active window's title.
    static QString echec(ProgrammeReel& p, const char* quoi) {
        const QString image = QStringLiteral("/tmp/e2e_%1_%2.png")
                                  .arg(QLatin1String(quoi), QLatin1String(QTest::currentDataTag()));
        p.capture(image);
        return QStringLiteral("%1 ; fenêtre active : « %2 » ; écran : %3")
            .arg(QLatin1String(quoi), p.fenetreActive(), image);
    }
    static QString boite() { return QStringLiteral("^TALMIR Vestimentaire$"); }

    // Starts the program, sells ART000001 and scans ESPECES: the cash box is up. `avant` is the
    // last line recorded before.
    static void ouvrirLaBoiteDesEspeces(ProgrammeReel& p, qint64& avant) {
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        avant = derniereLigne(p);
        QVERIFY(p.scanner(QStringLiteral("ART000001")));
        QVERIFY(p.scanner(QStringLiteral("ESPECES")));
        if (!p.attendreFenetreActive(boite()))
            QFAIL(qPrintable(echec(p, "boite_especes")));
    }

  private slots:
    void init() {
        if (const QString manque = ProgrammeReel::manque(); !manque.isEmpty())
            QSKIP(qPrintable(QStringLiteral("manque pour lancer le programme : ") + manque));
    }

    // The entry box has the focus at start: a scan sells its article, once.
    void unScanUneLigne() {
        ProgrammeReel p;
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        QVERIFY(p.scanner(QStringLiteral("ART000001")));
        const bool vendu = p.attendre([&] { return codesDuTicket(p).size() == 1; });
        if (!vendu)
            p.capture(QStringLiteral("/tmp/e2e_echec.png"));
        QVERIFY2(vendu, qPrintable(QStringLiteral("fenêtre active : ") + p.fenetreActive()));
        QCOMPARE(codesDuTicket(p), QStringList{"ART000001"});
        QVERIFY(p.arreter());
        QVERIFY(p.journal().last().startsWith(QStringLiteral("ARRET CROIX ROUGE |")));
    }

    // Whichever keys a scanner ends its codes with, each code is sold once and the next scans
    // still reach the till.
    void finsDeCode_data() {
        QTest::addColumn<QStringList>("fin");
        QTest::newRow("CR LF") << QStringList{"Return", "Linefeed"};
        QTest::newRow("LF") << QStringList{"Linefeed"};
        QTest::newRow("TAB") << QStringList{"Tab"};
        QTest::newRow("CR TAB") << QStringList{"Return", "Tab"};
    }
    void finsDeCode() {
        QFETCH(QStringList, fin);
        ProgrammeReel p;
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        const QStringList codes{"ART000001", "ART000002", "ART000001"};
        for (const QString& code : codes)
            QVERIFY(p.scanner(code, fin));
        // One more, ended with Return: it is sold after the others, on the same ticket.
        QVERIFY(p.scanner(QStringLiteral("ART000003")));
        const QStringList attendu = codes + QStringList{"ART000003"};
        const bool vendus = p.attendre([&] { return codesDuTicket(p).size() >= 4; });
        if (!vendus)
            QFAIL(qPrintable(echec(p, "fins_de_code")));
        QCOMPARE(codesDuTicket(p), attendu);
        QVERIFY(p.arreter());
        QCOMPARE(codesDuTicket(p), attendu);
    }

    // A scan typed into the open ESPECES box is no amount: the box stays with what the operator
    // typed, and the scan is processed once the box closes (an article sold, a number read as
    // the next quantity), never recorded as money.
    void scanDansLaBoiteDesEspeces_data() {
        QTest::addColumn<QString>("scan");
        QTest::addColumn<QStringList>("apres"); // the lines after the article and the payment
        QTest::newRow("article") << "ART000003" << QStringList{"ART000003|1"};
        QTest::newRow("code court") << "77" << QStringList{"ART000003|77"};
    }
    void scanDansLaBoiteDesEspeces() {
        QFETCH(QString, scan);
        QFETCH(QStringList, apres);
        ProgrammeReel p;
        qint64 avant = 0;
        ouvrirLaBoiteDesEspeces(p, avant);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(p.scanner(scan));
        // The operator types the amount, slowly, and confirms it.
        QVERIFY(p.taper(QStringLiteral("10"), 150));
        QVERIFY(p.touches({QStringLiteral("Return")}, 150));
        if (scan == QStringLiteral("77"))
            QVERIFY(p.scanner(QStringLiteral("ART000003")));
        const bool fait = p.attendre([&] { return lignes(p, avant).size() >= 3; });
        if (!fait)
            QFAIL(qPrintable(echec(p, "scan_dans_la_boite")));
        const QStringList l = lignes(p, avant);
        QCOMPARE(l.size(), 3);
        QVERIFY2(l[0].startsWith("ART000001|"), qPrintable(l[0]));
        QCOMPARE(l[1], QStringLiteral("ESPECES|-10|0"));
        QCOMPARE(l[2].section(u'|', 0, 0) + u'|' + l[2].section(u'|', 2, 2), apres.constFirst());
        QVERIFY(p.arreter());
    }

    // The cash box accepted with Return and the next customer's code scanned at once: that code
    // arrives while the closing offer is being shown, and is sold exactly once, on the next
    // ticket once the offer is accepted.
    void scanPendantLOffre() {
        ProgrammeReel p;
        qint64 avant = 0;
        ouvrirLaBoiteDesEspeces(p, avant);
        if (QTest::currentTestFailed())
            return;
        // The offer that follows is a box of its own, with the cash box's title: another window.
        const auto fenetre = [&p] {
            QByteArray id;
            return p.xdotool({QStringLiteral("getactivewindow")}, 5000, &id) ? id : QByteArray();
        };
        const QByteArray boiteDesEspeces = fenetre();
        // The amount offered is what remains: Return accepts it, and the scanner goes on.
        QVERIFY(p.touches({QStringLiteral("Return")}));
        QVERIFY(p.scanner(QStringLiteral("ART000002")));
        const auto codes = [&] {
            QStringList c;
            for (const QString& l : lignes(p, avant))
                c << l.section(u'|', 0, 0);
            return c;
        };
        if (!p.attendre([&] { return codes().contains(QStringLiteral("ESPECES")); }))
            QFAIL(qPrintable(echec(p, "paiement")));
        if (!p.attendre([&] {
                const QByteArray id = fenetre();
                return !id.isEmpty() && id != boiteDesEspeces &&
                       QRegularExpression(boite()).match(p.fenetreActive()).hasMatch();
            }))
            QFAIL(qPrintable(echec(p, "offre")));
        // The operator reads the question before answering: an Enter that follows the scan's end
        // within a scanner's key gap would be the second end key of that scan.
        QTest::qWait(2 * 50);
        QVERIFY(p.touches({QStringLiteral("Return")}, 150));
        const QStringList attendu{"ART000001", "ESPECES", "ART000002"};
        const bool fait = p.attendre(
            [&] { return codes() == attendu && codesDuTicket(p) == QStringList{"ART000002"}; });
        if (!fait)
            QFAIL(qPrintable(echec(p, "scan_pendant_l_offre") + u' ' + codes().join(u',')));
        QVERIFY(p.arreter());
        QCOMPARE(codes(), attendu);
    }
};

TALMIR_TEST(TestCaisseReelle)
#include "tst_caissereelle.moc"
