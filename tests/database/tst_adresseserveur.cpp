#include "database/adresseserveur.h"
#include "support/testmain.h"

#include <QtTest>

// The address of a shop on a PostgreSQL server, as the settings and creer_base take it.
class TestAdresseServeur : public QObject {
    Q_OBJECT
  private slots:
    void lire_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("hote");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("utilisateur");
        QTest::newRow("complète") << "postgresql://caisse@serveur.boutique:5433/boutique"
                                  << "serveur.boutique" << 5433 << "boutique"
                                  << "caisse";
        QTest::newRow("port par défaut") << "postgres://192.168.1.10/magasin"
                                         << "192.168.1.10" << 5432 << "magasin"
                                         << "";
        QTest::newRow("socket") << "postgresql://caisse@/boutique?host=/run/postgresql"
                                << "/run/postgresql" << 5432 << "boutique"
                                << "caisse";
        QTest::newRow("nom accentué encodé") << "postgresql://h/boutique%20d%27%C3%A9t%C3%A9"
                                             << "h" << 5432 << "boutique d'été"
                                             << "";
    }
    void lire() {
        QFETCH(QString, texte);
        QVERIFY(AdresseServeur::estServeur(texte));
        const Resultat<AdresseServeur> a = AdresseServeur::lire(texte);
        QVERIFY2(a, qPrintable(a ? QString() : a.raison()));
        QTEST(a->hote, "hote");
        QTEST(a->port, "port");
        QTEST(a->base, "base");
        QTEST(a->utilisateur, "utilisateur");
        // Written back, it names the same server.
        const Resultat<AdresseServeur> encore = AdresseServeur::lire(a->texte());
        QVERIFY2(encore, qPrintable(a->texte()));
        QCOMPARE(encore->hote, a->hote);
        QCOMPARE(encore->port, a->port);
        QCOMPARE(encore->base, a->base);
        QCOMPARE(encore->utilisateur, a->utilisateur);
    }

    void refusee_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("raison");
        QTest::newRow("mot de passe") << "postgresql://caisse:secret@h/boutique"
                                      << "mot de passe";
        QTest::newRow("sans base") << "postgresql://h/"
                                   << "nom de la base";
        QTest::newRow("option inconnue") << "postgresql://h/b?sslmode=disable"
                                         << "sslmode";
        QTest::newRow("contrôle") << "postgresql://h/b%0Ax"
                                  << "contrôle";
        QTest::newRow("deux hôtes") << "postgresql://a/b?host=/tmp"
                                    << "deux fois";
    }
    void refusee() {
        QFETCH(QString, texte);
        QFETCH(QString, raison);
        const Resultat<AdresseServeur> a = AdresseServeur::lire(texte);
        QVERIFY(!a);
        QVERIFY2(a.raison().contains(raison), qPrintable(a.raison()));
        QVERIFY(!a.raison().contains(QStringLiteral("secret")));
    }

    // A file's path is no server's address.
    void fichier() {
        for (const char* chemin : {"/srv/boutique/TALMIR_vestimentaire.db", "postgresql.db",
                                   "C:\\boutique\\postgresql://x"})
            QVERIFY(!AdresseServeur::estServeur(QString::fromUtf8(chemin)));
    }
};

TALMIR_TEST(TestAdresseServeur)
#include "tst_adresseserveur.moc"
