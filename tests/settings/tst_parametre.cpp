#include "common/cp1252.h"
#include "settings/ini32.h"
#include "support/testmain.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

// The settings accessor over the profile file.
class TestParametre : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString ini_;

    QByteArray contenu() const {
        QFile f(ini_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void ecrireFichier(const QByteArray& octets) {
        QFile f(ini_);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(octets);
    }

  private slots:
    void init() {
        ini_ = dir_.filePath(QStringLiteral("TALMIR_vestimentaire.ini"));
        QFile::remove(ini_);
    }

    void lectureSansFichier() {
        // Mode 1 gives the default and creates nothing.
        QCOMPARE(parametre("system", "sauvegardes numero", "0", ini_, 1), QStringLiteral("0"));
        QVERIFY(!QFileInfo::exists(ini_));
        QCOMPARE(parametre("system", "x", "0", ini_, 3), QStringLiteral("0"));
        QVERIFY(!QFileInfo::exists(ini_));
    }

    void modeDeuxCreeLeDefaut() {
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", ini_, 2), QStringLiteral("30"));
        QCOMPARE(contenu(), QByteArray("[system]\r\nsauvegardes nombre=30\r\n"));
        // Empty default, missing key: the key is written with an empty value.
        QCOMPARE(parametre("system", "vide", "", ini_, 2), QString());
        QCOMPARE(contenu(), QByteArray("[system]\r\nsauvegardes nombre=30\r\nvide=\r\n"));
    }

    void modeDeuxValeurVide() {
        ecrireFichier("[imprimer]\r\netiquettes sautees=\r\n");
        QCOMPARE(parametre("imprimer", "etiquettes sautees", "0", ini_, 2), QStringLiteral("0"));
        QCOMPARE(contenu(), QByteArray("[imprimer]\r\netiquettes sautees=0\r\n"));
    }

    void casseDifferenteNonEcrite() {
        ecrireFichier("[Imprimante]\r\nImprimanteTicket=printer b\r\n");
        QCOMPARE(parametre("imprimante", "imprimanteticket", "Printer B", ini_, 2),
                 QStringLiteral("printer b"));
        QCOMPARE(contenu(), QByteArray("[Imprimante]\r\nImprimanteTicket=printer b\r\n"));
    }

    void ecritureEnPlace() {
        ecrireFichier("; commentaire\r\n[system]\r\nsauvegardes numero= 4\r\nautre=1\r\n\r\n"
                      "[systeme]\r\nBase de donnees=/x.db\r\nligne sans egal\r\n");
        QCOMPARE(parametre("SYSTEM", "Sauvegardes Numero", " 5", ini_, 0), QStringLiteral(" 5"));
        parametre("system", "nouvelle", "oui", ini_, 0);
        parametre("imprimer", "etiquettes sautees", " 3", ini_, 0);
        QCOMPARE(contenu(),
                 QByteArray("; commentaire\r\n[system]\r\nSauvegardes Numero= 5\r\nautre=1\r\n"
                            "nouvelle=oui\r\n\r\n[systeme]\r\nBase de donnees=/x.db\r\n"
                            "ligne sans egal\r\n[imprimer]\r\netiquettes sautees= 3\r\n"));
        QCOMPARE(parametre("system", "sauvegardes numero", "0", ini_, 2), QStringLiteral("5"));
    }

    void fichierAbime() {
        // Garbage lines, a section without its bracket, duplicates, a NUL byte and LF endings.
        ecrireFichier(QByteArray("\x01\x02garbage\n[sans crochet\nk=1\n[a]\nk=premier\nk=second\n"
                                 "[A]\nk=autre\nnul=ab\0cd\n",
                                 70));
        QCOMPARE(parametre("a", "k", "d", ini_, 1), QStringLiteral("premier"));
        QCOMPARE(parametre("a", "nul", "d", ini_, 1), QStringLiteral("d"));
        parametre("a", "k", "nouveau", ini_, 0);
        QCOMPARE(parametre("a", "k", "d", ini_, 1), QStringLiteral("nouveau"));
        QVERIFY(contenu().startsWith("\x01\x02garbage\r\n[sans crochet\r\nk=1\r\n"));
    }

    void valeursLongues() {
        const QString longue(700, u'x');
        parametre("s", "k", longue, ini_, 0);
        QCOMPARE(parametre("s", "k", "", ini_, 1), QString(589, u'x'));
        // A name longer than 600 characters is cut to its first 600.
        const QString nom(700, u'n');
        parametre("s", nom, "v", ini_, 0);
        QCOMPARE(parametre("s", QString(600, u'n'), "", ini_, 1), QStringLiteral("v"));
    }

    void caracteresSpeciaux() {
        // Accents go through Windows-1252; a line break cannot split the file.
        parametre("imprimante", "imprimanteA4", "Imprimante générale", ini_, 0);
        QVERIFY(contenu().contains(versWindows1252(QStringLiteral("Imprimante générale"))));
        parametre("s", "k", "a\r\n[piege]\r\nk=b", ini_, 0);
        QCOMPARE(parametre("piege", "k", "defaut", ini_, 1), QStringLiteral("defaut"));
        QCOMPARE(parametre("s", "k", "", ini_, 1), QStringLiteral("a  [piege]  k=b"));
    }

    void ecritureImpossible() {
        // A file in a missing folder cannot be written: the write is lost without a report and
        // the accessor still answers the value; a read gives the default.
        const QString perdu = dir_.filePath(QStringLiteral("absent/TALMIR_vestimentaire.ini"));
        QCOMPARE(parametre("s", "k", "2", perdu, 0), QStringLiteral("2"));
        QCOMPARE(parametre("s", "k", "d", perdu, 2), QStringLiteral("d"));
        QVERIFY(!QFileInfo::exists(perdu));
    }

    void fichierParDefaut() {
        const QFileInfo programme(QCoreApplication::applicationFilePath());
        const QString defaut =
            programme.absolutePath() + u'/' + programme.completeBaseName() + ".ini";
        QFile::remove(defaut);
        parametre("s", "k", "v", "", 0);
        QVERIFY(QFileInfo::exists(defaut));
        QCOMPARE(parametre("s", "k", "d", defaut, 1), QStringLiteral("v"));
        QFile::remove(defaut);
        // "$" alone is the name of a profile file, not the registry.
        const QString dollar = programme.absolutePath() + QStringLiteral("/$");
        QFile::remove(dollar);
        parametre("s", "k", "v", "$", 0);
        QVERIFY(QFileInfo::exists(dollar));
        QFile::remove(dollar);
    }
};

TALMIR_TEST(TestParametre)
#include "tst_parametre.moc"
