#include "printing/rolesimprimantes.h"
#include "printing/ui/parametrestab.h"
#include "settings/ini32.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// The printer roles on the Parametres tab.
class TestParametres : public QObject {
    Q_OBJECT
  private slots:
    void rolesParDefaut() {
        BoutiqueTest b;
        b.imprimantes = ImprimantesTest({"Printer A", "Printer B", "Imprimante PDF"});
        ParametresTab t(b.services());
        t.chargerImprimantes();
        t.chargerRoles();
        QCOMPARE(t.findChild<QListWidget*>("ListImprimantes")->count(), 3);
        QCOMPARE(t.imprimanteTicket(), QStringLiteral("Printer A"));
        QCOMPARE(t.imprimanteA4(), QStringLiteral("Printer A"));
        const QString ini = b.installation().fichierIni();
        QCOMPARE(parametre("imprimante", "imprimanteA4", "", ini, 1), QStringLiteral("Printer A"));
    }

    void choixEnregistreAussitot() {
        BoutiqueTest b;
        b.imprimantes = ImprimantesTest({"Printer A", "Printer B"});
        ParametresTab t(b.services());
        t.chargerImprimantes();
        t.chargerRoles();
        t.findChild<QListWidget*>("ListImprimantes")->setCurrentRow(1);
        t.findChild<QPushButton*>("Command4")->click();
        QCOMPARE(t.findChild<QLabel*>("ImprimanteA4")->text(), QStringLiteral("Printer B"));
        QCOMPARE(t.imprimanteTicket(), QStringLiteral("Printer A"));
        const QString ini = b.installation().fichierIni();
        QCOMPARE(parametre("imprimante", "imprimanteA4", "", ini, 1), QStringLiteral("Printer B"));
        QCOMPARE(parametre("imprimante", "imprimanteticket", "", ini, 1),
                 QStringLiteral("Printer A"));
        // A new start reads the stored roles.
        ParametresTab t2(b.services());
        t2.chargerRoles();
        QCOMPARE(t2.imprimanteA4(), QStringLiteral("Printer B"));
    }

    void sansSelection() {
        // Nothing selected: the role keeps its printer rather than being emptied.
        BoutiqueTest b;
        b.imprimantes = ImprimantesTest({"Printer A", "Printer B"});
        ParametresTab t(b.services());
        t.chargerImprimantes();
        t.chargerRoles();
        t.findChild<QPushButton*>("Command3")->click();
        QCOMPARE(t.imprimanteTicket(), QStringLiteral("Printer A"));
        QCOMPARE(parametre("imprimante", "imprimanteticket", "", b.installation().fichierIni(), 1),
                 QStringLiteral("Printer A"));
    }

    // A role whose printer is not installed here says so under it, until another is chosen.
    void imprimanteNonInstallee() {
        BoutiqueTest b;
        b.imprimantes = ImprimantesTest({"Printer A", "Printer B"});
        b.services().roles().choisirTicket(QStringLiteral("Ticket 58"));
        ParametresTab t(b.services());
        t.chargerImprimantes();
        t.chargerRoles();
        QCOMPARE(t.imprimanteTicket(), QStringLiteral("Ticket 58"));
        QCOMPARE(t.findChild<QLabel*>("absenceTicket")->text(), QStringLiteral("non installée"));
        QCOMPARE(t.findChild<QLabel*>("absenceA4")->text(), QString());
        t.findChild<QListWidget*>("ListImprimantes")->setCurrentRow(1);
        t.findChild<QPushButton*>("Command3")->click();
        QCOMPARE(t.imprimanteTicket(), QStringLiteral("Printer B"));
        QCOMPARE(t.findChild<QLabel*>("absenceTicket")->text(), QString());
    }

    void aucuneImprimante() {
        BoutiqueTest b;
        b.imprimantes = ImprimantesTest(QStringList{});
        ParametresTab t(b.services());
        t.chargerImprimantes();
        t.chargerRoles();
        QCOMPARE(t.findChild<QListWidget*>("ListImprimantes")->count(), 0);
        QCOMPARE(t.imprimanteTicket(), QString());
    }
};

TALMIR_TEST(TestParametres)
#include "tst_parametres.moc"
