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

    void aucunProgrammeNOuvreLeJournal() {
        // The desktop's opener starts, then finds no program for the file: said, with the file.
        BoutiqueTest b;
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        tab.consulterjournal_Click();
        QVERIFY(b.dialogues.boites.isEmpty());
        QCOMPARE(b.lanceur.echecsPlusTard.size(), 1);
        QVERIFY(b.lanceur.echecsPlusTard[0]);
        b.lanceur.echecsPlusTard[0](
            QStringLiteral("aucun programme n'est installé pour ouvrir ce genre de fichier"));
        QCOMPARE(b.dialogues.textes(),
                 QStringList{QStringLiteral("Le journal %1 n'a pas pu être ouvert dans l'éditeur "
                                            "de texte : aucun programme n'est installé pour "
                                            "ouvrir ce genre de fichier")
                                 .arg(b.chemin("inventaire.txt"))});
    }
};

TALMIR_TEST(TestVisionneuse)
#include "tst_visionneuse.moc"
