#include "stock/ui/inventairetab.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QtTest>

// "Consulter Journal": the event journal opened in the desktop's text editor, without waiting.
class TestVisionneuse : public QObject {
    Q_OBJECT
  private slots:
    void ouvreLeJournal() {
        // A journal not written yet is the editor's concern: it is opened all the same.
        BoutiqueTest b;
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        tab.consulterjournal_Click();
        QCOMPARE(b.lanceur.ouverts.size(), 1);
        QCOMPARE(b.lanceur.ouverts[0].first, b.chemin("inventaire.txt"));
        QCOMPARE(b.lanceur.ouverts[0].second, Lanceur::Role::EditeurTexte);
        QVERIFY(b.dialogues.boites.isEmpty());
    }

    void editeurIntrouvable() {
        BoutiqueTest b;
        b.lanceur.echoue = true;
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        tab.consulterjournal_Click();
        QCOMPARE(b.dialogues.boites.size(), 1);
        QVERIFY(b.dialogues.boites[0].texte.contains(b.chemin("inventaire.txt")));
        QVERIFY(b.dialogues.boites[0].texte.contains("programme introuvable"));
        QCOMPARE(b.dialogues.boites[0].titre, QStringLiteral("TALMIR_vestimentaire"));
    }
};

TALMIR_TEST(TestVisionneuse)
#include "tst_visionneuse.moc"
