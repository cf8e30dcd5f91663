#include "support/serveurpostgres.h"
#include "support/testmain.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

// The private PostgreSQL cluster that the tests of a shop on a server run against: made and
// started by the test, reached through its socket only, gone at the end.
class TestServeurPostgres : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        if (const QString manque = ServeurPostgres::manque(); !manque.isEmpty())
            QSKIP(qPrintable(QStringLiteral("manque pour une grappe PostgreSQL : ") + manque));
    }

    void grappeDuTest() {
        QString socket;
        {
            ServeurPostgres serveur;
            QVERIFY2(serveur.demarrer(), qPrintable(serveur.erreur()));
            socket = serveur.dossierSocket();
            QVERIFY2(serveur.creerBase(QStringLiteral("boutique d'essai")),
                     qPrintable(serveur.erreur()));
            {
                QSqlDatabase db =
                    serveur.connexion(QStringLiteral("essai"), QStringLiteral("boutique d'essai"));
                QVERIFY2(db.open(), qPrintable(db.lastError().text()));
                QSqlQuery q(db);
                // No TCP port: the socket alone.
                QVERIFY(q.exec(QStringLiteral("SHOW listen_addresses")) && q.next());
                QCOMPARE(q.value(0).toString(), QString());
                QVERIFY(q.exec(QStringLiteral("SELECT current_database()")) && q.next());
                QCOMPARE(q.value(0).toString(), QStringLiteral("boutique d'essai"));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("essai"));
            QVERIFY(QFile::exists(socket + QStringLiteral("/.s.PGSQL.5432")));
        }
        // Stopped with the object, its folder removed.
        QVERIFY(!QFile::exists(socket));
    }
};

TALMIR_TEST(TestServeurPostgres)
#include "tst_serveurpostgres.moc"
