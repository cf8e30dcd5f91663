#include "tst_registre.h"
#include "platform/registre.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

using namespace winreg;
using registretest::lire;

// The registry store behind the Win32 calls: keys, values, handles, the store file.
class TestRegistre : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString store_;

    static HKEY creer(const QByteArray& chemin, DWORD* disposition = nullptr,
                      REGSAM droits = KEY_ALL_ACCESS) {
        HKEY h = 0;
        const LONG r =
            RegCreateKeyExA(HKEY_CURRENT_USER, chemin, 0, {}, 0, droits, nullptr, &h, disposition);
        return r == ERROR_SUCCESS ? h : 0;
    }
    static LONG ecrire(HKEY h, const QByteArray& nom, const QByteArray& donnees,
                       DWORD type = REG_SZ) {
        return RegSetValueExA(h, nom, 0, type, reinterpret_cast<const BYTE*>(donnees.constData()),
                              DWORD(donnees.size()));
    }
    static bool existe(const QByteArray& chemin) {
        HKEY h = 0;
        const bool ok = RegOpenKeyExA(HKEY_CURRENT_USER, chemin, 0, KEY_READ, &h) == 0;
        RegCloseKey(h);
        return ok;
    }
    static QList<QByteArray> sousCles(HKEY h) {
        QList<QByteArray> noms;
        char nom[256];
        while (RegEnumKeyA(h, DWORD(noms.size()), nom, sizeof nom) == ERROR_SUCCESS)
            noms << QByteArray(nom);
        return noms;
    }
    static QList<QByteArray> valeurs(HKEY h) {
        QList<QByteArray> noms;
        char nom[256];
        DWORD capacite = sizeof nom;
        while (RegEnumValueA(h, DWORD(noms.size()), nom, &capacite, nullptr, nullptr, nullptr,
                             nullptr) == ERROR_SUCCESS) {
            noms << QByteArray(nom, capacite);
            capacite = sizeof nom;
        }
        return noms;
    }
    void recharger() { utiliserFichierRegistre(store_); }
    // The bytes of a store holding one value, written by the registry itself.
    QByteArray storeDeReference() {
        utiliserFichierRegistre(dir_.filePath(QStringLiteral("reference.dat")));
        QFile::remove(dir_.filePath(QStringLiteral("reference.dat")));
        const HKEY h = creer("Software\\Talmir");
        ecrire(h, "nom", "valeur");
        RegCloseKey(h);
        QFile f(dir_.filePath(QStringLiteral("reference.dat")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The store's header carries a checksum of what follows it (signature, version, length,
    // checksum: 17 bytes).
    static QByteArray avecSomme(QByteArray octets) {
        const quint16 somme = qChecksum(octets.mid(17));
        octets[15] = char(somme >> 8);
        octets[16] = char(somme & 0xff);
        return octets;
    }
    void ecrireStore(const QByteArray& octets) {
        QFile f(store_);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(octets);
    }

  private slots:
    void init() { store_ = registretest::storeNeuf(dir_); }

    void creationEtOuverture() {
        DWORD disposition = 0;
        const HKEY h = creer("Software\\Talmir\\Caisse", &disposition);
        QVERIFY(h != 0);
        QCOMPARE(disposition, REG_CREATED_NEW_KEY);
        // Every level was created; names match whatever their letter case.
        QVERIFY(existe("software\\TALMIR"));
        const HKEY h2 = creer("SOFTWARE\\talmir\\caisse\\", &disposition);
        QCOMPARE(disposition, REG_OPENED_EXISTING_KEY);
        QVERIFY(h2 != h);
        // The name keeps the letter case of its creation.
        HKEY talmir = 0;
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\talmir", 0, KEY_READ, &talmir), 0);
        QCOMPARE(sousCles(talmir), QList<QByteArray>{"Caisse"});

        HKEY manque = 123;
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Autre", 0, KEY_READ, &manque),
                 ERROR_FILE_NOT_FOUND);
        QCOMPARE(manque, HKEY(0));
        // Each root is a tree of its own.
        QCOMPARE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &manque),
                 ERROR_FILE_NOT_FOUND);

        const int ouvertes = clesOuvertes();
        for (HKEY k : {h, h2, talmir})
            QCOMPARE(RegCloseKey(k), ERROR_SUCCESS);
        QCOMPARE(clesOuvertes(), ouvertes - 3);
        QCOMPARE(RegCloseKey(h), ERROR_INVALID_HANDLE);
        QCOMPARE(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    }

    void valeurs() {
        const HKEY h = creer("Software\\Talmir");
        // A string is stored with its terminating NUL, as given.
        QCOMPARE(ecrire(h, "Nom", QByteArray("abc", 4)), ERROR_SUCCESS);
        DWORD type = 0, taille = 0;
        QCOMPARE(RegQueryValueExA(h, "nom", nullptr, &type, nullptr, &taille), ERROR_SUCCESS);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(taille, DWORD(4));
        // A buffer too small gets the size it needs and nothing else.
        char petit[3] = {'x', 'x', 'x'};
        taille = 3;
        QCOMPARE(
            RegQueryValueExA(h, "NOM", nullptr, nullptr, reinterpret_cast<BYTE*>(petit), &taille),
            ERROR_MORE_DATA);
        QCOMPARE(taille, DWORD(4));
        QCOMPARE(lire(h, "Nom"), QByteArray("abc", 4));
        QCOMPARE(lire(h, "Absent"), QByteArray("erreur 2"));

        // Any bytes, NULs included, and any type come back as stored.
        QCOMPARE(ecrire(h, "bin", QByteArray("a\0b\xff", 4), REG_BINARY), ERROR_SUCCESS);
        QCOMPARE(lire(h, "bin", &type), QByteArray("a\0b\xff", 4));
        QCOMPARE(type, REG_BINARY);
        // The unnamed value and an empty value.
        QCOMPARE(ecrire(h, "", "defaut"), ERROR_SUCCESS);
        QCOMPARE(ecrire(h, "vide", ""), ERROR_SUCCESS);
        QCOMPARE(lire(h, ""), QByteArray("defaut"));
        QCOMPARE(lire(h, "vide"), QByteArray());

        // Rewriting keeps the first name and its place in the listing.
        QCOMPARE(ecrire(h, "NOM", "z"), ERROR_SUCCESS);
        QCOMPARE(valeurs(h), (QList<QByteArray>{"Nom", "bin", "", "vide"}));
        QCOMPARE(RegDeleteValueA(h, "BIN"), ERROR_SUCCESS);
        QCOMPARE(RegDeleteValueA(h, "bin"), ERROR_FILE_NOT_FOUND);
        QCOMPARE(valeurs(h), (QList<QByteArray>{"Nom", "", "vide"}));
        RegCloseKey(h);
    }

    void enumeration() {
        const HKEY h = creer("Liste");
        RegCloseKey(creer("Liste\\zeta"));
        RegCloseKey(creer("Liste\\Alpha"));
        RegCloseKey(creer("Liste\\beta"));
        QCOMPARE(sousCles(h), (QList<QByteArray>{"Alpha", "beta", "zeta"}));
        char nom[8];
        QCOMPARE(RegEnumKeyA(h, 3, nom, sizeof nom), ERROR_NO_MORE_ITEMS);
        QCOMPARE(RegEnumKeyA(h, 0, nom, 5), ERROR_MORE_DATA); // "Alpha" needs 6 with its NUL
        QCOMPARE(RegEnumKeyA(h, 0, nom, 6), ERROR_SUCCESS);

        ecrire(h, "B", "1");
        ecrire(h, "A", QByteArray("22", 3));
        QCOMPARE(valeurs(h), (QList<QByteArray>{"B", "A"}));
        DWORD capacite = 1, type = 0, taille = 0;
        QCOMPARE(RegEnumValueA(h, 0, nom, &capacite, nullptr, nullptr, nullptr, nullptr),
                 ERROR_MORE_DATA);
        // Names only, then the data through a buffer too small, then one large enough.
        BYTE donnees[4] = {};
        capacite = sizeof nom;
        QCOMPARE(RegEnumValueA(h, 1, nom, &capacite, nullptr, &type, donnees, &taille),
                 ERROR_MORE_DATA);
        QCOMPARE(taille, DWORD(3));
        capacite = sizeof nom;
        QCOMPARE(RegEnumValueA(h, 1, nom, &capacite, nullptr, &type, donnees, &taille),
                 ERROR_SUCCESS);
        QCOMPARE(QByteArray(reinterpret_cast<char*>(donnees), taille), QByteArray("22", 3));
        QCOMPARE(capacite, DWORD(1));
        QCOMPARE(RegEnumValueA(h, 2, nom, &capacite, nullptr, nullptr, nullptr, nullptr),
                 ERROR_NO_MORE_ITEMS);
        RegCloseKey(h);
    }

    void suppression() {
        const HKEY feuille = creer("A\\B\\C");
        const HKEY b = creer("A\\B");
        QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "A\\B"), ERROR_ACCESS_DENIED); // has C
        QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, "A\\X"), ERROR_FILE_NOT_FOUND);
        QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED); // a root
        QCOMPARE(RegDeleteKeyA(b, "c"), ERROR_SUCCESS);
        QVERIFY(!existe("A\\B\\C"));
        // A handle still open on a deleted key is refused, and can still be closed.
        QCOMPARE(ecrire(feuille, "v", "1"), ERROR_KEY_DELETED);
        QCOMPARE(lire(feuille, "v"), QByteArray("erreur 1018"));
        QCOMPARE(RegCloseKey(feuille), ERROR_SUCCESS);
        // A key deletes itself through its own handle once empty.
        QCOMPARE(RegDeleteKeyA(b, ""), ERROR_SUCCESS);
        QVERIFY(!existe("A\\B"));
        QVERIFY(existe("A"));
        RegCloseKey(b);
    }

    void droits() {
        RegCloseKey(creer("Droits"));
        HKEY lecture = 0, ecriture = 0;
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Droits", 0, KEY_READ, &lecture), 0);
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Droits", 0, KEY_WRITE, &ecriture), 0);
        QCOMPARE(ecrire(lecture, "v", "1"), ERROR_ACCESS_DENIED);
        QCOMPARE(RegDeleteValueA(lecture, "v"), ERROR_ACCESS_DENIED);
        QCOMPARE(ecrire(ecriture, "v", "1"), ERROR_SUCCESS);
        QCOMPARE(lire(ecriture, "v"), QByteArray("erreur 5"));
        QCOMPARE(lire(lecture, "v"), QByteArray("1"));
        char nom[16];
        QCOMPARE(RegEnumKeyA(ecriture, 0, nom, sizeof nom), ERROR_ACCESS_DENIED);
        HKEY sous = 0;
        QCOMPARE(
            RegCreateKeyExA(lecture, "Sous", 0, {}, 0, KEY_ALL_ACCESS, nullptr, &sous, nullptr),
            ERROR_ACCESS_DENIED);
        QCOMPARE(
            RegCreateKeyExA(ecriture, "Sous", 0, {}, 0, KEY_ALL_ACCESS, nullptr, &sous, nullptr),
            ERROR_SUCCESS);
        for (HKEY k : {lecture, ecriture, sous})
            RegCloseKey(k);
    }

    void cheminsRefuses_data() {
        QTest::addColumn<QByteArray>("chemin");
        QTest::newRow("composant vide") << QByteArray("a\\\\b");
        QTest::newRow("barre au début") << QByteArray("\\a");
        QTest::newRow("barre seule") << QByteArray("\\");
        QTest::newRow("deux barres à la fin") << QByteArray("a\\\\");
        QTest::newRow("NUL dans un nom") << QByteArray("a\0b", 3);
        QTest::newRow("nom de 256") << QByteArray(256, 'n');
        QTest::newRow("10 000 caractères") << QByteArray(10000, 'n');
        QByteArray profond;
        for (int i = 0; i < 2500; ++i)
            profond += "abc\\";
        QTest::newRow("10 000 caractères, 2 500 niveaux") << profond;
    }
    void cheminsRefuses() {
        QFETCH(QByteArray, chemin);
        HKEY h = 99;
        DWORD disposition = 0;
        QCOMPARE(RegCreateKeyExA(HKEY_CURRENT_USER, chemin, 0, {}, 0, KEY_ALL_ACCESS, nullptr, &h,
                                 &disposition),
                 ERROR_INVALID_PARAMETER);
        QCOMPARE(h, HKEY(0));
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, chemin, 0, KEY_READ, &h),
                 ERROR_INVALID_PARAMETER);
        QCOMPARE(RegDeleteKeyA(HKEY_CURRENT_USER, chemin), ERROR_INVALID_PARAMETER);
        // Nothing was created on the way.
        HKEY racine = 0;
        RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &racine);
        QCOMPARE(sousCles(racine), QList<QByteArray>());
        RegCloseKey(racine);
        QVERIFY(!QFileInfo::exists(store_));
    }

    void profondeurLimite() {
        QByteArray chemin = "k";
        for (int i = 1; i < kProfondeurMax; ++i)
            chemin += "\\k";
        const HKEY h = creer(chemin);
        QVERIFY(h != 0);
        QCOMPARE(ecrire(h, "fond", "oui"), ERROR_SUCCESS);
        HKEY plus = 0;
        QCOMPARE(RegCreateKeyExA(h, "un", 0, {}, 0, KEY_ALL_ACCESS, nullptr, &plus, nullptr),
                 ERROR_INVALID_PARAMETER);
        RegCloseKey(h);
        // The deepest key survives the store file.
        recharger();
        HKEY relu = 0;
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, chemin, 0, KEY_READ, &relu), 0);
        QCOMPARE(lire(relu, "fond"), QByteArray("oui"));
        RegCloseKey(relu);
    }

    void entreesRefusees() {
        const HKEY h = creer("Entrees");
        HKEY autre = 0;
        // Handles that are no key.
        for (HKEY faux : {HKEY(0), HKEY(0x80000007u), HKEY(0x7fffffffu), HKEY(4242)}) {
            QCOMPARE(RegOpenKeyExA(faux, "x", 0, KEY_READ, &autre), ERROR_INVALID_HANDLE);
            QCOMPARE(ecrire(faux, "v", "1"), ERROR_INVALID_HANDLE);
            QCOMPARE(RegCloseKey(faux), ERROR_INVALID_HANDLE);
        }
        // Value names holding a NUL or too long, a value too large, missing buffers.
        QCOMPARE(ecrire(h, QByteArray("a\0b", 3), "1"), ERROR_INVALID_PARAMETER);
        QCOMPARE(ecrire(h, QByteArray(kLongueurNomValeur + 1, 'n'), "1"), ERROR_INVALID_PARAMETER);
        QCOMPARE(ecrire(h, QByteArray(kLongueurNomValeur, 'n'), "1"), ERROR_SUCCESS);
        QCOMPARE(ecrire(h, "gros", QByteArray(kTailleValeur + 1, 'g')), ERROR_INVALID_PARAMETER);
        QCOMPARE(RegDeleteValueA(h, QByteArray("a\0b", 3)), ERROR_INVALID_PARAMETER);
        QCOMPARE(RegSetValueExA(h, "v", 0, REG_SZ, nullptr, 4), ERROR_INVALID_PARAMETER);
        QCOMPARE(RegSetValueExA(h, "v", 1, REG_SZ, nullptr, 0), ERROR_INVALID_PARAMETER);
        BYTE octet = 0;
        QCOMPARE(RegQueryValueExA(h, "v", nullptr, nullptr, &octet, nullptr),
                 ERROR_INVALID_PARAMETER);
        QCOMPARE(RegEnumValueA(h, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
                 ERROR_INVALID_PARAMETER);
        QCOMPARE(RegOpenKeyExA(h, "", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
        QCOMPARE(valeurs(h).size(), 0); // the long name does not fit this buffer
        RegCloseKey(h);
    }

    void persistance() {
        // Names and data are Windows-1252 bytes: \xe9 is é, \xc9 É, \x80 €.
        const HKEY h = creer("Software\\Talmir\\R\xe9glages");
        ecrire(h, "Imprimante \x80", QByteArray("Caisse \xe9", 9));
        ecrire(h, "B", "2");
        ecrire(h, "A", "1");
        RegCloseKey(creer("Software\\Talmir\\R\xe9glages\\Sous"));
        RegCloseKey(creer("Software\\Talmir\\Vide"));
        QVERIFY(QFileInfo::exists(store_));

        recharger();
        // A handle of the store read before is no longer known.
        QCOMPARE(RegCloseKey(h), ERROR_INVALID_HANDLE);
        HKEY relu = 0;
        QCOMPARE(
            RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TALMIR\\R\xc9GLAGES", 0, KEY_READ, &relu),
            0);
        QCOMPARE(valeurs(relu), (QList<QByteArray>{"Imprimante \x80", "B", "A"}));
        QCOMPARE(lire(relu, "imprimante \x80"), QByteArray("Caisse \xe9", 9));
        QCOMPARE(sousCles(relu), QList<QByteArray>{"Sous"});
        RegCloseKey(relu);
        QVERIFY(existe("Software\\Talmir\\Vide"));
    }

    void storeIllisible_data() {
        QTest::addColumn<QByteArray>("contenu");
        QTest::newRow("vide") << QByteArray();
        QTest::newRow("texte") << QByteArray("[HKEY_CURRENT_USER]\r\nnimporte=quoi\r\n");
        QTest::newRow("octets") << QByteArray(5000, '\xa5');
        QTest::newRow("signature seule") << QByteArray("TALMIRREG");
        // A good store, then damaged.
        const QByteArray bon = storeDeReference();
        QTest::newRow("tronqué") << bon.left(bon.size() - 3);
        QTest::newRow("un octet changé") << QByteArray(bon).replace("valeur", "valeuR");
        QTest::newRow("rallongé") << bon + '\0';
        // A count of values far beyond the file, under a checksum that matches.
        QByteArray enorme = bon;
        enorme.replace(enorme.size() - 8, 4, "\x7f\xff\xff\xff");
        QTest::newRow("compte énorme") << avecSomme(enorme);
    }
    void storeIllisible() {
        QFETCH(QByteArray, contenu);
        ecrireStore(contenu);
        recharger();
        // It reads as an empty registry...
        QVERIFY(!existe("Software"));
        // ...and the first change sets it aside and starts a new store.
        const HKEY h = creer("Nouveau");
        QVERIFY(h != 0);
        RegCloseKey(h);
        QFile aside(store_ + QStringLiteral(".illisible"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), contenu);
        recharger();
        QVERIFY(existe("Nouveau"));
    }

    void storeNonEcrivable() {
        // Its folder would be a file: nothing can be written there.
        QFile bloquant(dir_.filePath(QStringLiteral("fichier")));
        QVERIFY(bloquant.open(QIODevice::WriteOnly));
        bloquant.close();
        utiliserFichierRegistre(bloquant.fileName() + QStringLiteral("/registre.dat"));
        HKEY h = 0;
        QCOMPARE(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Talmir", 0, {}, 0, KEY_ALL_ACCESS,
                                 nullptr, &h, nullptr),
                 ERROR_REGISTRY_IO_FAILED);
        QCOMPARE(h, HKEY(0));
        QVERIFY(!existe("Software"));
        // A key that exists (the root itself) cannot take a value either, nor lose one.
        QCOMPARE(ecrire(HKEY_CURRENT_USER, "v", "1"), ERROR_REGISTRY_IO_FAILED);
        QCOMPARE(lire(HKEY_CURRENT_USER, "v"), QByteArray("erreur 2"));
        QCOMPARE(RegDeleteValueA(HKEY_CURRENT_USER, "v"), ERROR_FILE_NOT_FOUND);
    }

    void storeNonLisible() {
        // A store that exists but cannot be read is left as it is.
        QVERIFY(QDir().mkpath(store_));
        recharger();
        QVERIFY(!existe("Software"));
        HKEY h = 0;
        QCOMPARE(RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, {}, 0, KEY_ALL_ACCESS, nullptr,
                                 &h, nullptr),
                 ERROR_REGISTRY_IO_FAILED);
        QVERIFY(QFileInfo(store_).isDir());
        QVERIFY(QDir().rmdir(store_));
    }

    void deuxProgrammes() {
        // Two programs share the store: a change made by one after the other read the store is
        // kept when the other saves; changes made at the same time are all kept.
        RegCloseKey(creer("Partage"));
        auto programme = [](const QByteArray& prefixe, int nombre) {
            HKEY h = 0;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, "Partage", 0, KEY_ALL_ACCESS, &h) != 0)
                return false;
            bool ok = true;
            for (int i = 0; ok && i < nombre; ++i)
                ok = ecrire(h, prefixe + QByteArray::number(i), "1") == ERROR_SUCCESS;
            RegCloseKey(h);
            return ok;
        };
        auto autreProgramme = [&](const QByteArray& prefixe, int nombre) {
            const pid_t enfant = ::fork();
            if (enfant == 0)
                ::_exit(programme(prefixe, nombre) ? 0 : 1);
            return enfant;
        };
        auto fini = [](pid_t enfant) {
            int statut = 0;
            return ::waitpid(enfant, &statut, 0) == enfant && WIFEXITED(statut) &&
                   WEXITSTATUS(statut) == 0;
        };
        // One after the other, this program's copy read before the other's change.
        QVERIFY(fini(autreProgramme("avant", 1)));
        QVERIFY(programme("ici", 1));
        // At the same time.
        const pid_t enfant = autreProgramme("autre", 40);
        QVERIFY(programme("meme", 40));
        QVERIFY(fini(enfant));
        recharger();
        HKEY h = 0;
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Partage", 0, KEY_READ, &h), ERROR_SUCCESS);
        const QList<QByteArray> noms = valeurs(h);
        RegCloseKey(h);
        QCOMPARE(noms.size(), 82);
        for (const char* nom : {"avant0", "ici0", "autre39", "meme39"})
            QVERIFY2(noms.contains(nom), nom);
    }

    void echecAnnuleLeChangement() {
        // A store saved once, then its folder becomes unusable: each change is undone.
        const HKEY h = creer("Garde");
        ecrire(h, "v", "avant");
        ecrire(h, "w", "w");
        RegCloseKey(creer("Garde\\Sous"));
        QVERIFY(QFile::remove(store_));
        QVERIFY(QDir().mkpath(store_ + QStringLiteral("/bloque")));
        QCOMPARE(ecrire(h, "v", "apres"), ERROR_REGISTRY_IO_FAILED);
        QCOMPARE(RegDeleteValueA(h, "v"), ERROR_REGISTRY_IO_FAILED);
        QCOMPARE(RegDeleteKeyA(h, "Sous"), ERROR_REGISTRY_IO_FAILED);
        QCOMPARE(lire(h, "v"), QByteArray("avant"));
        QCOMPARE(valeurs(h), (QList<QByteArray>{"v", "w"}));
        QCOMPARE(sousCles(h), QList<QByteArray>{"Sous"});
        RegCloseKey(h);
        QVERIFY(QDir(store_).removeRecursively());
    }
};

TALMIR_TEST(TestRegistre)
#include "tst_registre.moc"
