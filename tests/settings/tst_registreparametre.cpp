#include "platform/registre.h"
#include "settings/ini32.h"
#include "support/testmain.h"
#include "tst_registre.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace winreg;
using registretest::lire;

// The settings accessor addressing the registry: "$" + root + "\" + subkey path.
class TestParametreRegistre : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString store_;
    const QString talmir_ = QStringLiteral("$hkey_current_user\\Software\\Talmir");

  private slots:
    void init() { store_ = registretest::storeNeuf(dir_); }

    void modeZeroPuisLecture() {
        QCOMPARE(parametre("imprimante", "imprimanteticket", "Caisse 1", talmir_, 0),
                 QStringLiteral("Caisse 1"));
        DWORD type = 0;
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\imprimante", "imprimanteticket", &type),
                 QByteArray("Caisse 1", 9));
        QCOMPARE(type, REG_SZ);
        for (int mode : {1, 2, 3})
            QCOMPARE(parametre("IMPRIMANTE", "ImprimanteTicket", "autre", talmir_, mode),
                     QStringLiteral("Caisse 1"));
        // Nothing else was written by the reads.
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\imprimante", "imprimanteticket"),
                 QByteArray("Caisse 1", 9));
    }

    void modeUnSansValeur() {
        QCOMPARE(parametre("system", "sauvegardes numero", "0", talmir_, 1), QStringLiteral("0"));
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software", ""), QByteArray("pas de clé"));
        QVERIFY(!QFileInfo::exists(store_));
    }

    void modeDeuxCreeLeChemin() {
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", talmir_, 2), QStringLiteral("30"));
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\system", "sauvegardes nombre"),
                 QByteArray("30", 3));
        // Read again after the store file is read anew.
        utiliserFichierRegistre(store_);
        QCOMPARE(parametre("system", "sauvegardes nombre", "12", talmir_, 2), QStringLiteral("30"));
        // An empty value counts as nothing stored: the default replaces it.
        parametre("system", "vide", "", talmir_, 0);
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\system", "vide"), QByteArray("", 1));
        QCOMPARE(parametre("system", "vide", "0", talmir_, 2), QStringLiteral("0"));
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\system", "vide"), QByteArray("0", 2));
    }

    void texteNonAscii() {
        const QString valeur = QStringLiteral("Imprimante « été » 12,50 €");
        parametre("imprimante", "imprimanteA4", valeur, talmir_, 0);
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\imprimante", "imprimanteA4"),
                 QByteArray("Imprimante \xab \xe9t\xe9 \xbb 12,50 \x80", 27));
        QCOMPARE(parametre("imprimante", "imprimanteA4", "", talmir_, 1), valeur);
    }

    void racines_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<HKEY>("racine");
        QTest::newRow("capitales") << QStringLiteral("HKEY_LOCAL_MACHINE") << HKEY_LOCAL_MACHINE;
        QTest::newRow("minuscules") << QStringLiteral("hkey_classes_root") << HKEY_CLASSES_ROOT;
        QTest::newRow("mélange") << QStringLiteral("Hkey_Users") << HKEY_USERS;
        QTest::newRow("current config")
            << QStringLiteral("HKEY_CURRENT_CONFIG") << HKEY_CURRENT_CONFIG;
        QTest::newRow("dyn data") << QStringLiteral("hkey_dyn_data") << HKEY_DYN_DATA;
        QTest::newRow("performance data")
            << QStringLiteral("HKEY_Performance_Data") << HKEY_PERFORMANCE_DATA;
    }
    void racines() {
        QFETCH(QString, nom);
        QFETCH(HKEY, racine);
        const QString fichier = u'$' + nom + QStringLiteral("\\Software\\Talmir");
        QCOMPARE(parametre("system", "cle", "valeur", fichier, 0), QStringLiteral("valeur"));
        QCOMPARE(lire(racine, "Software\\Talmir\\system", "cle"), QByteArray("valeur", 7));
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\system", "cle"),
                 QByteArray("pas de clé"));
        QCOMPARE(parametre("system", "cle", "defaut", fichier, 1), QStringLiteral("valeur"));
    }

    void racineSeule() {
        // "$" + root alone: the section is a key right under the root.
        QCOMPARE(parametre("Talmir", "v", "1", QStringLiteral("$HKEY_CURRENT_USER"), 2),
                 QStringLiteral("1"));
        QCOMPARE(lire(HKEY_CURRENT_USER, "Talmir", "v"), QByteArray("1", 2));
    }

    void cheminsSansCle_data() {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<QString>("section");
        QTest::newRow("racine inconnue")
            << QStringLiteral("$HKEY_NULLE_PART\\Software") << QStringLiteral("system");
        QTest::newRow("racine abrégée")
            << QStringLiteral("$HKCU\\Software") << QStringLiteral("system");
        QTest::newRow("racine vide") << QStringLiteral("$\\Software") << QStringLiteral("system");
        QTest::newRow("composant vide")
            << QStringLiteral("$HKEY_CURRENT_USER\\Software\\\\Talmir") << QStringLiteral("system");
        QTest::newRow("section vide au milieu")
            << QStringLiteral("$HKEY_CURRENT_USER\\Software\\") << QStringLiteral("system");
        QTest::newRow("nom de 300") << QStringLiteral("$HKEY_CURRENT_USER\\") + QString(300, u'n')
                                    << QStringLiteral("system");
        QTest::newRow("chemin de 10 000")
            << QStringLiteral("$HKEY_CURRENT_USER\\") + QStringLiteral("abc\\").repeated(2500)
            << QStringLiteral("system");
        QTest::newRow("NUL dans la section") << QStringLiteral("$HKEY_CURRENT_USER\\Software")
                                             << QStringLiteral("sys%1tem").arg(QChar(0));
    }
    void cheminsSansCle() {
        QFETCH(QString, fichier);
        QFETCH(QString, section);
        for (int mode : {1, 2})
            QCOMPARE(parametre(section, "cle", "defaut", fichier, mode), QStringLiteral("defaut"));
        QCOMPARE(parametre(section, "cle", "ecrit", fichier, 0), QStringLiteral("ecrit"));
        QCOMPARE(parametre(section, "cle", "defaut", fichier, 1), QStringLiteral("defaut"));
        // Nothing was written anywhere.
        QVERIFY(!QFileInfo::exists(store_));
    }

    void nomsDeValeurRefuses() {
        // A value name holding a NUL is not stored; the default comes back.
        const QString nul = QStringLiteral("c%1le").arg(QChar(0));
        QCOMPARE(parametre("system", nul, "defaut", talmir_, 2), QStringLiteral("defaut"));
        QCOMPARE(parametre("system", nul, "autre", talmir_, 1), QStringLiteral("autre"));
        QCOMPARE(parametre("system", "c", "autre", talmir_, 1), QStringLiteral("autre"));
        // A value with a NUL inside is kept whole.
        const QString avecNul = QStringLiteral("a%1b").arg(QChar(0));
        parametre("system", "v", avecNul, talmir_, 0);
        QCOMPARE(parametre("system", "v", "", talmir_, 1), avecNul);
    }

    void storeAbime() {
        QFile f(store_);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("pas un registre");
        f.close();
        utiliserFichierRegistre(store_);
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", talmir_, 1), QStringLiteral("30"));
        QCOMPARE(parametre("system", "sauvegardes nombre", "30", talmir_, 2), QStringLiteral("30"));
        utiliserFichierRegistre(store_);
        QCOMPARE(parametre("system", "sauvegardes nombre", "", talmir_, 1), QStringLiteral("30"));
    }

    void storeNonEcrivable() {
        QFile bloquant(dir_.filePath(QStringLiteral("bloquant")));
        QVERIFY(bloquant.open(QIODevice::WriteOnly));
        bloquant.close();
        utiliserFichierRegistre(bloquant.fileName() + QStringLiteral("/registre.dat"));
        QCOMPARE(parametre("system", "cle", "ecrit", talmir_, 0), QStringLiteral("ecrit"));
        QCOMPARE(parametre("system", "cle", "defaut", talmir_, 2), QStringLiteral("defaut"));
        QCOMPARE(parametre("system", "cle", "defaut", talmir_, 1), QStringLiteral("defaut"));
        QCOMPARE(clesOuvertes(), 0);
    }
};

TALMIR_TEST(TestParametreRegistre)
#include "tst_registreparametre.moc"
