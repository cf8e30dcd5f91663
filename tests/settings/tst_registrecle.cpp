#include "platform/registre.h"
#include "settings/registrykey.h"
#include "support/testmain.h"
#include "tst_registre.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace winreg;
using registretest::lire;

Q_DECLARE_METATYPE(std::function<void(RegistryKey&)>)

// One registry key held by RegistryKey: its values, listings, deletions and errors.
class TestRegistryKey : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    const QString chemin_ = QStringLiteral("Software\\Talmir\\Essai");

  private slots:
    void init() { registretest::storeNeuf(dir_); }

    void ouvrirEcrireCree() {
        const int ouvertes = clesOuvertes();
        {
            RegistryKey k;
            QCOMPARE(k.handle(), HKEY(0));
            k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_READ);
            QCOMPARE(k.handle(), HKEY(0)); // missing, and reading does not create it
            k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_WRITE);
            QVERIFY(k.handle() != 0);
            QVERIFY(k.setValue(QStringLiteral("nom"), QStringLiteral("abc")));
            // Only the key held is left open: the one made on the way was closed.
            QCOMPARE(clesOuvertes(), ouvertes + 1);
        }
        QCOMPARE(clesOuvertes(), ouvertes);
        RegistryKey k;
        k.OpenKey(HKEY_CURRENT_USER, QStringLiteral("software\\TALMIR\\essai"), KEY_READ);
        QVERIFY(k.handle() != 0);
        QCOMPARE(k.value(QStringLiteral("NOM")), QStringLiteral("abc"));
    }

    void creerOuiNon() {
        RegistryKey k;
        QVERIFY(k.CreateKey(HKEY_CURRENT_USER, chemin_, QString(), 0, KEY_ALL_ACCESS));
        const HKEY premier = k.handle();
        QVERIFY(premier != 0);
        QVERIFY(!k.CreateKey(HKEY_CURRENT_USER, chemin_, QString(), 0, KEY_ALL_ACCESS));
        QVERIFY(k.handle() != 0);
        QCOMPARE(RegCloseKey(premier), ERROR_INVALID_HANDLE); // closed by the second open
        // A failure holds nothing.
        QVERIFY(!k.CreateKey(HKEY_CURRENT_USER, QStringLiteral("a\\\\b"), QString(), 0,
                             KEY_ALL_ACCESS));
        QCOMPARE(k.handle(), HKEY(0));
    }

    void valeurChaine() {
        RegistryKey k;
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_WRITE);
        k.setValue(QStringLiteral("Trois"), QStringLiteral("abc"));
        k.setValue(QStringLiteral("Vide"), QString());
        k.setValue(QStringLiteral("Prix"), QStringLiteral("12,50 € été"));
        DWORD type = 0;
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\Essai", "Trois", &type),
                 QByteArray("abc", 4));
        QCOMPARE(type, REG_SZ);
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\Essai", "Vide", &type),
                 QByteArray("", 1));
        QCOMPARE(lire(HKEY_CURRENT_USER, "Software\\Talmir\\Essai", "Prix", &type),
                 QByteArray("12,50 \x80 \xe9t\xe9", 12));

        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_READ);
        QCOMPARE(k.value(QStringLiteral("trois")), QStringLiteral("abc"));
        QCOMPARE(k.value(QStringLiteral("Vide")), QString());
        QCOMPARE(k.value(QStringLiteral("Prix")), QStringLiteral("12,50 € été"));
        QVERIFY(!k.lastError());
        // Whatever the type, the bytes come back as text.
        const char mot[] = "AB";
        RegSetValueExA(HKEY_CURRENT_USER, "Brut", 0, REG_BINARY, reinterpret_cast<const BYTE*>(mot),
                       2);
        k.OpenKey(HKEY_CURRENT_USER, QString(), KEY_READ);
        QCOMPARE(k.value(QStringLiteral("Brut")), QStringLiteral("AB"));
    }

    void valeurAbsente() {
        RegistryKey k;
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_WRITE);
        // No exception: the failure is kept aside.
        QCOMPARE(k.value(QStringLiteral("Absente")), QString());
        QVERIFY(k.lastError());
        QCOMPARE(k.lastError()->number(), ERROR_ACCESS_DENIED); // a key opened to write only
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_READ);
        QCOMPARE(k.value(QStringLiteral("Absente")), QString());
        QCOMPARE(k.lastError()->number(), ERROR_FILE_NOT_FOUND);
        QCOMPARE(k.lastError()->source(), QStringLiteral("RegistryKey.Get Value"));
        QCOMPARE(k.lastError()->description(),
                 QStringLiteral("An error occurred while getting the registy value 'Absente'"));
        // Without a key at all.
        RegistryKey rien;
        QCOMPARE(rien.value(QStringLiteral("x")), QString());
        QCOMPARE(rien.lastError()->number(), ERROR_INVALID_HANDLE);
        QVERIFY(!rien.setValue(QStringLiteral("x"), QStringLiteral("y")));
    }

    void nomsDeValeurs() {
        RegistryKey k;
        k.CreateKey(HKEY_CURRENT_USER, chemin_, QString(), 0, KEY_ALL_ACCESS);
        QCOMPARE(k.ValueNames(), QStringList());
        QCOMPARE(k.SubValueNames(), QStringList());
        k.setValue(QString(), QStringLiteral("défaut")); // the unnamed value is not listed
        k.setValue(QStringLiteral("A"), QStringLiteral("1"));
        k.setValue(QStringLiteral("B"), QStringLiteral("2"));
        const QStringList attendus{QStringLiteral("A"), QStringLiteral("B")};
        QCOMPARE(k.ValueNames(), attendus);
        QCOMPARE(k.SubValueNames(), attendus);
        QVERIFY(!k.lastError());
        // A name longer than the short listing's buffer.
        const QString long600(600, u'n');
        k.setValue(long600, QStringLiteral("3"));
        QCOMPARE(k.ValueNames(), attendus + QStringList{long600});
        QCOMPARE(k.SubValueNames(), QStringList());
        QCOMPARE(k.lastError()->number(), ERROR_MORE_DATA);
        QCOMPARE(k.lastError()->source(), QStringLiteral("RegistryKey.GetValues"));
    }

    void nomsDeSousCles() {
        RegistryKey k;
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_WRITE);
        QCOMPARE(k.SubKeyNames(), QStringList());
        QCOMPARE(k.lastError()->number(), ERROR_ACCESS_DENIED);
        for (const char* nom : {"Zeta", "alpha", "Été"}) {
            RegistryKey sous;
            sous.OpenKey(HKEY_CURRENT_USER, chemin_ + u'\\' + QString::fromUtf8(nom), KEY_WRITE);
        }
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_READ);
        QCOMPARE(k.SubKeyNames(), (QStringList{QStringLiteral("alpha"), QStringLiteral("Zeta"),
                                               QStringLiteral("Été")}));
        QVERIFY(!k.lastError());
    }

    void erreursLevees_data() {
        QTest::addColumn<std::function<void(RegistryKey&)>>("appel");
        QTest::addColumn<LONG>("numero");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("description");
        using F = std::function<void(RegistryKey&)>;
        QTest::newRow("DeleteValue absente")
            << F([](RegistryKey& k) { k.DeleteValue(QStringLiteral("X")); }) << 2
            << QStringLiteral("RegistryKey.DeleteValue")
            << QStringLiteral("Unable to delete registry value 'X'");
        QTest::newRow("DeleteKey absente")
            << F([](RegistryKey& k) {
                   k.DeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Absente"));
               })
            << 2 << QStringLiteral("RegistryKey.DeleteKey")
            << QStringLiteral("Unable to delete registry key 'Software\\Absente'");
        QTest::newRow("DeleteKey avec sous-clés")
            << F([](RegistryKey& k) {
                   k.DeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Talmir"));
               })
            << 5 << QStringLiteral("RegistryKey.DeleteKey")
            << QStringLiteral("Unable to delete registry key 'Software\\Talmir'");
        QTest::newRow("DeleteKey racine inconnue")
            << F([](RegistryKey& k) { k.DeleteKey(0, QStringLiteral("Software")); }) << 6
            << QStringLiteral("RegistryKey.DeleteKey")
            << QStringLiteral("Unable to delete registry key 'Software'");
        QTest::newRow("DeleteSubKey absente")
            << F([](RegistryKey& k) { k.DeleteSubKey(QStringLiteral("Absente")); }) << 2
            << QStringLiteral("RegistryKey.DeleteSubKey")
            << QStringLiteral("Unable to delete registry subkey 'Absente'");
        QTest::newRow("DeleteSubKey sans clé")
            << F([](RegistryKey& k) {
                   k.CloseKey();
                   k.DeleteSubKey(QStringLiteral("Sous"));
               })
            << 6 << QStringLiteral("RegistryKey.DeleteSubKey")
            << QStringLiteral("Unable to delete registry subkey 'Sous'");
        QTest::newRow("ValueNames sans clé")
            << F([](RegistryKey& k) {
                   k.CloseKey();
                   k.ValueNames();
               })
            << 6 << QStringLiteral("RegistryKey.GetValues")
            << QStringLiteral("Unable to retrieve value names for registry key");
        QTest::newRow("ValueNames sans droit de lire")
            << F([](RegistryKey& k) {
                   k.OpenKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Talmir\\Essai"),
                             KEY_WRITE);
                   k.ValueNames();
               })
            << 5 << QStringLiteral("RegistryKey.GetValues")
            << QStringLiteral("Unable to retrieve value names for registry key");
    }
    void erreursLevees() {
        QFETCH(std::function<void(RegistryKey&)>, appel);
        QFETCH(LONG, numero);
        QFETCH(QString, source);
        QFETCH(QString, description);
        RegistryKey k;
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_WRITE);
        try {
            appel(k);
            QFAIL("no error raised");
        } catch (const RegistryError& e) {
            QCOMPARE(e.number(), numero);
            QCOMPARE(e.source(), source);
            QCOMPARE(e.description(), description);
        }
    }

    void suppressions() {
        RegistryKey k;
        k.OpenKey(HKEY_CURRENT_USER, chemin_ + QStringLiteral("\\Sous"), KEY_WRITE);
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_ALL_ACCESS);
        k.setValue(QStringLiteral("v"), QStringLiteral("1"));
        k.DeleteValue(QStringLiteral("V"));
        QCOMPARE(k.ValueNames(), QStringList());
        k.DeleteSubKey(QStringLiteral("sous"));
        QCOMPARE(k.SubKeyNames(), QStringList());
        k.CloseKey();
        k.DeleteKey(HKEY_CURRENT_USER, chemin_);
        k.OpenKey(HKEY_CURRENT_USER, chemin_, KEY_READ);
        QCOMPARE(k.handle(), HKEY(0));
    }

    void fermetureRefusee() {
        auto k = std::make_unique<RegistryKey>();
        k->OpenKey(HKEY_CURRENT_USER, chemin_, KEY_WRITE);
        const HKEY h = k->handle();
        // The store is read again: the handle held is no longer known.
        utiliserFichierRegistre(dir_.filePath(QStringLiteral("registre.dat")));
        try {
            k->CloseKey();
            QFAIL("no error raised");
        } catch (const RegistryError& e) {
            QCOMPARE(e.number(), ERROR_INVALID_HANDLE);
            QCOMPARE(e.source(), QStringLiteral("RegistryKey.CloseKey"));
            QCOMPARE(e.description(),
                     QStringLiteral("An error occurred while closing the registy key"));
        }
        QCOMPARE(k->handle(), h);
        QVERIFY_THROWS_EXCEPTION(RegistryError, k->OpenKey(HKEY_CURRENT_USER, chemin_, KEY_READ));
        k.reset(); // and its end is quiet
        QCOMPARE(clesOuvertes(), 0);
    }
};

TALMIR_TEST(TestRegistryKey)
#include "tst_registrecle.moc"
