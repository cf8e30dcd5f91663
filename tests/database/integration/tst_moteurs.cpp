#include "catalogue/enregistrementarticle.h"
#include "catalogue/listearticles.h"
#include "catalogue/magasinarticles.h"
#include "common/montant.h"
#include "database/adresseserveur.h"
#include "database/creation.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "frame/demarrage.h"
#include "frame/installation.h"
#include "frame/ui/registresfiscaux.h"
#include "journals/clotures.h"
#include "register/caisse.h"
#include "register/historique.h"
#include "register/signatureticket.h"
#include "settings/reglage.h"
#include "stock/cloture.h"
#include "stock/exportinventaire.h"
#include "support/serveurpostgres.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <thread>

// The shop's rules that live in the database hold on both engines: a shop in a file, and a shop
// on a PostgreSQL server (a private cluster of the test's own). Each test runs once per engine.
class TestMoteurs : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;
    std::unique_ptr<ServeurPostgres> serveur_;
    QString sansServeur_; // why the server's rows are skipped
    int bases_ = 0;

    // A new empty shop on the engine of the row, opened in `bdd` (unless `ouvrir` is false);
    // its path or address in `ou`.
    bool nouvelleBoutique(Database& bdd, QString* ou = nullptr, bool ouvrir = true) {
        QFETCH_GLOBAL(QString, moteur);
        QString chemin;
        if (moteur == QStringLiteral("fichier")) {
            chemin = dossier_.filePath(QStringLiteral("boutique%1.db").arg(++bases_));
        } else {
            if (!serveur_)
                return false;
            const QString base = QStringLiteral("boutique%1").arg(++bases_);
            if (!serveur_->creerBase(base))
                qWarning("%s", qPrintable(serveur_->erreur()));
            chemin = AdresseServeur{serveur_->dossierSocket(), ServeurPostgres::kPort, base,
                                    ServeurPostgres::utilisateur()}
                         .texte();
        }
        if (Resultat<> r = creation::creerBase(chemin); !r) {
            qWarning("%s", qPrintable(r.raison()));
            return false;
        }
        if (ou)
            *ou = chemin;
        if (!ouvrir)
            return true;
        const Resultat<> ouverte = bdd.ouvrir(chemin);
        if (!ouverte)
            qWarning("%s", qPrintable(ouverte.raison()));
        return ouverte.ok();
    }
    static bool sql(const Database& bdd, const QString& texte, const QVariantList& valeurs = {}) {
        QSqlQuery q(bdd.connexion());
        const Resultat<> r = executer(q, texte, valeurs);
        if (!r)
            qWarning("%s", qPrintable(r.raison()));
        return r.ok();
    }
    static QVariant valeur(const Database& bdd, const QString& texte,
                           const QVariantList& valeurs = {}) {
        QSqlQuery q(bdd.connexion());
        return executer(q, texte, valeurs) && q.next() ? q.value(0) : QVariant();
    }
    // The sessions of the test's server that wait for a lock another holds (`temoin` outside
    // any transaction: a transaction sees the server's activity as it was at its start).
    static int attentesDeVerrou(const Database& temoin) {
        return valeur(temoin, QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE "
                                             "wait_event_type = 'Lock' AND datname = "
                                             "current_database()"))
            .toInt();
    }
    // How the engine runs `requete` (which binds no value: the server does not prepare an
    // EXPLAIN).
    static QString plan(const Database& bdd, const QString& requete) {
        QSqlQuery q(bdd.connexion());
        const bool serveur = bdd.moteur() == Database::Moteur::PostgreSQL;
        // The server's planner reads a small table whole; the index must still serve it.
        if (serveur && !q.exec(QStringLiteral("SET enable_seqscan = off")))
            return {};
        QString texte;
        if (q.exec((serveur ? QStringLiteral("EXPLAIN ") : QStringLiteral("EXPLAIN QUERY PLAN ")) +
                   requete))
            while (q.next())
                texte += q.value(serveur ? 0 : 3).toString() + u'\n';
        return texte.toLower();
    }

  private slots:
    void initTestCase() {
        sansServeur_ = ServeurPostgres::manque();
        if (!sansServeur_.isEmpty())
            return;
        serveur_ = std::make_unique<ServeurPostgres>();
        if (!serveur_->demarrer()) {
            sansServeur_ = serveur_->erreur();
            serveur_.reset();
        }
    }
    void initTestCase_data() {
        QTest::addColumn<QString>("moteur");
        QTest::newRow("fichier") << QStringLiteral("fichier");
        QTest::newRow("serveur") << QStringLiteral("serveur");
    }
    void init() {
        QFETCH_GLOBAL(QString, moteur);
        if (moteur == QStringLiteral("serveur") && !serveur_)
            QSKIP(qPrintable(QStringLiteral("pas de grappe PostgreSQL : ") + sansServeur_));
    }

    // A code is found without regard to case and trailing spaces, accented capitals included,
    // through the index on its key; an accent still tells codes apart.
    void codesParLeurCle() {
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        QVERIFY(sql(bdd,
                    QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, "
                                   "EnStock) VALUES (?, 'Robe', 59.9, 1), (?, 'Pull', 30, 2), "
                                   "(?, 'Pull bis', 31, 2)"),
                    {QStringLiteral("ÉTÉ2026  "), QStringLiteral("art000001"),
                     QStringLiteral("ART000001")}));
        const MagasinArticles magasin(bdd);
        for (const QString& code : {QStringLiteral("été2026"), QStringLiteral("ÉtÉ2026 ")}) {
            const auto a = magasin.parCode(code);
            QVERIFY(a && a->has_value());
            QCOMPARE((*a)->libelle, QStringLiteral("Robe"));
        }
        QVERIFY(magasin.parCode(QStringLiteral("ete2026")) &&
                !magasin.parCode("ete2026")->has_value());
        // The first of a code, in table order.
        QCOMPARE((*magasin.parCode(QStringLiteral("Art000001  ")))->libelle,
                 QStringLiteral("Pull"));
        const QString p =
            plan(bdd, MagasinArticles::selectionParCode(QStringLiteral("libelle"), bdd.moteur())
                          .replace(u'?', u'\'' + cleCode(QStringLiteral("ÉTÉ2026")) + u'\''));
        QVERIFY2(p.contains(QStringLiteral("articles_cle_code")), qPrintable(p));
    }

    // The search by description: "*" and "?" are wildcards, letters compared without case or
    // accents, every other character (% and _ included) stands for itself.
    void rechercheSansAccents_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QStringList>("trouves");
        QTest::newRow("accents et casse") << "echarpe" << QStringList{"E1", "E2"};
        QTest::newRow("accent cherché") << "ÉCHARPE" << QStringList{"E1", "E2"};
        QTest::newRow("un caractère") << "ch?ussette" << QStringList{"C1"};
        QTest::newRow("joker au milieu") << "coton*bio" << QStringList{"P1", "P2"};
        QTest::newRow("pour cent") << "100%" << QStringList{"P1"};
        QTest::newRow("souligné") << "a_b" << QStringList{"S1"};
        QTest::newRow("guillemet") << "l'été" << QStringList{"R1"};
    }
    void rechercheSansAccents() {
        QFETCH(QString, texte);
        QFETCH(QStringList, trouves);
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        const QList<std::pair<const char*, const char*>> articles = {
            {"E1", "Écharpe laine"},  {"E2", "ECHARPE soie"},   {"C1", "Chaussette"},
            {"P1", "Coton 100% bio"}, {"P2", "Coton 100x bio"}, {"S1", "Ruban a_b"},
            {"S2", "Ruban axb"},      {"R1", "Robe de l'Été"}};
        for (const auto& [code, libelle] : articles)
            QVERIFY(sql(bdd,
                        QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, "
                                       "EnStock) VALUES (?, ?, 10, 1)"),
                        {QString::fromUtf8(code), QString::fromUtf8(libelle)}));
        const Resultat<listearticles::Liste> r = listearticles::rechercher(bdd, texte);
        QVERIFY2(r, qPrintable(r ? QString() : r.raison()));
        QStringList codes;
        for (const QString& e : r->entrees)
            codes << e.section(QStringLiteral(" | "), 0, 0);
        codes.sort();
        QCOMPARE(codes, trouves);
    }

    // Amounts are exact: what is stored is read back to the ten-thousandth, and the engine's
    // own sums do not drift.
    void montantsExacts() {
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        QVERIFY(sql(bdd, QStringLiteral("INSERT INTO TICKETS (Date, TicketClos) VALUES "
                                        "('2026-12-11 10:00:00', 0)")));
        const qint64 ticket =
            valeur(bdd, QStringLiteral("SELECT max(NumeroTicket) FROM TICKETS")).toLongLong();
        // 0.1 + 0.2 - 0.3 is not 0 in floating point.
        const Montant grand = Montant::depuisDixMilliemes(12345678912);
        for (const Montant prix :
             {Montant::depuisDixMilliemes(1000), Montant::depuisDixMilliemes(2000), grand,
              Montant::depuisDixMilliemes(-3000)})
            QVERIFY(sql(bdd,
                        QStringLiteral("INSERT INTO VENTES (NumeroTicket, CodeArticle, "
                                       "PrixVenteTTC, qt) VALUES (?, 'X', ?, 1)"),
                        {ticket, prix.versBase()}));
        QCOMPARE(
            Montant::depuisVariant(valeur(
                bdd, QStringLiteral("SELECT PrixVenteTTC FROM VENTES WHERE PrixVenteTTC > 1000"))),
            grand);
        QCOMPARE(Montant::depuisVariant(
                     valeur(bdd, QStringLiteral("SELECT sum(PrixVenteTTC) FROM VENTES"))),
                 grand);
        QCOMPARE(valeur(bdd, QStringLiteral("SELECT count(*) FROM VENTES WHERE PrixVenteTTC < 0 "
                                            "AND PrixVenteTTC + 0.3 = 0"))
                     .toInt(),
                 1);
    }

    // A number once given is never given again, even when its row is gone.
    void numerosSansRetour() {
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        auto nouveau = [&] {
            sql(bdd, QStringLiteral("INSERT INTO TICKETS (Date, TicketClos) VALUES "
                                    "('2026-12-11 10:00:00', 0)"));
            return valeur(bdd, QStringLiteral("SELECT max(NumeroTicket) FROM TICKETS"))
                .toLongLong();
        };
        const qint64 premier = nouveau();
        QVERIFY(sql(bdd, QStringLiteral("DELETE FROM TICKETS WHERE NumeroTicket = ?"), {premier}));
        QVERIFY(nouveau() > premier);
    }

    // The stock listing names its columns as the file does and puts the articles without a
    // supplier first; a supplier's name sorts without regard to accents.
    void listeDuStock() {
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        QVERIFY(sql(
            bdd,
            QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, fournisseur, EnStock, "
                           "PrixVenteTTC, PrixHAHT) VALUES ('B', 'Pull', 'Zeta', 1, 30, 10), "
                           "('A', 'Jupe', NULL, 2, 20, 8), ('C', 'Robe', 'Éloïse', 1.5, 40, 12)")));
        const Resultat<QStringList> l = exportinventaire::lignes(bdd);
        QVERIFY2(l, qPrintable(l ? QString() : l.raison()));
        QVERIFY(l->size() >= 4);
        QVERIFY2(l->at(0).startsWith(QStringLiteral("N,DateDeCreation,fournisseur,libelle,"
                                                    "CodeArticle,EnStock,PrixVenteTTC")),
                 qPrintable(l->at(0)));
        QVERIFY2(l->at(1).contains(QStringLiteral("\"Jupe\"")), qPrintable(l->at(1)));
        QVERIFY2(l->at(2).contains(QStringLiteral("\"Robe\"")), qPrintable(l->at(2)));
        QVERIFY2(l->at(2).contains(QStringLiteral("\"1.5\"")), qPrintable(l->at(2)));
        QVERIFY2(l->at(3).contains(QStringLiteral("\"Pull\"")), qPrintable(l->at(3)));
    }

    // The history of closed tickets, every one of them or by number.
    void historique() {
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        for (const QString& texte : {QString(), QStringLiteral("12")}) {
            const Resultat<QList<historique::TicketTrouve>> r = historique::chercher(bdd, texte);
            QVERIFY2(r, qPrintable(r ? QString() : r.raison()));
            QVERIFY(r->isEmpty());
        }
    }

    // A till pointed at the shop starts on it: a file is locked against a second till, a
    // server is not (several tills are its point); the rotating copy is made by the engine's
    // own means and read back.
    void demarrage() {
        Database bdd;
        QString chemin;
        QVERIFY(nouvelleBoutique(bdd, &chemin, false));
        QTemporaryDir dossier;
        const Installation inst{dossier.path(), QStringLiteral("TALMIR_vestimentaire")};
        Reglages(inst.fichierIni()).ecrire(Demarrage::reglageBase(inst), chemin);
        Demarrage d(inst, bdd);
        QVERIFY(d.verifierBase());
        QVERIFY(d.verrouiller());
        const bool serveur =
            bdd.moteur() == Database::Moteur::PostgreSQL || AdresseServeur::estServeur(chemin);
        QCOMPARE(QFile::exists(chemin + QStringLiteral(".verrou")), !serveur);
        const Resultat<> ouverte = d.ouvrirBase();
        QVERIFY2(ouverte, qPrintable(ouverte ? QString() : ouverte.raison()));
        QVERIFY(sql(bdd, QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, EnStock) "
                                        "VALUES ('COPIE', 'Dans la copie', 1)")));
        const Resultat<> copie = d.sauvegardeTournante();
        QVERIFY2(copie, qPrintable(copie ? QString() : copie.raison()));
        const QString attendue =
            dossier.filePath(serveur ? QStringLiteral("Sauvegardes/TALMIR_vestimentaire_1.dump")
                                     : QStringLiteral("Sauvegardes/TALMIR_vestimentaire_1.db"));
        QVERIFY2(QFileInfo(attendue).size() > 0, qPrintable(attendue));
        QVERIFY(!QFile::exists(attendue + QStringLiteral(".partiel")));
        if (serveur) {
            // The archive holds the shop's rows.
            QProcess lecture;
            lecture.start(QStringLiteral("pg_restore"),
                          {QStringLiteral("--data-only"), QStringLiteral("--table=articles"),
                           QStringLiteral("--file=-"), attendue});
            QVERIFY(lecture.waitForFinished());
            QVERIFY(QString::fromUtf8(lecture.readAllStandardOutput())
                        .contains(QStringLiteral("Dans la copie")));
        }
    }

    // The stock closure's copy, made before the stock goes to zero, by each engine's own means:
    // read back, it holds every article; a second one in the same minute takes its own name.
    void copieDeCloture() {
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        QVERIFY(sql(bdd, QStringLiteral("INSERT INTO ARTICLES (CodeArticle, EnStock) VALUES "
                                        "('A', 1), ('B', 2), ('C', NULL)")));
        QTemporaryDir dossier;
        const Installation inst{dossier.path(), QStringLiteral("TALMIR_vestimentaire")};
        const QDateTime quand(QDate(2026, 12, 11), QTime(18, 30));
        const bool serveur = bdd.moteur() == Database::Moteur::PostgreSQL;
        const QString extension = serveur ? QStringLiteral(".dump") : QStringLiteral(".db");
        for (const QString& suffixe : {QString(), QStringLiteral("_2")}) {
            const Resultat<QString> copie = cloture::copier(bdd, inst, quand);
            QVERIFY2(copie, qPrintable(copie ? QString() : copie.raison()));
            QCOMPARE(QFileInfo(*copie).fileName(),
                     QStringLiteral("26345_12_11_18_30") + suffixe + extension);
            const Resultat<qint64> articles =
                serveur ? Database::articlesDeLArchive(*copie) : cloture::articlesDuFichier(*copie);
            QVERIFY2(articles, qPrintable(articles ? QString() : articles.raison()));
            QCOMPARE(*articles, 3);
        }
        QCOMPARE(cloture::lister(inst).size(), 2);
    }

    // The tills of a server's shop sign with its one key: the first till makes it; another one
    // without it is refused, and starts once it has a copy of it.
    void cleDeLaBoutique() {
        QFETCH_GLOBAL(QString, moteur);
        if (moteur == QStringLiteral("fichier"))
            QSKIP("la clé d'un fichier est à côté de lui");
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        QTemporaryDir premiere, seconde;
        const QDateTime maintenant = QDateTime::currentDateTime();
        CleFiscale cle, autre;
        const Resultat<QString> ouverts =
            ouvrirRegistresFiscaux(bdd, cle, -1, maintenant, premiere.path());
        QVERIFY2(ouverts, qPrintable(ouverts ? QString() : ouverts.raison()));
        const Resultat<QString> refuses =
            ouvrirRegistresFiscaux(bdd, autre, -1, maintenant, seconde.path());
        QVERIFY(!refuses);
        QVERIFY2(refuses.raison().contains(QStringLiteral("n'a pas la clé de signature de la "
                                                          "boutique")),
                 qPrintable(refuses.raison()));
        QVERIFY(!QFile::exists(QDir(seconde.path()).filePath(CleFiscale::fichierPrive())));
        for (const QString& f : {CleFiscale::fichierPrive(), CleFiscale::fichierPublic()})
            QVERIFY(
                QFile::copy(QDir(premiere.path()).filePath(f), QDir(seconde.path()).filePath(f)));
        QVERIFY(ouvrirRegistresFiscaux(bdd, autre, -1, maintenant, seconde.path()));
    }

    // A copy that cannot be made is a failure told in French, with nothing left half written.
    void copieImpossible() {
        QFETCH_GLOBAL(QString, moteur);
        QTemporaryDir dossier;
        const QString source =
            moteur == QStringLiteral("fichier")
                ? dossier.filePath(QStringLiteral("absente.db"))
                : AdresseServeur{serveur_->dossierSocket(), ServeurPostgres::kPort,
                                 QStringLiteral("absente"), ServeurPostgres::utilisateur()}
                      .texte();
        const QString copie = dossier.filePath(QStringLiteral("copie"));
        const Resultat<> r = moteur == QStringLiteral("fichier")
                                 ? Database::copierFichier(source, copie)
                                 : Database::copierServeur(source, copie);
        QVERIFY(!r);
        QVERIFY2(r.raison().contains(moteur == QStringLiteral("fichier")
                                         ? QStringLiteral("introuvable")
                                         : QStringLiteral("pg_dump a échoué")),
                 qPrintable(r.raison()));
        QVERIFY(!QFile::exists(copie));
        QVERIFY(!QFile::exists(copie + QStringLiteral(".partiel")));
    }

    // Pieces received on one till while another sells the same article: the sale, not yet
    // committed when the form is saved, is not lost (the form's save waits for it), nor are the
    // labels the form adds.
    void receptionPendantUneVente() {
        QFETCH_GLOBAL(QString, moteur);
        if (moteur == QStringLiteral("fichier"))
            QSKIP("un fichier n'a qu'une caisse à la fois (le verrou)");
        Database a;
        QString ou;
        QVERIFY(nouvelleBoutique(a, &ou));
        QVERIFY(sql(a, QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, "
                                      "tauxTVAvente, EnStock, nbraimprimer) VALUES ('ROBE', "
                                      "'Robe ', 50, 20, 10, 2)")));
        std::optional<Transaction> vente(std::in_place, a);
        QVERIFY(vente->debut());
        QVERIFY(sql(a, QStringLiteral("UPDATE ARTICLES SET EnStock = EnStock - 1, nbraimprimer = "
                                      "nbraimprimer + 1 WHERE CodeArticle = 'ROBE'")));
        QString raison = QStringLiteral("pas fini");
        std::thread formulaire([&] {
            Database b;
            Resultat<> r = b.ouvrir(ou);
            if (r) {
                SaisieArticle s{QStringLiteral("ROBE"),
                                QStringLiteral("Robe"),
                                QString(),
                                QString(),
                                QStringLiteral("50"),
                                QStringLiteral("20"),
                                QStringLiteral("0"),
                                QStringLiteral("20"),
                                QString(),
                                QStringLiteral("5"),
                                QString(),
                                false};
                const Resultat<Enregistrement> e = enregistrerArticle(b, s);
                r = e ? Resultat<>() : Resultat<>(e.echec());
            }
            raison = r ? QString() : r.raison();
        });
        auto attendre = qScopeGuard([&] {
            vente.reset();
            formulaire.join();
        });
        Database temoin;
        QVERIFY(temoin.ouvrir(ou));
        QTRY_COMPARE_WITH_TIMEOUT(attentesDeVerrou(temoin), 1, 10000);
        QVERIFY(vente->valider());
        vente.reset();
        formulaire.join();
        attendre.dismiss();
        QCOMPARE(raison, QString());
        QCOMPARE(valeur(a, QStringLiteral("SELECT EnStock FROM ARTICLES")).toDouble(), 14.0);
        QCOMPARE(valeur(a, QStringLiteral("SELECT nbraimprimer FROM ARTICLES")).toDouble(), 8.0);
    }

    // A shop of the single chain (schema 3) is brought to one chain per till on either engine:
    // what it signed stays the first till's chain, whichever till closed it, and each till
    // then has places of its own.
    void miseANiveauDesChaines() {
        Database a;
        QVERIFY(nouvelleBoutique(a));
        const bool serveur = a.moteur() == Database::Moteur::PostgreSQL;
        for (const QString& etape :
             {QStringLiteral("DROP INDEX TICKETS_chaine_caisse"),
              QStringLiteral("CREATE UNIQUE INDEX TICKETS_chaine ON TICKETS (Chainage) WHERE "
                             "Chainage IS NOT NULL"),
              QStringLiteral("ALTER TABLE TICKETS DROP COLUMN ChaineCaisse"),
              QStringLiteral("ALTER TABLE CLOTURES DROP COLUMN ChaineCaisse"),
              serveur ? QStringLiteral("UPDATE VERSION_SCHEMA SET numero = 3")
                      : QStringLiteral("PRAGMA user_version = 3"),
              QStringLiteral("INSERT INTO TICKETS (NumeroTicket, Date, TotalTTC, TicketClos, "
                             "caisse, Genre, Chainage, Signature) VALUES (1, '2026-12-10 "
                             "10:00:00', 0, 1, '1', 'VENTE', 1, 'S1'), (2, '2026-12-10 10:05:00', "
                             "0, 1, '2', 'VENTE', 2, 'S2')")})
            QVERIFY2(executerScript(a, etape.toUtf8()), qPrintable(etape));
        const Resultat<> r = versionschema::mettreANiveau(a);
        QVERIFY2(r, qPrintable(r.raison()));
        QCOMPARE(versionschema::lire(a).valeurOu(-1), versionschema::kActuelle);
        QVERIFY(versionschema::mettreANiveau(a));
        QCOMPARE(valeur(a, QStringLiteral("SELECT count(*) FROM TICKETS WHERE ChaineCaisse IS "
                                          "NULL AND Chainage IN (1, 2)"))
                     .toInt(),
                 2);
        QCOMPARE(valeur(a, QStringLiteral("SELECT count(*) FROM CLOTURES WHERE ChaineCaisse IS "
                                          "NULL"))
                     .toInt(),
                 0);
        // Till 2's first place is free; the first till's chain goes on after its two links.
        QVERIFY(sql(a, QStringLiteral("INSERT INTO TICKETS (NumeroTicket, TicketClos, "
                                      "ChaineCaisse, Chainage, Signature) VALUES (3, 1, '2', 1, "
                                      "'S3')")));
        QSqlQuery q(a.connexion());
        QVERIFY(!executer(q, QStringLiteral("INSERT INTO TICKETS (NumeroTicket, TicketClos, "
                                            "ChaineCaisse, Chainage, Signature) VALUES (4, 1, "
                                            "'1', 2, 'S4')")));
        const Resultat<signatureticket::Maillon> dernier =
            signatureticket::dernier(a, QStringLiteral("1"));
        QVERIFY(dernier);
        QCOMPARE(dernier->chainage, 2);
        QCOMPARE(dernier->signature, QByteArray("S2"));
        // A till's last link is found through the chains' index, as each closing looks it up.
        const QString p = plan(a, QStringLiteral("SELECT Chainage FROM TICKETS WHERE "
                                                 "coalesce(ChaineCaisse, '1') = '2' AND Chainage "
                                                 "IS NOT NULL ORDER BY Chainage DESC LIMIT 1"));
        QVERIFY2(p.contains(QStringLiteral("tickets_chaine_caisse")), qPrintable(p));
    }

    // What is closed stays: the engine itself refuses to change it, with the shop's words.
    void clotureInalterable() {
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        QVERIFY(sql(bdd, QStringLiteral("INSERT INTO TICKETS (Date, TicketClos) VALUES "
                                        "('2026-12-11 10:00:00', 0)")));
        QSqlQuery q(bdd.connexion());
        const Resultat<> r = executer(q, QStringLiteral("UPDATE TICKETS SET TicketClos = 1"));
        QVERIFY(!r);
        QVERIFY2(r.raison().contains(QStringLiteral("ticket clos sans signature")),
                 qPrintable(r.raison()));
    }

    // Two tills close a ticket each at the same moment: the second waits for the first's
    // records and takes the first link of its own chain; neither is refused. Then the day's closure
    // asked on one till while another makes it is not made twice.
    void deuxCaissesEnMemeTemps() {
        QFETCH_GLOBAL(QString, moteur);
        if (moteur == QStringLiteral("fichier"))
            QSKIP("un fichier n'a qu'une caisse à la fois (le verrou)");
        Database a;
        QString ou;
        QVERIFY(nouvelleBoutique(a, &ou));
        QVERIFY(sql(a, QStringLiteral("INSERT INTO TICKETS (NumeroTicket, TicketClos, caisse) "
                                      "VALUES (1, 0, '1'), (2, 0, '2')")));
        const CleFiscale cle = cleDeTest();
        const QDateTime quand(QDate(2026, 12, 11), QTime(10, 0));
        auto fermeture = [&](qint64 numero) {
            signatureticket::Fermeture f;
            f.numero = numero;
            f.quand = quand;
            f.caisse = QString::number(numero);
            f.vendeur = QStringLiteral("1");
            return f;
        };
        std::optional<Transaction> t(std::in_place, a);
        QVERIFY(t->debut());
        QVERIFY(signatureticket::cloreDans(a, cle, fermeture(1), {}));
        QString raison = QStringLiteral("pas fini");
        std::thread autreCaisse([&] {
            Database b;
            Resultat<> r = b.ouvrir(ou);
            if (r)
                r = signatureticket::clore(b, cle, fermeture(2), {}).ok()
                        ? Resultat<>()
                        : Resultat<>(echec(QStringLiteral("clôture refusée")));
            raison = r ? QString() : r.raison();
        });
        // A failing check ends this till's transaction before waiting for the other one.
        auto attendre = qScopeGuard([&] {
            t.reset();
            autreCaisse.join();
        });
        // The other till waits for this one's transaction (seen from outside it: a transaction
        // sees the server's activity as it was at its start).
        Database temoin;
        QVERIFY(temoin.ouvrir(ou));
        QTRY_COMPARE_WITH_TIMEOUT(attentesDeVerrou(temoin), 1, 10000);
        QVERIFY(t->valider());
        t.reset();
        autreCaisse.join();
        attendre.dismiss();
        QCOMPARE(raison, QString());
        QCOMPARE(valeur(a, QStringLiteral("SELECT ChaineCaisse || ':' || Chainage FROM TICKETS "
                                          "WHERE NumeroTicket = 2"))
                     .toString(),
                 QStringLiteral("2:1"));

        // The first till holds the records while it stores its day's closure of both tickets.
        t.emplace(a);
        QVERIFY(t->debut());
        QVERIFY(a.reserverRegistres());
        std::thread cloture([&] {
            Database b;
            const Resultat<> ouverte = b.ouvrir(ou);
            const auto z =
                ouverte ? clotures::clotureDuJour(b, cle, quand.addSecs(3600), QStringLiteral("1"))
                        : Resultat<QList<textefiscal::Cloture>>(ouverte.echec());
            raison = z ? QStringLiteral("faite deux fois") : z.raison();
        });
        auto attendreZ = qScopeGuard([&] {
            t.reset();
            cloture.join();
        });
        QTRY_COMPARE_WITH_TIMEOUT(attentesDeVerrou(temoin), 1, 10000);
        QVERIFY(sql(a, QStringLiteral("INSERT INTO CLOTURES (Numero, Genre, Debut, Fin, Premier, "
                                      "Dernier, Date, Tickets, TotalTTC, GrandTotal, Texte, "
                                      "Signature) VALUES (1, 'JOUR', '2026-12-11', '2026-12-11', "
                                      "1, 2, '2026-12-11 10:30:00', 2, 0, 0, '', '')")));
        QVERIFY(t->valider());
        t.reset();
        cloture.join();
        attendreZ.dismiss();
        QVERIFY2(raison.contains(QStringLiteral("vient d'être faite par une autre caisse")),
                 qPrintable(raison));
        QCOMPARE(valeur(a, QStringLiteral("SELECT count(*) FROM CLOTURES")).toInt(), 1);
    }

    // The server goes away in the middle of a sale and comes back: the till says so, records
    // nothing of the refused scan, and goes on on the same connection's settings and ticket,
    // without being started again.
    void serveurPerduPuisRevenu() {
        QFETCH_GLOBAL(QString, moteur);
        if (moteur == QStringLiteral("fichier"))
            QSKIP("un fichier n'a pas de serveur à perdre");
        Database bdd;
        QVERIFY(nouvelleBoutique(bdd));
        QVERIFY(sql(bdd, QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, "
                                        "PrixVenteTTC, tauxTVAvente, EnStock) VALUES ('ROBE', "
                                        "'Robe ', 50, 19.6, 10)")));
        const CleFiscale cle = cleDeTest();
        Caisse caisse(bdd, cle, QStringLiteral("1"), 1);
        QVERIFY(caisse.ouvrirTicket());
        auto vendre = [&]() -> Resultat<> {
            const Resultat<Caisse::Lecture> lu = caisse.lire(QStringLiteral("ROBE"));
            if (!lu)
                return lu.echec();
            if (!lu->article)
                return echec(QStringLiteral("ROBE inconnue"));
            const Resultat<LigneCalculee> vendue = caisse.vendre(*lu->article);
            return vendue ? Resultat<>() : Resultat<>(vendue.echec());
        };
        QVERIFY(vendre());
        QVERIFY(serveur_->arreter());
        const Resultat<> refusee = vendre();
        QVERIFY(!refusee);
        QVERIFY2(refusee.raison().contains(QStringLiteral("serveur de la base de données")),
                 qPrintable(refusee.raison()));
        QVERIFY(serveur_->relancer());
        // Killed connections too (a restart of the server) are opened again.
        QVERIFY(vendre());
        QVERIFY(vendre());
        QCOMPARE(caisse.lignes().size(), 3);
        QCOMPARE(valeur(bdd, QStringLiteral("SELECT count(*) FROM VENTES")).toInt(), 3);
        QCOMPARE(valeur(bdd, QStringLiteral("SELECT EnStock FROM ARTICLES")).toDouble(), 7.0);
    }
};

TALMIR_TEST(TestMoteurs)
#include "tst_moteurs.moc"
