#include "database/adresseserveur.h"
#include "database/creation.h"
#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "frame/demarrage.h"
#include "register/tickets.h"
#include "settings/reglage.h"
#include "support/e2e/programmereel.h"
#include "support/serveurpostgres.h"
#include "support/testmain.h"

#include <QProcess>
#include <QSqlQuery>
#include <QtTest>
#include <thread>

// The real program pointed at a shop on a PostgreSQL server (a private cluster of the test's
// own), scanned into and paid as at the shop: what it records is read on the server.
class TestCaisseServeur : public QObject {
    Q_OBJECT

    static QVariant valeur(const Database& bdd, const QString& sql,
                           const QVariantList& valeurs = {}) {
        QSqlQuery q(bdd.connexion());
        return executer(q, sql, valeurs) && q.next() ? q.value(0) : QVariant();
    }
    // The article codes recorded by till `caisse`, in the order they were recorded.
    static QStringList codesDeLaCaisse(const Database& bdd, const QString& caisse) {
        QSqlQuery q(bdd.connexion());
        QStringList codes;
        const Resultat<> lu =
            executer(q,
                     QStringLiteral("SELECT V.CodeArticle FROM VENTES V JOIN TICKETS T ON "
                                    "T.NumeroTicket = V.NumeroTicket WHERE T.caisse = ? AND "
                                    "substr(V.CodeArticle, 1, 3) = 'ART' ORDER BY V.Id"),
                     {caisse});
        if (!lu)
            qWarning("%s", qPrintable(lu.raison()));
        while (q.next())
            codes << q.value(0).toString();
        return codes;
    }
    // A scanner's burst: `n` codes of the 20 articles, in an order of the till's own.
    static QStringList rafale(int n, int decalage) {
        QStringList codes;
        for (int i = 0; i < n; ++i)
            codes << QStringLiteral("ART%1").arg((i * 7 + decalage) % 20 + 1, 6, 10, QChar(u'0'));
        return codes;
    }
    // Pays the till's ticket in cash and accepts the closing offer, as the operator does.
    static bool payer(ProgrammeReel& p) {
        return p.scanner(QStringLiteral("ESPECES")) &&
               p.attendreFenetreActive(QStringLiteral("^TALMIR Vestimentaire$")) &&
               p.touches({QStringLiteral("Return")}, 150) &&
               p.attendreFenetreActive(QStringLiteral("^TALMIR Vestimentaire$")) &&
               p.touches({QStringLiteral("Return")}, 150);
    }

    // An empty shop in the database "boutique" of the cluster, started now; its address, or
    // empty (the reason said) when it cannot be made.
    static QString boutiqueVide(ServeurPostgres& serveur) {
        if (!serveur.demarrer() || !serveur.creerBase(QStringLiteral("boutique"))) {
            qWarning("%s", qPrintable(serveur.erreur()));
            return {};
        }
        const QString adresse =
            AdresseServeur{serveur.dossierSocket(), ServeurPostgres::kPort,
                           QStringLiteral("boutique"), ServeurPostgres::utilisateur()}
                .texte();
        if (const Resultat<> cree = creation::creerBase(adresse); !cree) {
            qWarning("%s", qPrintable(cree.raison()));
            return {};
        }
        return adresse;
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
        const QString adresse = boutiqueVide(serveur);
        QVERIFY(!adresse.isEmpty());
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

    // Two tills scan the same 20 articles at once, 500 scans each, and one of them is killed in
    // the middle of its second burst: each till's lines are its scans in order (those of the
    // killed one up to where it stopped), none lost or doubled, every stock is what was sold
    // from it, and the shop's chain of signed tickets checks.
    void deuxCaissesEnMemeTemps() {
        ServeurPostgres serveur;
        const QString adresse = boutiqueVide(serveur);
        QVERIFY(!adresse.isEmpty());
        Database bdd;
        QVERIFY(bdd.ouvrir(adresse));
        for (int i = 1; i <= 20; ++i)
            QVERIFY(valeur(bdd,
                           QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, "
                                          "PrixVenteTTC, tauxTVAvente, EnStock) VALUES (?, ?, ?, "
                                          "20, 1000) RETURNING 1"),
                           {QStringLiteral("ART%1").arg(i, 6, 10, QChar(u'0')),
                            QStringLiteral("Article %1").arg(i), 10 + i})
                        .isValid());

        // Both tills share the shop's signing key, made by the first.
        ProgrammeReel caisse1(BoutiqueTest::Base::Aucune);
        ProgrammeReel caisse2(BoutiqueTest::Base::Aucune);
        for (ProgrammeReel* p : {&caisse1, &caisse2}) {
            const Installation& inst = p->boutique().installation();
            Reglages(inst.fichierIni()).ecrire(Demarrage::reglageBase(inst), adresse);
            Reglages(inst.fichierIni())
                .ecrire(reglageCaisse(), p == &caisse1 ? QStringLiteral("1") : QStringLiteral("2"));
        }
        QVERIFY2(caisse1.demarrer(), qPrintable(caisse1.erreur()));
        for (const QString& f : {CleFiscale::fichierPrive(), CleFiscale::fichierPublic()})
            QVERIFY(QFile::copy(QDir(caisse1.dossier()).filePath(f),
                                QDir(caisse2.dossier()).filePath(f)));
        QVERIFY2(caisse2.demarrer(), qPrintable(caisse2.erreur()));

        const QStringList codes1 = rafale(500, 0);
        const QStringList codes2 = rafale(500, 3);
        auto taper = [](ProgrammeReel& p, const QStringList& codes) {
            return p.taper(codes.join(u'\n') + u'\n');
        };
        // First bursts at once, each paid.
        bool tape2 = false;
        std::thread autre([&] { tape2 = taper(caisse2, codes2.mid(0, 250)); });
        const bool tape1 = taper(caisse1, codes1.mid(0, 250));
        autre.join();
        QVERIFY(tape1 && tape2);
        const bool tous = caisse1.attendre(
            [&] {
                return codesDeLaCaisse(bdd, "1").size() == 250 &&
                       codesDeLaCaisse(bdd, "2").size() == 250;
            },
            60000);
        if (!tous) {
            caisse1.capture(QStringLiteral("/tmp/e2e_caisse1.png"));
            caisse2.capture(QStringLiteral("/tmp/e2e_caisse2.png"));
        }
        QVERIFY2(tous, qPrintable(QStringLiteral("%1 et %2 lignes")
                                      .arg(codesDeLaCaisse(bdd, "1").size())
                                      .arg(codesDeLaCaisse(bdd, "2").size())));
        QVERIFY(payer(caisse1));
        QVERIFY(payer(caisse2));
        const QString clos = QStringLiteral("SELECT count(*) FROM TICKETS WHERE TicketClos <> 0 "
                                            "AND Signature IS NOT NULL");
        QVERIFY(caisse1.attendre([&] { return valeur(bdd, clos).toInt() == 2; }));

        // Second bursts at once; the second till is killed in the middle of its own.
        std::thread tueur([&] { tape2 = taper(caisse2, codes2.mid(250)); });
        QVERIFY(caisse2.attendre([&] { return codesDeLaCaisse(bdd, "2").size() >= 350; }, 60000));
        caisse2.processus().kill();
        QVERIFY(taper(caisse1, codes1.mid(250)));
        tueur.join();
        QVERIFY(caisse1.attendre([&] { return codesDeLaCaisse(bdd, "1").size() == 500; }, 60000));
        QVERIFY(payer(caisse1));
        QVERIFY(caisse1.attendre([&] { return valeur(bdd, clos).toInt() == 3; }));
        QVERIFY(caisse1.arreter());

        QCOMPARE(codesDeLaCaisse(bdd, "1"), codes1);
        const QStringList enregistres2 = codesDeLaCaisse(bdd, "2");
        // (killed after its 350th line, long before its last scan was typed)
        qInfo("caisse 2 tuée après %d lignes", int(enregistres2.size()));
        QVERIFY(enregistres2.size() >= 350 && enregistres2.size() < 500);
        QCOMPARE(enregistres2, codes2.mid(0, enregistres2.size()));
        for (int i = 1; i <= 20; ++i) {
            const QString code = QStringLiteral("ART%1").arg(i, 6, 10, QChar(u'0'));
            const int vendus = int(codes1.count(code) + enregistres2.count(code));
            QCOMPARE(valeur(bdd,
                            QStringLiteral("SELECT EnStock FROM ARTICLES WHERE CodeArticle = ?"),
                            {code})
                         .toDouble(),
                     1000.0 - vendus);
        }
        // Each till's closed tickets in its own chain: till 1's two, till 2's one.
        QCOMPARE(valeur(bdd, QStringLiteral("SELECT string_agg(ChaineCaisse || ':' || Chainage, "
                                            "' ' ORDER BY ChaineCaisse, Chainage) FROM TICKETS "
                                            "WHERE TicketClos <> 0"))
                     .toString(),
                 QStringLiteral("1:1 1:2 2:1"));
        QProcess controle;
        controle.start(QStringLiteral(TALMIR_BIN_DIR "/controle_caisse"),
                       {QStringLiteral("--cle"),
                        QDir(caisse1.dossier()).filePath(CleFiscale::fichierPublic()), adresse});
        QVERIFY(controle.waitForFinished(60000));
        const QString sortie = QString::fromUtf8(controle.readAll());
        QVERIFY2(controle.exitCode() == 0 && sortie.contains(QStringLiteral("tout est en ordre")),
                 qPrintable(sortie));
    }
};

TALMIR_TEST(TestCaisseServeur)
#include "tst_caisseserveur.moc"
