#include "frame/ui/form1.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

namespace {
// The code of an article of the demo shop that can be sold.
QString codeEnVente(BoutiqueTest& b) {
    return b
        .valeur("SELECT CodeArticle FROM ARTICLES WHERE PrixVenteTTC > 0 AND libelle IS NOT "
                "NULL ORDER BY rowid LIMIT 1")
        .toString();
}

// Fills the database up to the size it may not pass, as a full disk would: even a small row
// finds no room.
bool remplir(BoutiqueTest& b) {
    if (!b.sql("PRAGMA max_page_count = 1"))
        return false;
    for (int taille : {4000, 1000, 200, 40, 8, 1})
        while (b.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt) "
                     "VALUES (-1, ?, 0, 0, 0)",
                     {QString(taille, u'x')}))
            ;
    return true;
}

using Panne = std::function<bool(BoutiqueTest&)>;
} // namespace

// What the operator reads when the system refuses what the program asks: in French, with the
// file concerned, in the box of the action that failed.
class TestMessagesSysteme : public QObject {
    Q_OBJECT
  private slots:
    void venteRefusee_data() {
        QTest::addColumn<Panne>("panne");
        QTest::addColumn<QString>("raison");
        QTest::newRow("disque plein")
            << Panne(remplir)
            << "le disque est plein : la base de données %1 ne peut plus être écrite";
        QTest::newRow("lecture seule")
            << Panne([](BoutiqueTest& b) { return b.sql("PRAGMA query_only = 1"); })
            << "la base de données %1 est en lecture seule : rien ne peut y être enregistré";
        QTest::newRow("fichier supprime")
            << Panne(
                   [](BoutiqueTest& b) { return QFile::remove(b.installation().baseParDefaut()); })
            << "le fichier de la base de données %1 a été supprimé ou remplacé pendant que le "
               "programme était ouvert : plus rien n'est enregistré ; quittez le programme et "
               "remettez en place la copie la plus récente du dossier %2";
    }
    void venteRefusee() {
        QFETCH(Panne, panne);
        QFETCH(QString, raison);
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        Form1 f(b.services());
        QVERIFY(f.demarrer());
        const QString code = codeEnVente(b);
        const qint64 lignes = b.valeur("SELECT count(*) FROM VENTES").toLongLong();
        QVERIFY(panne(b));
        auto* saisie = f.findChild<QLineEdit*>("saisie");
        saisie->setText(code);
        QTest::keyClick(saisie, Qt::Key_Return);
        raison = raison.arg(b.installation().baseParDefaut());
        if (raison.contains("%2"))
            raison = raison.arg(b.chemin("Sauvegardes"));
        const QString attendu =
            QStringLiteral("La ligne « %1 » n'est pas enregistrée (%2). Recommencez la saisie.")
                .arg(code, raison);
        QCOMPARE(b.dialogues.textes(), QStringList{attendu});
        if (QFile::exists(b.installation().baseParDefaut()))
            QVERIFY(b.valeur("SELECT count(*) FROM VENTES").toLongLong() >= lignes);
    }

    void journalSurUnDisquePlein() {
        // The journal's file on a full disk: the stop says so, with the file.
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        Form1 f(b.services());
        QVERIFY(f.demarrer());
        const QString journal = b.chemin("inventaire.txt");
        QVERIFY(QFile::remove(journal));
        QVERIFY(QFile::link("/dev/full", journal));
        f.findChild<QPushButton*>("Quitter")->click();
        QCOMPARE(b.dialogues.textes(),
                 QStringList{QStringLiteral("Erreur le disque est plein (%1)").arg(journal)});
    }
};

TALMIR_TEST(TestMessagesSysteme)
#include "tst_messagessysteme.moc"
