#include "stock/cloture.h"
#include "stock/ui/cloturetab.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>
#include <functional>

namespace {
QStringList elements(const QListWidget* l) {
    QStringList t;
    for (int i = 0; i < l->count(); ++i)
        t << l->item(i)->text();
    return t;
}

const QString kQuestion = QStringLiteral(
    "Voulez-vous remettre le stock à zéro ? Cette procédure est irréversible - Ne la réaliser "
    "QUE pour faire votre inventaire");
const QString kAnnulee =
    QStringLiteral("La procédure a été annulée - votre Stock n'a pas été touché ....");
const QString kFaite = QStringLiteral("Le stock a été remis à Zéro pour chaque article.");

// Something done to the shop that keeps the reset from running; false when it could not be done.
using Panne = std::function<bool(BoutiqueTest&)>;
} // namespace

// The annual closure on the Clôture tab: the checked copy, the reset and its refusals, and the
// list of closures.
class TestClotureTab : public QObject {
    Q_OBJECT
  private slots:
    void remiseAZero() {
        // OK: a copy holding the stock before the reset, listed at once; then every stock,
        // Null ones included, at zero.
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("UPDATE ARTICLES SET EnStock = NULL WHERE rowid % 7 = 0"));
        const double avant = b.valeur("SELECT sum(EnStock) FROM ARTICLES").toDouble();
        QVERIFY(avant > 0);
        b.horloge.regler(QDateTime(QDate(2024, 5, 1), QTime(14, 30)));
        b.dialogues.reponses = {Dialogues::Reponse::Ok};
        Services s = b.services();
        ClotureTab tab(s);
        tab.findChild<QPushButton*>("RAZStock")->click();

        QCOMPARE(b.dialogues.textes(), (QStringList{kQuestion, kFaite}));
        const auto& question = b.dialogues.boites[0];
        QCOMPARE(question.boutons, Dialogues::Boutons::OkAnnuler);
        QCOMPARE(question.icone, Dialogues::Icone::Avertissement);
        QCOMPARE(question.parDefaut, Dialogues::Reponse::Annuler);
        QCOMPARE(question.titre, QStringLiteral("TALMIR_vestimentaire"));
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES WHERE EnStock IS NOT 0").toInt(), 0);
        // The reset is in the signed events journal, with its copy.
        QCOMPARE(
            b.valeur("SELECT Genre || ' ' || Detail || ' ' || Date FROM EVENEMENTS").toString(),
            QStringLiteral("REMISE A ZERO DU STOCK 24122_05_01_14_30.db 2024-05-01 14:30:00"));

        const QString copie = b.chemin("SAUVEANNUELS/24122_05_01_14_30.db");
        QCOMPARE(elements(tab.findChild<QListWidget*>("ListeCloture")),
                 QStringList{"24122_05_01_14_30.db"});
        Database archive;
        QVERIFY(archive.ouvrir(copie));
        QSqlQuery q(archive.connexion());
        QVERIFY(q.exec("SELECT sum(EnStock), count(*) FROM ARTICLES") && q.next());
        QCOMPARE(q.value(0).toDouble(), avant);
        QCOMPARE(q.value(1).toInt(), b.valeur("SELECT count(*) FROM ARTICLES").toInt());
    }

    void annulation_data() {
        QTest::addColumn<QList<Dialogues::Reponse>>("reponses");
        QTest::newRow("Annuler") << QList<Dialogues::Reponse>{Dialogues::Reponse::Annuler};
        QTest::newRow("Entree (bouton par defaut)") << QList<Dialogues::Reponse>{};
    }
    void annulation() {
        // The stock is untouched, yet the closure copy is made and listed.
        QFETCH(QList<Dialogues::Reponse>, reponses);
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        const double avant = b.valeur("SELECT sum(EnStock) FROM ARTICLES").toDouble();
        b.dialogues.reponses = reponses;
        Services s = b.services();
        ClotureTab tab(s);
        tab.RAZStock_Click();
        QCOMPARE(b.dialogues.textes(), (QStringList{kQuestion, kAnnulee}));
        QCOMPARE(b.valeur("SELECT sum(EnStock) FROM ARTICLES").toDouble(), avant);
        QVERIFY(QFile::exists(b.chemin("SAUVEANNUELS/2465_03_05_09_01.db")));
        QCOMPARE(elements(tab.findChild<QListWidget*>("ListeCloture")),
                 QStringList{"2465_03_05_09_01.db"});
    }

    void refus_data() {
        // How the reset is kept from running (done to the shop once its tab is open), whether
        // the question was asked, and whether the stock can still be read afterwards.
        QTest::addColumn<Panne>("panne");
        QTest::addColumn<bool>("question");
        QTest::addColumn<QString>("motif");
        QTest::addColumn<bool>("stockLisible");
        const QString sauvegarde = "La sauvegarde de clôture n'a pas pu être faite";
        QTest::newRow("dossier des clotures impossible") << Panne([](BoutiqueTest& b) {
            QFile f(b.chemin("SAUVEANNUELS"));
            return f.open(QIODevice::WriteOnly); // a file where the folder should be
        }) << false << sauvegarde << true;
        QTest::newRow("copie impossible a ecrire") << Panne([](BoutiqueTest& b) {
            // A folder where no file can be made, even by the system's administrator.
            return QFile::link(QStringLiteral("/proc"), b.chemin("SAUVEANNUELS"));
        }) << false << sauvegarde << true;
        QTest::newRow("base fermee") << Panne([](BoutiqueTest& b) {
            b.bdd.fermer();
            return true;
        }) << false << sauvegarde << false;
        QTest::newRow("mise a jour refusee") << Panne([](BoutiqueTest& b) {
            return b.sql("CREATE TRIGGER refus BEFORE UPDATE OF EnStock ON ARTICLES "
                         "BEGIN SELECT RAISE(ABORT, 'stock verrouillé'); END");
        }) << true << "La remise à zéro du stock a échoué"
                                             << true;
    }
    void refus() {
        QFETCH(Panne, panne);
        QFETCH(bool, question);
        QFETCH(QString, motif);
        QFETCH(bool, stockLisible);
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        const double avant = b.valeur("SELECT sum(EnStock) FROM ARTICLES").toDouble();
        b.dialogues.reponses = {Dialogues::Reponse::Ok};
        Services s = b.services();
        ClotureTab tab(s);
        QVERIFY(panne(b));
        tab.RAZStock_Click();

        const QStringList textes = b.dialogues.textes();
        QCOMPARE(textes.size(), question ? 2 : 1);
        QCOMPARE(textes.first() == kQuestion, question);
        QVERIFY2(textes.last().startsWith(motif), qPrintable(textes.last()));
        QVERIFY(textes.last().contains("n'a pas été touché"));
        QCOMPARE(b.dialogues.boites.last().icone, Dialogues::Icone::Arret);
        QVERIFY(!textes.contains(kFaite));
        if (stockLisible)
            QCOMPARE(b.valeur("SELECT sum(EnStock) FROM ARTICLES").toDouble(), avant);
    }

    void deuxCloturesDansLaMeminute() {
        // The second closure of a minute, answered Annuler after the first reset the stock,
        // leaves the first copy as it was: the only record of the stock before the reset.
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        const double avant = b.valeur("SELECT sum(EnStock) FROM ARTICLES").toDouble();
        QVERIFY(avant > 0);
        b.dialogues.reponses = {Dialogues::Reponse::Ok, Dialogues::Reponse::Ok,
                                Dialogues::Reponse::Annuler};
        Services s = b.services();
        ClotureTab tab(s);
        tab.RAZStock_Click();
        tab.RAZStock_Click();
        QCOMPARE(b.dialogues.textes(), (QStringList{kQuestion, kFaite, kQuestion, kAnnulee}));
        QCOMPARE(elements(tab.findChild<QListWidget*>("ListeCloture")),
                 (QStringList{"2465_03_05_09_01.db", "2465_03_05_09_01_2.db"}));
        auto stockDe = [](const QString& chemin) {
            Database archive;
            if (!archive.ouvrir(chemin))
                return -1.0;
            QSqlQuery q(archive.connexion());
            return q.exec("SELECT sum(EnStock) FROM ARTICLES") && q.next() ? q.value(0).toDouble()
                                                                           : -1.0;
        };
        QCOMPARE(stockDe(b.chemin("SAUVEANNUELS/2465_03_05_09_01.db")), avant);
        QCOMPARE(stockDe(b.chemin("SAUVEANNUELS/2465_03_05_09_01_2.db")), 0.0);
    }

    void nomDejaPris() {
        // Whatever holds the closure's name (a folder, a file of another program) stays; the
        // copy takes the next free name.
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        QVERIFY(QDir().mkpath(b.chemin("SAUVEANNUELS/2465_03_05_09_01.db")));
        QFile autre(b.chemin("SAUVEANNUELS/2465_03_05_09_01_2.db"));
        QVERIFY(autre.open(QIODevice::WriteOnly) && autre.write("autre") == 5);
        autre.close();
        Services s = b.services();
        ClotureTab tab(s);
        tab.RAZStock_Click();
        QCOMPARE(b.dialogues.textes(), (QStringList{kQuestion, kAnnulee}));
        QVERIFY(QFileInfo(b.chemin("SAUVEANNUELS/2465_03_05_09_01.db")).isDir());
        QCOMPARE(QFileInfo(b.chemin("SAUVEANNUELS/2465_03_05_09_01_2.db")).size(), 5);
        QCOMPARE(cloture::articlesDuFichier(b.chemin("SAUVEANNUELS/2465_03_05_09_01_3.db")),
                 b.valeur("SELECT count(*) FROM ARTICLES").toLongLong());
        // Nothing is left under the name the copy was made and checked under.
        QCOMPARE(QDir(b.chemin("SAUVEANNUELS")).entryList(QDir::Hidden | QDir::Files).size(), 2);
    }

    void listeDesClotures() {
        // Ordinary files only, no sub-folder, no hidden file, oldest first: by the date the
        // name gives (a two-digit year and the day of the year sort neither as text nor as
        // numbers), other files by their own date; a missing folder lists nothing.
        BoutiqueTest b;
        Services s = b.services();
        ClotureTab tab(s);
        auto* liste = tab.findChild<QListWidget*>("ListeCloture");
        tab.afficherLesClotures();
        QCOMPARE(liste->count(), 0);

        QDir d(b.dossier());
        QVERIFY(d.mkpath("SAUVEANNUELS/anciennes"));
        const QList<QPair<const char*, QDateTime>> fichiers = {
            {"24366_12_31_23_59.db", {}},
            {"251_01_01_08_00.db", {}},
            {"245_01_05_09_05_2.db", {}},
            {"24122_05_01_14_30.db", {}},
            {"245_01_05_09_05.db", {}},
            {"24110_05_01_14_30_10.db", QDateTime(QDate(2030, 1, 1), QTime(0, 0))},
            {"24122_05_01_14_30_2.db", {}},
            {".cache", {}},
            {"note.txt", QDateTime(QDate(2024, 6, 1), QTime(12, 0))}};
        for (const auto& [nom, date] : fichiers) {
            QFile f(b.chemin(QStringLiteral("SAUVEANNUELS/") + nom));
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (date.isValid())
                QVERIFY(f.setFileTime(date, QFileDevice::FileModificationTime));
        }
        liste->addItem("ancienne entrée");
        tab.afficherLesClotures();
        QCOMPARE(elements(liste),
                 (QStringList{"245_01_05_09_05.db", "245_01_05_09_05_2.db", "24122_05_01_14_30.db",
                              "24122_05_01_14_30_2.db", "note.txt", "24366_12_31_23_59.db",
                              "251_01_01_08_00.db", "24110_05_01_14_30_10.db"}));
    }
};

TALMIR_TEST(TestClotureTab)
#include "tst_cloturetab.moc"
