#include "common/cp1252.h"
#include "settings/ini32.h"
#include "support/testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

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
        // The lines not written keep their bytes, LF endings included; the line written takes the
        // file's line end.
        QCOMPARE(contenu(), QByteArray("\x01\x02garbage\n[sans crochet\nk=1\n[a]\nk=nouveau\n"
                                       "k=second\n[A]\nk=autre\nnul=ab\0cd\n",
                                       70));
    }

    void codages_data() {
        // What a settings file may hold, as saved by the shop's Windows program or by an editor,
        // and what a read gives.
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("valeur");
        const QString lodz = QStringLiteral("/boutiques/Boutique_Łódź/TALMIR_vestimentaire.db");
        QTest::newRow("UTF-8") << ("[systeme]\r\nBase de donnees=" + lodz.toUtf8() + "\r\n")
                               << lodz;
        QTest::newRow("UTF-8 avec BOM")
            << ("\xEF\xBB\xBF[systeme]\r\nBase de donnees=" + lodz.toUtf8() + "\r\n") << lodz;
        QTest::newRow("UTF-8 d'un editeur Linux")
            << QStringLiteral("[systeme]\nBase de donnees=/boutiques/Prêt-à-porter.db\n").toUtf8()
            << QStringLiteral("/boutiques/Prêt-à-porter.db");
        QTest::newRow("Windows-1252")
            << QByteArray("[systeme]\r\nBase de donnees=/boutiques/Pr\xEAt-\xE0-porter.db\r\n")
            << QStringLiteral("/boutiques/Prêt-à-porter.db");
        QTest::newRow("Windows-1252, octet non defini")
            << QByteArray("[systeme]\r\nBase de donnees=/b\x81\x8D\x8F\x90\x9D.db\r\n")
            << QStringLiteral("/b\u0081\u008D\u008F\u0090\u009D.db");
    }
    void codages() {
        QFETCH(QByteArray, octets);
        QFETCH(QString, valeur);
        ecrireFichier(octets);
        QCOMPARE(parametre("systeme", "Base de donnees", "defaut", ini_, 2), valeur);
        QCOMPARE(contenu(), octets);
        // Another setting written leaves these bytes as they were, the byte-order mark too.
        parametre("system", "sauvegardes numero", " 7", ini_, 0);
        const QByteArray fin = octets.contains("\r\n") ? "\r\n" : "\n";
        QCOMPARE(contenu(), octets + "[system]" + fin + "sauvegardes numero= 7" + fin);
        QCOMPARE(parametre("systeme", "Base de donnees", "defaut", ini_, 2), valeur);
        // The section is found once; none is appended a second time.
        parametre("systeme", "Base de donnees", valeur, ini_, 0);
        QCOMPARE(contenu().count("[systeme]"), 1);
    }

    void valeurHorsDuCodage() {
        // A Windows-1252 file cannot hold "Ł": the value is not written (never as "?"), the file
        // keeps its bytes and the log says why.
        const QByteArray avant("[imprimante]\r\nimprimanteA4=Imprimante g\xE9n\xE9rale\r\n");
        ecrireFichier(avant);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^réglage \\[systeme\\] Base de donnees dans .* : "
                                                "le fichier .* est écrit en Windows-1252, qui ne "
                                                "peut pas contenir « Base de donnees=/Łódź.db »$"));
        QCOMPARE(parametre("systeme", "Base de donnees", "/Łódź.db", ini_, 2),
                 QStringLiteral("/Łódź.db"));
        QCOMPARE(contenu(), avant);
    }

    void nouveauFichierEnUtf8() {
        // A first start from a folder named outside Windows-1252: the file is made in UTF-8 and
        // every later start reads the path back whole.
        const QString lodz = QStringLiteral("/boutiques/Boutique_Łódź/TALMIR_vestimentaire.db");
        parametre("system", "sauvegardes nombre", "30", ini_, 2);
        QCOMPARE(parametre("systeme", "Base de donnees", lodz, ini_, 2), lodz);
        parametre("imprimante", "imprimanteA4", "Imprimante générale", ini_, 0);
        QCOMPARE(contenu(), QStringLiteral("[system]\r\nsauvegardes nombre=30\r\n[systeme]\r\n"
                                           "Base de donnees=%1\r\n[imprimante]\r\nimprimanteA4="
                                           "Imprimante générale\r\n")
                                .arg(lodz)
                                .toUtf8());
        QCOMPARE(parametre("systeme", "Base de donnees", "defaut", ini_, 2), lodz);
        QCOMPARE(parametre("imprimante", "imprimanteA4", "defaut", ini_, 2),
                 QStringLiteral("Imprimante générale"));
    }

    void lectureSansReecriture() {
        // Reading a setting that holds its default rewrites nothing: the file is not replaced
        // (a shared or read-only file is left alone, and its other lines cannot suffer).
        const QByteArray avant("[system]\nsauvegardes nombre=30\n");
        ecrireFichier(avant);
        auto inode = [this] {
            struct stat st {};
            return ::stat(QFile::encodeName(ini_).constData(), &st) == 0 ? st.st_ino : 0;
        };
        const auto avantInode = inode();
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", ini_, 2), QStringLiteral("30"));
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", ini_, 0), QStringLiteral("30"));
        QCOMPARE(inode(), avantInode);
        QCOMPARE(contenu(), avant);
    }

    void pasUnFichier_data() {
        QTest::addColumn<bool>("tube");
        QTest::newRow("tube nomme") << true;
        QTest::newRow("dossier") << false;
    }
    void pasUnFichier() {
        // A pipe or a folder at the settings file's place: reads give their defaults at once
        // (a pipe is never opened, it would hang the start) and nothing replaces it.
        QFETCH(bool, tube);
        QVERIFY(tube ? ::mkfifo(QFile::encodeName(ini_).constData(), 0644) == 0
                     : QDir().mkdir(ini_));
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", ini_, 1), QStringLiteral("30"));
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression("^réglage \\[system\\] sauvegardes nombre dans .* : "
                                             ".*TALMIR_vestimentaire.ini n'est pas un fichier "
                                             "ordinaire$"));
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", ini_, 2), QStringLiteral("30"));
        const QFileInfo apres(ini_);
        QVERIFY(tube ? !apres.isFile() && !apres.isDir() : apres.isDir());
        if (!tube)
            QVERIFY(QDir().rmdir(ini_));
        else
            QFile::remove(ini_);
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
