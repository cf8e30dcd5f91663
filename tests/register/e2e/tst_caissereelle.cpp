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
};

TALMIR_TEST(TestCaisseReelle)
#include "tst_caissereelle.moc"
