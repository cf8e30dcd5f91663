#include "platform/fichiers.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>

// Why a file operation failed, as the operator reads it: in French, with the file.
class TestFichiers : public QObject {
    Q_OBJECT
  private slots:
    void raisons_data() {
        QTest::addColumn<QString>("chemin"); // %1: a temporary folder
        QTest::addColumn<bool>("ecrire");
        QTest::addColumn<QString>("raison");
        QTest::newRow("fichier absent")
            << "%1/inventaire.txt" << false << "le fichier %1/inventaire.txt est introuvable";
        QTest::newRow("dossier absent") << "%1/absent/inventaire.csv" << true
                                        << "le dossier du fichier %1/absent/inventaire.csv "
                                           "n'existe pas";
        QTest::newRow("un dossier a la place")
            << "%1" << true << "%1 est un dossier, pas un fichier";
        QTest::newRow("disque plein") << "/dev/full" << true << "le disque est plein (/dev/full)";
    }
    void raisons() {
        QFETCH(QString, chemin);
        QFETCH(bool, ecrire);
        QFETCH(QString, raison);
        QTemporaryDir dossier;
        if (chemin.contains("%1"))
            chemin = chemin.arg(dossier.path());
        if (raison.contains("%1"))
            raison = raison.arg(dossier.path());
        if (ecrire) {
            QCOMPARE(ajouterLigne(chemin, QStringLiteral("DEMARRAGE")).raison(), raison);
        } else {
            QFile f(chemin);
            errno = 0;
            QVERIFY(!f.open(QIODevice::ReadOnly));
            QCOMPARE(raisonFichier(f), raison);
        }
    }
};

TALMIR_TEST(TestFichiers)
#include "tst_fichiers.moc"
