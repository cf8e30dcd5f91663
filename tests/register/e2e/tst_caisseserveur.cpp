#include "database/adresseserveur.h"
#include "database/creation.h"
#include "database/database.h"
#include "frame/demarrage.h"
#include "settings/reglage.h"
#include "support/e2e/programmereel.h"
#include "support/serveurpostgres.h"
#include "support/testmain.h"

#include <QSqlQuery>
#include <QtTest>

// The real program pointed at a shop on a PostgreSQL server (a private cluster of the test's
// own), scanned into and paid as at the shop: what it records is read on the server.
class TestCaisseServeur : public QObject {
    Q_OBJECT

    static QVariant valeur(const Database& bdd, const QString& sql) {
        QSqlQuery q(bdd.connexion());
        return executer(q, sql) && q.next() ? q.value(0) : QVariant();
    }

  private slots:
    void init() {
        if (const QString manque = ProgrammeReel::manque(); !manque.isEmpty())
            QSKIP(qPrintable(QStringLiteral("manque pour lancer le programme : ") + manque));
        if (const QString manque = ServeurPostgres::manque(); !manque.isEmpty())
            QSKIP(qPrintable(QStringLiteral("manque pour une grappe PostgreSQL : ") + manque));
    }

    void venteSurLeServeur() {
        ServeurPostgres serveur;
        QVERIFY2(serveur.demarrer(), qPrintable(serveur.erreur()));
        QVERIFY2(serveur.creerBase(QStringLiteral("boutique")), qPrintable(serveur.erreur()));
        const QString adresse =
            AdresseServeur{serveur.dossierSocket(), ServeurPostgres::kPort,
                           QStringLiteral("boutique"), ServeurPostgres::utilisateur()}
                .texte();
        const Resultat<> cree = creation::creerBase(adresse);
        QVERIFY2(cree, qPrintable(cree ? QString() : cree.raison()));
        Database bdd;
        QVERIFY(bdd.ouvrir(adresse));
        QSqlQuery q(bdd.connexion());
        QVERIFY(executer(q, QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, "
                                           "PrixVenteTTC, tauxTVAvente, EnStock) VALUES "
                                           "('ART000001', 'Écharpe laine', 24.9, 20, 5)")));

        ProgrammeReel p(BoutiqueTest::Base::Aucune);
        const Installation& inst = p.boutique().installation();
        Reglages(inst.fichierIni()).ecrire(Demarrage::reglageBase(inst), adresse);
        QVERIFY2(p.demarrer(), qPrintable(p.erreur()));
        QVERIFY(p.scanner(QStringLiteral("ART000001")));
        QVERIFY(p.scanner(QStringLiteral("art000001")));
        QVERIFY(p.attendre([&] {
            return valeur(bdd, QStringLiteral("SELECT count(*) FROM VENTES")).toInt() == 2;
        }));
        // Paid in cash: the amount offered is accepted, then the closing offer.
        QVERIFY(p.scanner(QStringLiteral("ESPECES")));
        QVERIFY(p.attendreFenetreActive(QStringLiteral("^TALMIR Vestimentaire$")));
        QVERIFY(p.touches({QStringLiteral("Return")}, 150));
        QVERIFY(p.attendre([&] {
            return valeur(bdd, QStringLiteral("SELECT count(*) FROM VENTES WHERE CodeArticle = "
                                              "'ESPECES'"))
                       .toInt() == 1;
        }));
        QVERIFY(p.attendreFenetreActive(QStringLiteral("^TALMIR Vestimentaire$")));
        QVERIFY(p.touches({QStringLiteral("Return")}, 150));
        const bool clos = p.attendre([&] {
            return valeur(bdd, QStringLiteral("SELECT count(*) FROM TICKETS WHERE TicketClos <> 0 "
                                              "AND Signature IS NOT NULL AND Chainage = 1"))
                       .toInt() == 1;
        });
        if (!clos)
            p.capture(QStringLiteral("/tmp/e2e_serveur.png"));
        QVERIFY(clos);
        QVERIFY(p.arreter());

        QCOMPARE(valeur(bdd, QStringLiteral("SELECT EnStock FROM ARTICLES")).toDouble(), 3.0);
        QCOMPARE(valeur(bdd, QStringLiteral("SELECT TotalTTC FROM TICKETS WHERE TicketClos <> 0"))
                     .toDouble(),
                 49.8);
        // Started, stopped and signed on the server; no file of a shop in the till's folder, no
        // lock; the rotating copy is the server's archive.
        QCOMPARE(valeur(bdd, QStringLiteral("SELECT count(*) FROM EVENEMENTS WHERE Genre IN "
                                            "('DEMARRAGE', 'ARRET')"))
                     .toInt(),
                 2);
        QVERIFY(!QFile::exists(inst.baseParDefaut()));
        QVERIFY(!QFile::exists(inst.baseParDefaut() + QStringLiteral(".verrou")));
        QVERIFY(QFileInfo(inst.chemin(QStringLiteral("Sauvegardes/TALMIR_vestimentaire_1.dump")))
                    .size() > 0);
    }
};

TALMIR_TEST(TestCaisseServeur)
#include "tst_caisseserveur.moc"
