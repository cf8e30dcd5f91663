#include "stock/inventairedetest.h"
#include "stock/ui/inventairetab.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// "Sortir l'inventaire" on the Inventaire tab: the listing written and opened by the
// spreadsheet, and the failures it reports.
class TestSortieInventaire : public QObject {
    Q_OBJECT
  private slots:
    void boutonOuvreLeTableur() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        tab.SortirInventaire_Click();
        QCOMPARE(b.dialogues.boites.size(), 0);
        QCOMPARE(b.lanceur.ouverts.size(), 1);
        QCOMPARE(b.lanceur.ouverts[0].first, b.chemin("inventaire.csv"));
        QCOMPARE(b.lanceur.ouverts[0].second, Lanceur::Role::Tableur);
        QVERIFY(lire(b.chemin("inventaire.csv")).startsWith("N,DateDeCreation,fournisseur,"));
    }

    void echecs_data() {
        QTest::addColumn<bool>("dossierALaPlace");
        QTest::addColumn<bool>("baseFermee");
        QTest::addColumn<QString>("debut");
        QTest::newRow("fichier impossible a ecrire") << true << false << "Erreur ";
        QTest::newRow("base illisible") << false << true << "Erreur ";
    }
    void echecs() {
        // The system's reason is shown after "Erreur ", the earlier listing stays whole and
        // nothing is opened as if it were new.
        QFETCH(bool, dossierALaPlace);
        QFETCH(bool, baseFermee);
        QFETCH(QString, debut);
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        const QString sortie = b.chemin("inventaire.csv");
        if (dossierALaPlace)
            QVERIFY(QDir().mkdir(sortie));
        else
            QVERIFY(ecrireFichier(sortie, "ancien inventaire\r\n"));
        if (baseFermee)
            b.bdd.fermer();
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        tab.SortirInventaire_Click();
        QCOMPARE(b.dialogues.boites.size(), 1);
        QVERIFY(b.dialogues.boites[0].texte.startsWith(debut));
        QVERIFY(b.dialogues.boites[0].texte.size() > debut.size());
        QCOMPARE(b.dialogues.boites[0].titre, QStringLiteral("TALMIR_vestimentaire"));
        QVERIFY(b.lanceur.ouverts.isEmpty());
        if (!dossierALaPlace)
            QCOMPARE(lire(sortie), QByteArray("ancien inventaire\r\n"));
    }

    void tableurIntrouvable() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        b.lanceur.echoue = true;
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        tab.SortirInventaire_Click();
        QVERIFY(QFile::exists(b.chemin("inventaire.csv")));
        QCOMPARE(b.dialogues.boites.size(), 1);
        QVERIFY(b.dialogues.boites[0].texte.contains(b.chemin("inventaire.csv")));
        QVERIFY(b.dialogues.boites[0].texte.contains("programme introuvable"));
    }

    void aucunProgrammeNOuvreLInventaire() {
        // The desktop's opener starts, then finds no spreadsheet: said, with the file.
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        Services s = b.services();
        InventaireTab tab(s, b.navigation);
        tab.SortirInventaire_Click();
        QVERIFY(b.dialogues.boites.isEmpty());
        QCOMPARE(b.lanceur.echecsPlusTard.size(), 1);
        b.lanceur.echecsPlusTard[0](
            QStringLiteral("aucun programme n'est installé pour ouvrir ce genre de fichier"));
        QCOMPARE(b.dialogues.textes(),
                 QStringList{QStringLiteral("L'inventaire a été écrit dans %1, mais le tableur "
                                            "n'a pas pu être ouvert : aucun programme n'est "
                                            "installé pour ouvrir ce genre de fichier")
                                 .arg(b.chemin("inventaire.csv"))});
    }

  private:
    static bool ecrireFichier(const QString& chemin, const QByteArray& contenu) {
        QFile f(chemin);
        return f.open(QIODevice::WriteOnly) && f.write(contenu) == contenu.size();
    }
};

TALMIR_TEST(TestSortieInventaire)
#include "tst_sortieinventaire.moc"
