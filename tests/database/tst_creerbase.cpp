#include "support/testmain.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The shop-database tool as a newcomer runs it: what it makes, what it refuses and says.
class TestCreerBase : public QObject {
    Q_OBJECT
  private slots:
    void lignesDeCommande_data() {
        QTest::addColumn<QStringList>("arguments"); // FICHIER stands for the file's path
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // on the error output; %1 is the folder
        QTest::addColumn<bool>("cree");
        QTest::newRow("boutique vide") << QStringList{"FICHIER"} << 0 << QString() << true;
        QTest::newRow("boutique de demonstration")
            << QStringList{"--demo", "FICHIER"} << 0 << QString() << true;
        QTest::newRow("lignes sans articles")
            << QStringList{"--lignes", "10", "FICHIER"} << 2
            << "usage : creer_base [--demo | --articles N --lignes M] FICHIER" << false;
        QTest::newRow("nombre illisible")
            << QStringList{"--articles", "dix", "FICHIER"} << 2 << "usage : creer_base" << false;
        QTest::newRow("dossier absent")
            << QStringList{"--demo", "absent/boutique.db"} << 1
            << "creer_base : le dossier %1/absent n'existe pas" << false;
    }
    void lignesDeCommande() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(bool, cree);
        QTemporaryDir dossier;
        const QString fichier = dossier.filePath("boutique.db");
        for (QString& a : arguments)
            a = a == "FICHIER" ? fichier : a.startsWith("absent/") ? dossier.filePath(a) : a;
        QProcess outil;
        outil.start(QStringLiteral(TALMIR_BIN_DIR "/creer_base"), arguments);
        QVERIFY(outil.waitForFinished(120000));
        QCOMPARE(outil.exitCode(), code);
        const QString erreurs = QString::fromUtf8(outil.readAllStandardError());
        if (message.contains("%1"))
            message = message.arg(dossier.path());
        if (!message.isEmpty())
            QVERIFY2(erreurs.contains(message), qPrintable(erreurs));
        else
            QCOMPARE(erreurs, QString());
        QCOMPARE(QFile::exists(fichier), cree);
    }

    void fichierExistantGarde() {
        QTemporaryDir dossier;
        const QString fichier = dossier.filePath("boutique.db");
        QFile f(fichier);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("à garder") > 0);
        f.close();
        QProcess outil;
        outil.start(QStringLiteral(TALMIR_BIN_DIR "/creer_base"), {"--demo", fichier});
        QVERIFY(outil.waitForFinished(120000));
        QCOMPARE(outil.exitCode(), 1);
        QVERIFY(QString::fromUtf8(outil.readAllStandardError()).contains("existe déjà"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), QStringLiteral("à garder"));
    }
};

TALMIR_TEST(TestCreerBase)
#include "tst_creerbase.moc"
