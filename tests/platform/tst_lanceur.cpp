#include "platform/lanceur.h"
#include "support/testmain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The desktop's opener as the launcher follows it: a fake "xdg-open" first on the path, ending
// as the real one does.
class TestLanceur : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    QByteArray cheminAvant_;

    void ouvreur(int code) {
        QFile f(dossier_.filePath("xdg-open"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("#!/bin/sh\necho \"$1\" > \"%1\"\nexit %2\n")
                    .arg(dossier_.filePath("ouvert"))
                    .arg(code)
                    .toUtf8());
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

  private slots:
    void initTestCase() {
        cheminAvant_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dossier_.path()) + ':' + cheminAvant_);
    }
    void cleanupTestCase() { qputenv("PATH", cheminAvant_); }

    void finDeLOuvreur_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("raison");
        QTest::newRow("ouvert") << 0 << QString();
        QTest::newRow("aucun programme")
            << 3 << "aucun programme n'est installé pour ouvrir ce genre de fichier";
        QTest::newRow("programme prevu impossible a lancer")
            << 4 << "le programme prévu pour ce genre de fichier n'a pas pu être lancé";
        QTest::newRow("fichier absent") << 2 << "le fichier %1 est introuvable";
    }
    void finDeLOuvreur() {
        QFETCH(int, code);
        QFETCH(QString, raison);
        ouvreur(code);
        const QString fichier = dossier_.filePath("inventaire.txt");
        LanceurBureau lanceur;
        QStringList raisons;
        QVERIFY(lanceur.ouvrir(fichier, Lanceur::Role::EditeurTexte,
                               [&](const QString& r) { raisons << r; }));
        // Not waited for: the failure comes once the opener has ended.
        QTRY_COMPARE(lanceur.ouverturesEnCours(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFile ouvert(dossier_.filePath("ouvert"));
        QVERIFY(ouvert.open(QIODevice::ReadOnly));
        QCOMPARE(ouvert.readAll().trimmed(), QFile::encodeName(fichier));
        if (raison.contains("%1"))
            raison = raison.arg(fichier);
        QCOMPARE(raisons, raison.isEmpty() ? QStringList() : QStringList{raison});
    }
};

TALMIR_TEST(TestLanceur)
#include "tst_lanceur.moc"
