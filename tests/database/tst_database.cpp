#include "database/creation.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>
#include <thread>

namespace {
QVariant une(const Database& db, const QString& sql, const QVariantList& valeurs = {}) {
    QSqlQuery q(db.connexion());
    if (!executer(q, sql, valeurs) || !q.next())
        return {};
    return q.value(0);
}

bool copierBrut(const QString& de, const QString& vers) {
    QFile::remove(vers);
    return QFile::copy(de, vers);
}
} // namespace

// The shop database: schema defaults, lookups, safe statements, opening and copies.
class TestDatabase : public QObject {
    Q_OBJECT
  private slots:
    void creationRefuseUnFichierExistant() {
        QTemporaryDir dir;
        const QString chemin = dir.filePath("boutique.db");
        QVERIFY(creation::creerBase(chemin));
        const Resultat<> r = creation::creerBase(chemin);
        QVERIFY(!r);
        QVERIFY(r.raison().contains("existe déjà"));
    }

    // Every step of making a shop is checked: a missing folder or a refused row is a failure
    // with its reason, never a shop with rows missing.
    void creationEnEchec() {
        QTemporaryDir dir;
        const Resultat<> sansDossier = creation::creerBase(dir.filePath("absent/boutique.db"));
        QVERIFY(!sansDossier);
        QCOMPARE(sansDossier.raison(),
                 QStringLiteral("le dossier %1 n'existe pas").arg(dir.filePath("absent")));
        const QString chemin = dir.filePath("boutique.db");
        QVERIFY(creation::creerBase(chemin));
        {
            Database db;
            QVERIFY(db.ouvrir(chemin));
            QSqlQuery q(db.connexion());
            QVERIFY(executer(q, "CREATE TRIGGER plein BEFORE INSERT ON VENTES BEGIN SELECT "
                                "RAISE(ABORT, 'disque plein'); END"));
        }
        const Resultat<> rempli = creation::remplirDemo(chemin);
        QVERIFY(!rempli);
        QVERIFY2(rempli.raison().contains("disque plein"), qPrintable(rempli.raison()));
        // Nothing of the half-made shop stays.
        Database db;
        QVERIFY(db.ouvrir(chemin));
        QSqlQuery q(db.connexion());
        QVERIFY(executer(q, "SELECT count(*) FROM ARTICLES") && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }

    // The database's failures are told in French, whatever the engine's own words.
    void raisonsEnFrancais_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("raison");
        QTest::newRow("disque plein") << 13 << "database or disk is full"
                                      << "le disque est plein";
        QTest::newRow("lecture seule") << 8 << "attempt to write a readonly database"
                                       << "la base de données est en lecture seule";
        QTest::newRow("verrou") << 5 << "database is locked"
                                << "la base de données est occupée par un autre programme";
        QTest::newRow("code etendu") << (10 | (3 << 8)) << "disk I/O error"
                                     << "le disque ne peut pas être lu ou écrit";
        QTest::newRow("table absente") << 1 << "no such table: VENTES"
                                       << "la table VENTES est absente de la base de données";
    }
    void raisonsEnFrancais() {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, raison);
        QCOMPARE(raisonSqlite(code, message), raison);
    }

    // A failure that comes without its code, as a refused commit does, is told from the
    // engine's words.
    void raisonsSansCode_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("raison");
        QTest::newRow("disque plein")
            << "database or disk is full"
            << "le disque est plein : la base de données /b/boutique.db ne peut plus être écrite";
        QTest::newRow("verrou") << "database is locked"
                                << "la base de données /b/boutique.db est occupée par un autre "
                                   "programme";
        QTest::newRow("inconnu") << "something else"
                                 << "erreur de la base de données : something else";
    }
    void raisonsSansCode() {
        QFETCH(QString, message);
        QFETCH(QString, raison);
        const QSqlError commit(QStringLiteral("Unable to commit transaction"), message,
                               QSqlError::TransactionError);
        QCOMPARE(raisonSql(commit, QStringLiteral("/b/boutique.db")), raison);
    }

    // What the operator reads when the database refuses a write, with the file concerned.
    void ecrituresRefusees_data() {
        QTest::addColumn<QString>("preparation");
        QTest::addColumn<QString>("raison");
        QTest::newRow("disque plein")
            << "PRAGMA max_page_count = 1"
            << "le disque est plein : la base de données %1 ne peut plus être écrite";
        QTest::newRow("lecture seule")
            << "PRAGMA query_only = 1"
            << "la base de données %1 est en lecture seule : rien ne peut y être enregistré";
    }
    void ecrituresRefusees() {
        QFETCH(QString, preparation);
        QFETCH(QString, raison);
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql(preparation));
        const QString grand(20000, u'x');
        QSqlQuery q(b.bdd.connexion());
        const Resultat<> seule =
            executer(q, "INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('NEUF', ?)", {grand});
        QCOMPARE(seule.raison(), raison.arg(b.installation().baseParDefaut()));
        Transaction t(b.bdd);
        QVERIFY(t.debut());
        const Resultat<> dedans =
            executer(q, "INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('NEUF', ?)", {grand});
        QCOMPARE(dedans.raison(), raison.arg(b.installation().baseParDefaut()));
    }

    void baseOccupee() {
        // Another program holds the database for writing.
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("PRAGMA busy_timeout = 0"));
        sqlite3* autre = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(b.installation().baseParDefaut()), &autre),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(autre, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        QSqlQuery q(b.bdd.connexion());
        const Resultat<> r = executer(q, "UPDATE ARTICLES SET EnStock = 1");
        sqlite3_close(autre);
        QCOMPARE(r.raison(),
                 QStringLiteral("la base de données %1 est occupée par un autre programme")
                     .arg(b.installation().baseParDefaut()));
    }

    // The database's file deleted or replaced while the program runs: every write from then on
    // is refused (it would go into a file no one opens again), with a reason that sends the
    // operator to the copies.
    void fichierDisparu_data() {
        QTest::addColumn<bool>("remplace");
        QTest::newRow("supprime") << false;
        QTest::newRow("remplace par une autre base") << true;
    }
    void fichierDisparu() {
        QFETCH(bool, remplace);
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        const QString chemin = b.installation().baseParDefaut();
        b.bdd.setDossierCopies(b.chemin("Sauvegardes"));
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("UPDATE ARTICLES SET EnStock = 5 WHERE rowid = 1"));
        QVERIFY(QFile::remove(chemin));
        QFile::remove(chemin + "-wal");
        QFile::remove(chemin + "-shm");
        if (remplace) {
            QVERIFY(creation::creerBase(chemin + ".autre"));
            QVERIFY(QFile::rename(chemin + ".autre", chemin));
        }
        const QString raison =
            QStringLiteral("le fichier de la base de données %1 a été supprimé ou remplacé "
                           "pendant que le programme était ouvert : plus rien n'est enregistré ; "
                           "quittez le programme et remettez en place la copie la plus récente "
                           "du dossier %2")
                .arg(chemin, b.chemin("Sauvegardes"));
        QSqlQuery q(b.bdd.connexion());
        QCOMPARE(executer(q, "UPDATE ARTICLES SET EnStock = 6 WHERE rowid = 1").raison(), raison);
        {
            Transaction t(b.bdd);
            QVERIFY(t.debut());
            QVERIFY(executer(q, "INSERT INTO TICKETS (caisse, vendeur) VALUES ('1', 1)"));
            QCOMPARE(t.valider().raison(), raison);
        }
        // Reading goes on; nothing written since the file went is in the open base either.
        QCOMPARE(une(b.bdd, "SELECT EnStock FROM ARTICLES WHERE rowid = 1").toInt(), 5);
        if (remplace) {
            QVERIFY(QFile::exists(chemin));
            Database autre;
            QVERIFY(autre.ouvrir(chemin));
            QCOMPARE(une(autre, "SELECT count(*) FROM TICKETS").toInt(), 0);
        }
    }

    void valeursParDefaut() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('ART000001', 'Pull ')"));
        QCOMPARE(b.valeur("SELECT EnStock FROM ARTICLES").toDouble(), 0.0);
        QCOMPARE(b.valeur("SELECT nbraimprimer FROM ARTICLES").toInt(), 0);
        QVERIFY(!b.valeur("SELECT DateDeCreation FROM ARTICLES").isNull());
        // Ticket numbers only grow, even after the highest ticket was removed.
        QVERIFY(b.sql("INSERT INTO TICKETS (caisse, vendeur) VALUES ('1', 1)"));
        QVERIFY(b.sql("INSERT INTO TICKETS (caisse, vendeur) VALUES ('1', 1)"));
        QCOMPARE(b.valeur("SELECT TicketClos FROM TICKETS WHERE NumeroTicket = 2").toInt(), 0);
        QVERIFY(b.sql("DELETE FROM TICKETS WHERE NumeroTicket = 2"));
        QVERIFY(b.sql("INSERT INTO TICKETS (caisse, vendeur) VALUES ('1', 1)"));
        QCOMPARE(b.valeur("SELECT max(NumeroTicket) FROM TICKETS").toInt(), 3);
        QVERIFY(b.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle) VALUES (3, 'x')"));
        QVERIFY(b.sql("DELETE FROM VENTES"));
        QVERIFY(b.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle) VALUES (3, 'y')"));
        QCOMPARE(b.valeur("SELECT Id FROM VENTES").toInt(), 2);
    }

    void typesDeclares() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QCOMPARE(b.valeur("SELECT type FROM pragma_table_info('ARTICLES') WHERE name = 'PrixHAHT'")
                     .toString(),
                 QStringLiteral("CURRENCY"));
        QCOMPARE(
            b.valeur("SELECT type FROM pragma_table_info('VENTES') WHERE name = 'TVA'").toString(),
            QStringLiteral("CURRENCY"));
    }

    void rechercheDeCode_data() {
        QTest::addColumn<QString>("tape");
        QTest::addColumn<QString>("trouve");
        QTest::newRow("exact") << "ART000012"
                               << "ART000012";
        QTest::newRow("minuscules") << "art000012"
                                    << "ART000012";
        QTest::newRow("espace final") << "ART000012 "
                                      << "ART000012";
        QTest::newRow("code stocke avec espace") << "EAN 1"
                                                 << "EAN 1  ";
        QTest::newRow("apostrophe") << "L'ÉTÉ"
                                    << "L'ÉTÉ";
        // Accented capitals too: "été" is "ÉTÉ", but not "ETE".
        QTest::newRow("capitales accentuees") << "l'éTé"
                                              << "L'ÉTÉ";
        QTest::newRow("accents comptent") << "L'ETE"
                                          << "";
        QTest::newRow("pourcent n'est pas joker") << "ART%"
                                                  << "";
        QTest::newRow("injection") << "x' OR '1'='1"
                                   << "";
        QTest::newRow("espace en tete compte") << " ART000012"
                                               << "";
    }
    void rechercheDeCode() {
        QFETCH(QString, tape);
        QFETCH(QString, trouve);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        for (const char* code : {"ART000012", "EAN 1  ", "L'ÉTÉ", "ART000013"})
            QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle) VALUES (?, 'a')",
                          {QString::fromUtf8(code)}));
        const QString condition = cleCodeSql("CodeArticle") + " = ?";
        QCOMPARE(b.valeur("SELECT CodeArticle FROM ARTICLES WHERE " + condition, {cleCode(tape)})
                     .toString(),
                 trouve);
        // The lookup uses the index.
        QSqlQuery q(b.bdd.connexion());
        QVERIFY(executer(q, "EXPLAIN QUERY PLAN SELECT * FROM ARTICLES WHERE " + condition,
                         {cleCode(tape)}));
        QVERIFY(q.next());
        QVERIFY2(q.value(3).toString().contains("ARTICLES_cle_code"),
                 qPrintable(q.value(3).toString()));
    }

    void motifs_data() {
        QTest::addColumn<QString>("motif");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("correspond");
        QTest::newRow("etoile") << "*pull*"
                                << "Gros PULL col V " << true;
        QTest::newRow("accents sans casse") << "*été*"
                                            << "ROBE D'ÉTÉ " << true;
        QTest::newRow("point d'interrogation") << "ART00001?"
                                               << "art000012" << true;
        QTest::newRow("longueur") << "ART00001?"
                                  << "ART0000123" << false;
        QTest::newRow("pourcent litteral") << "*50%*"
                                           << "Remise 50% " << true;
        QTest::newRow("pourcent pas joker") << "*50%*"
                                            << "Remise 500 " << false;
        QTest::newRow("souligne litteral") << "a_b"
                                           << "axb" << false;
        QTest::newRow("crochet litteral") << "*[a]*"
                                          << "x[a]y" << true;
        QTest::newRow("barre oblique") << "*\\*"
                                       << "C:\\" << true;
        QTest::newRow("apostrophe") << "*'*"
                                    << "Robe d'été" << true;
        QTest::newRow("diese litteral") << "#1"
                                        << "21" << false;
        QTest::newRow("vide") << "**"
                              << "" << true;
        QTest::newRow("saut de ligne") << "*a*"
                                       << "x\na" << true;
        QTest::newRow("sans accents") << "*ete*"
                                      << "ROBE D'ÉTÉ " << true;
        QTest::newRow("accents en trop") << "*garçon*"
                                         << "Veste GARCON" << true;
        QTest::newRow("accents decomposes") << "*ete*"
                                            << "e\u0301te\u0301" << true;
        QTest::newRow("une lettre accentuee") << "?t?"
                                              << "Été" << true;
        QTest::newRow("lettre differente") << "*ete*"
                                           << "ôte" << false;
        QTest::newRow("hors de l'alphabet latin") << "*Ωμέγα*"
                                                  << "ωμεγα" << true;
    }
    void motifs() {
        QFETCH(QString, motif);
        QFETCH(QString, texte);
        QFETCH(bool, correspond);
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QCOMPARE(b.valeur("SELECT correspond(?, ?)", {motif, texte}).toInt(), correspond ? 1 : 0);
        QVERIFY(b.valeur("SELECT correspond(NULL, 'a')").isNull());
        // A byte that is not UTF-8 is one character of its own.
        QCOMPARE(b.valeur("SELECT correspond('a?b', CAST(x'61ff62' AS TEXT))").toInt(), 1);
    }

    // The collation "sansaccents" puts texts in the order of their letters, accents and case
    // aside.
    void triSansAccents() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QCOMPARE(
            b.valeur(
                 "SELECT group_concat(t, '/') FROM (SELECT column1 AS t FROM (VALUES ('T-shirt'), "
                 "('Écharpe'), ('zèbre'), ('echarpe bis'), ('Abricot'), ('Ébène'), "
                 "('eb')) ORDER BY t COLLATE sansaccents)")
                .toString(),
            QStringLiteral("Abricot/eb/Ébène/Écharpe/echarpe bis/T-shirt/zèbre"));
        QCOMPARE(b.valeur("SELECT 'Éloïse' = 'eloise' COLLATE sansaccents").toInt(), 1);
    }

    void ouvertureRefusee_data() {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<bool>("existe");
        QTest::newRow("absent") << QByteArray() << false;
        QTest::newRow("vide") << QByteArray() << true;
        QTest::newRow("texte") << QByteArray("ceci n'est pas une base\n").repeated(200) << true;
        QTest::newRow("en-tete seul") << QByteArray("SQLite format 3\0", 16) << true;
    }
    void ouvertureRefusee() {
        QFETCH(QByteArray, contenu);
        QFETCH(bool, existe);
        QTemporaryDir dir;
        const QString chemin = dir.filePath("TALMIR_vestimentaire.db");
        if (existe) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contenu);
        }
        Database db;
        const Resultat<> r = db.ouvrir(chemin);
        QVERIFY(!r);
        QVERIFY(!r.raison().isEmpty());
        QVERIFY(!db.estOuverte());
        QCOMPARE(QFile::exists(chemin), existe); // never created
    }

    void baseTronquee() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QFile f(b.installation().baseParDefaut());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(f.size() / 3));
        f.close();
        Database db;
        // Either the file is refused or reading the lost pages fails cleanly: never a crash,
        // never a count that pretends the lines are there.
        if (db.ouvrir(b.installation().baseParDefaut())) {
            QSqlQuery q(db.connexion());
            if (executer(q, "SELECT count(*) FROM VENTES") && q.next())
                QVERIFY(q.value(0).toInt() < 160);
        }
    }

    void tableManquante() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("DROP TABLE FOURNISSEURS"));
        QSqlQuery q(b.bdd.connexion());
        const Resultat<> r = executer(q, "SELECT * FROM FOURNISSEURS");
        QVERIFY(!r);
        QVERIFY(r.raison().contains("FOURNISSEURS"));
    }

    void copieDeLaBaseOuverte() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('NEUF', 'n')"));
        const QString copie = b.chemin("copie.db");
        QVERIFY(b.bdd.copierVers(copie));
        Database db;
        QVERIFY(db.ouvrir(copie));
        QCOMPARE(une(db, "SELECT count(*) FROM ARTICLES").toInt(),
                 b.valeur("SELECT count(*) FROM ARTICLES").toInt());
        QCOMPARE(une(db, "SELECT count(*) FROM ARTICLES WHERE CodeArticle = 'NEUF'").toInt(), 1);
        QVERIFY(!QFile::exists(copie + ".partiel"));
    }

    void copieApresUnArretBrutal() {
        // The program's files as a crash leaves them: the database and its write-ahead log
        // holding committed lines not yet written back. The copy holds those lines.
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        sqlite3* h = nullptr;
        QVERIFY(sqlite3_open(QFile::encodeName(b.installation().baseParDefaut()), &h) == SQLITE_OK);
        sqlite3_exec(h, "PRAGMA wal_autocheckpoint=0", nullptr, nullptr, nullptr);
        for (int i = 0; i < 50; ++i)
            sqlite3_exec(h, "INSERT INTO VENTES (NumeroTicket, CodeArticle) VALUES (1, 'x')",
                         nullptr, nullptr, nullptr);
        QTemporaryDir crash;
        const QString base = crash.filePath("TALMIR_vestimentaire.db");
        QVERIFY(copierBrut(b.installation().baseParDefaut(), base));
        QVERIFY(copierBrut(b.installation().baseParDefaut() + "-wal", base + "-wal"));
        sqlite3_close(h);
        const QString copie = crash.filePath("sauvegarde.db");
        QVERIFY(Database::copierFichier(base, copie));
        Database db;
        QVERIFY(db.ouvrir(copie));
        QCOMPARE(une(db, "SELECT count(*) FROM VENTES").toInt(), 50);
    }

    void copieAvecJournalChaud() {
        // A rollback journal left by a crash in the middle of a transaction: the copy holds
        // only what was committed.
        QTemporaryDir dir;
        const QString base = dir.filePath("ancienne.db");
        sqlite3* h = nullptr;
        QVERIFY(sqlite3_open(QFile::encodeName(base), &h) == SQLITE_OK);
        sqlite3_exec(h,
                     "PRAGMA journal_mode=DELETE; PRAGMA cache_size=1;"
                     "CREATE TABLE T (v TEXT); BEGIN;",
                     nullptr, nullptr, nullptr);
        for (int i = 0; i < 2000; ++i)
            sqlite3_exec(h, "INSERT INTO T VALUES (hex(randomblob(100)))", nullptr, nullptr,
                         nullptr);
        sqlite3_exec(h, "COMMIT; BEGIN; UPDATE T SET v = 'perdu';", nullptr, nullptr, nullptr);
        QTemporaryDir crash;
        const QString copieBase = crash.filePath("ancienne.db");
        QVERIFY(copierBrut(base, copieBase));
        const bool journal = copierBrut(base + "-journal", copieBase + "-journal");
        sqlite3_exec(h, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        if (!journal)
            QSKIP("SQLite kept the change in memory: no hot journal to test");
        const QString sauvegarde = crash.filePath("sauvegarde.db");
        QVERIFY(Database::copierFichier(copieBase, sauvegarde));
        sqlite3* c = nullptr;
        QVERIFY(sqlite3_open(QFile::encodeName(sauvegarde), &c) == SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(c, "SELECT count(*) FROM T WHERE v = 'perdu'", -1, &st, nullptr);
        QCOMPARE(sqlite3_step(st), SQLITE_ROW);
        QCOMPARE(sqlite3_column_int(st, 0), 0);
        sqlite3_finalize(st);
        sqlite3_close(c);
    }

    // A copy is checked once written: a damaged one is told, naming it.
    void copieVerifiee_data() {
        QTest::addColumn<QString>("abime");
        QTest::newRow("intacte") << "";
        QTest::newRow("pages écrasées") << "pages";
        QTest::newRow("tronquée") << "tronquee";
        QTest::newRow("pas une base") << "texte";
    }
    void copieVerifiee() {
        QFETCH(QString, abime);
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        const QString copie = b.chemin("copie.db");
        QVERIFY(Database::copierFichier(b.installation().baseParDefaut(), copie));
        QFile f(copie);
        QVERIFY(f.open(QIODevice::ReadWrite));
        if (abime == "pages") {
            // Every page after the first few overwritten with noise.
            f.seek(4 * 4096);
            f.write(QByteArray(int(f.size() - 4 * 4096), '\x5a'));
        } else if (abime == "tronquee") {
            QVERIFY(f.resize(f.size() / 3));
        } else if (abime == "texte") {
            QVERIFY(f.resize(0));
            f.write("Ceci n'est pas une base de la boutique.\n");
        }
        f.close();
        const Resultat<> r = Database::verifierFichier(copie);
        QCOMPARE(r.ok(), abime.isEmpty());
        if (!r)
            QVERIFY2(r.raison().startsWith("la copie " + copie + " n'est pas saine : "),
                     qPrintable(r.raison()));
    }

    // The copy is taken while the till writes on its own connection: it holds one state of
    // the database, sound, between the first and the last write.
    void copiePendantLesEcritures() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        const int avant = b.valeur("SELECT count(*) FROM ARTICLES").toInt();
        const QString copie = b.chemin("copie.db");
        Resultat<> copiee = echec(QStringLiteral("pas faite"));
        std::thread fond(
            [&] { copiee = Database::copierFichier(b.installation().baseParDefaut(), copie); });
        for (int i = 0; i < 300; ++i)
            QVERIFY(b.sql(QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle) VALUES "
                                         "('PENDANT%1', 'p')")
                              .arg(i)));
        fond.join();
        QVERIFY2(copiee, qPrintable(copiee.raison()));
        QVERIFY(Database::verifierFichier(copie));
        Database db;
        QVERIFY(db.ouvrir(copie));
        const int copies = une(db, "SELECT count(*) FROM ARTICLES").toInt();
        QVERIFY2(copies >= avant && copies <= avant + 300, qPrintable(QString::number(copies)));
        // Whole writes only: the articles copied are those written first, each once.
        QCOMPARE(une(db, "SELECT count(DISTINCT CodeArticle) FROM ARTICLES WHERE CodeArticle "
                         "LIKE 'PENDANT%'")
                     .toInt(),
                 copies - avant);
    }

    void copieRefusee() {
        QTemporaryDir dir;
        const Resultat<> r =
            Database::copierFichier(dir.filePath("absente.db"), dir.filePath("c.db"));
        QVERIFY(!r);
        QVERIFY(r.raison().contains("absente.db"));
        QVERIFY(!QFile::exists(dir.filePath("c.db")));
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(!b.bdd.copierVers(dir.filePath("pas/de/dossier.db")));
    }

    void transactionAnnulee() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        {
            Transaction t(b.bdd);
            QVERIFY(t.debut());
            QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle) VALUES ('A')"));
        }
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), 0);
        {
            Transaction t(b.bdd);
            QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle) VALUES ('A')"));
            QVERIFY(t.valider());
        }
        QCOMPARE(b.valeur("SELECT count(*) FROM ARTICLES").toInt(), 1);
        QCOMPARE(b.valeur("PRAGMA synchronous").toInt(), 2); // FULL
    }

    // A statement kept prepared between uses: right rows at every use, also once the table got
    // a column from another program; a read never left open; the next file's rows after the
    // database is opened on another file; a reason each time it cannot prepare.
    void requetesGardees() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('A', 'un'), "
                      "('B', 'deux'), ('C', 'trois')"));
        const QString sql =
            QStringLiteral("SELECT CodeArticle, libelle FROM ARTICLES WHERE CodeArticle >= ? "
                           "ORDER BY CodeArticle");
        auto premier = [&](const QString& depuis) {
            Preparee p(b.bdd, sql);
            if (!p.executer({depuis}) || !p.requete().next())
                return QString();
            return p.requete().value(0).toString() + p.requete().value(1).toString();
        };
        QCOMPARE(premier("A"), QStringLiteral("Aun"));
        QCOMPARE(premier("B"), QStringLiteral("Bdeux"));
        {
            // The same statement asked for while in use: each gives its own rows.
            Preparee p(b.bdd, sql);
            QVERIFY(p.executer({"A"}));
            QVERIFY(p.requete().next());
            QCOMPARE(premier("C"), QStringLiteral("Ctrois"));
            QVERIFY(p.requete().next());
            QCOMPARE(p.requete().value(0).toString(), QStringLiteral("B"));
        }
        // Another program adds a column and checkpoints: the kept statement held no read.
        sqlite3* autre = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(b.bdd.chemin()).constData(), &autre), SQLITE_OK);
        QCOMPARE(sqlite3_exec(autre, "ALTER TABLE ARTICLES ADD COLUMN rayon TEXT", nullptr, nullptr,
                              nullptr),
                 SQLITE_OK);
        int occupe = -1;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(autre, "PRAGMA wal_checkpoint(TRUNCATE)", -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW)
            occupe = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(autre);
        QCOMPARE(occupe, 0);
        QCOMPARE(premier("B"), QStringLiteral("Bdeux"));

        // The database opened on another file: its own rows.
        BoutiqueTest autreBoutique;
        QVERIFY(autreBoutique.ouvrir());
        QVERIFY(autreBoutique.sql("INSERT INTO ARTICLES (CodeArticle, libelle) VALUES ('B', "
                                  "'ailleurs')"));
        const QString autreFichier = autreBoutique.bdd.chemin();
        autreBoutique.bdd.fermer();
        QVERIFY(b.bdd.ouvrir(autreFichier));
        QCOMPARE(premier("A"), QStringLiteral("Bailleurs"));

        // A statement that cannot prepare says why, every time.
        QVERIFY(b.sql("DROP TABLE FOURNISSEURS"));
        for (int i = 0; i < 2; ++i) {
            Preparee p(b.bdd, QStringLiteral("SELECT NumFournisseur FROM FOURNISSEURS"));
            const Resultat<> r = p.executer();
            QVERIFY(!r);
            QVERIFY2(r.raison().contains("FOURNISSEURS"), qPrintable(r.raison()));
        }
    }

    // Rows read straight from the engine: every kind of text whole, Null as empty, values bound
    // by type, and a row that fails halfway ends the walk with a reason.
    void lectureDirecteDesTextes() {
        BoutiqueTest b;
        QVERIFY(b.ouvrir());
        const QString long_ = QString(5000, u'x');
        QVERIFY(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, taille, PrixVenteTTC) VALUES "
                      "('A', ?, NULL, 10), ('B', ?, 'XL', 20), ('C', 'trois', '', 30)",
                      {QStringLiteral("Été 👗 « ' \" »"), long_}));
        QList<QStringList> lignes;
        auto garder = [&](std::span<const QStringView> l) {
            QStringList t;
            for (QStringView v : l)
                t << v.toString();
            lignes << t;
        };
        QVERIFY(parcourirTextes(b.bdd,
                                "SELECT CodeArticle, libelle, taille, PrixVenteTTC FROM ARTICLES "
                                "WHERE PrixVenteTTC > ? AND CodeArticle <> ? ORDER BY CodeArticle",
                                {5.5, "C"}, garder));
        QCOMPARE(lignes.size(), 2);
        QCOMPARE(lignes[0], QStringList({"A", QStringLiteral("Été 👗 « ' \" »"), "", "10"}));
        QCOMPARE(lignes[1], QStringList({"B", long_, "XL", "20"}));

        lignes.clear();
        QVERIFY(parcourirTextes(b.bdd, "SELECT CodeArticle FROM ARTICLES WHERE rowid > ?",
                                {qint64(1) << 40}, garder));
        QVERIFY(lignes.isEmpty());

        // abs() of the smallest integer is an error the engine raises on row B only.
        const Resultat<> r = parcourirTextes(
            b.bdd,
            "SELECT CodeArticle, abs(CASE WHEN CodeArticle = 'B' THEN -9223372036854775808 ELSE "
            "1 END) FROM ARTICLES ORDER BY CodeArticle",
            {}, garder);
        QVERIFY(!r);
        QVERIFY(!r.raison().isEmpty());
        QCOMPARE(lignes.size(), 1);

        const Resultat<> absente = parcourirTextes(b.bdd, "SELECT x FROM ABSENTE", {}, garder);
        QVERIFY(!absente);
        QVERIFY2(absente.raison().contains("ABSENTE"), qPrintable(absente.raison()));
        b.bdd.fermer();
        QVERIFY(!parcourirTextes(b.bdd, "SELECT 1", {}, garder));
    }

    // A new shop is at today's version; an older one is brought to it with its rows kept and the
    // same columns as a new one, again and again without harm; a step that fails leaves the shop
    // at its version; a newer shop is refused as it is.
    void versionDuSchema() {
        // Every table's columns and every index and trigger, as the two shops must share them.
        auto colonnes = [](BoutiqueTest& b) {
            QStringList c;
            QSqlQuery q(b.bdd.connexion());
            if (executer(q, "SELECT m.name || '.' || p.name || ' ' || p.type FROM sqlite_master m "
                            "JOIN pragma_table_info(m.name) p WHERE m.type = 'table' ORDER BY 1"))
                while (q.next())
                    c << q.value(0).toString();
            if (executer(q, "SELECT type || ' ' || name FROM sqlite_master WHERE type IN "
                            "('index', 'trigger') ORDER BY 1"))
                while (q.next())
                    c << q.value(0).toString();
            return c;
        };
        BoutiqueTest neuve;
        QVERIFY(neuve.ouvrir());
        QCOMPARE(versionschema::lire(neuve.bdd).valeurOu(-1), versionschema::kActuelle);
        QVERIFY(versionschema::mettreANiveau(neuve.bdd));
        QVERIFY(colonnes(neuve).contains("trigger TICKETS_clos_inalterable"));

        // A shop of the first version: no rate on the lines, no fiscal records.
        BoutiqueTest ancienne;
        QVERIFY(ancienne.ouvrir());
        QSqlQuery q(ancienne.bdd.connexion());
        QStringList declencheurs;
        QVERIFY(executer(q, "SELECT name FROM sqlite_master WHERE type = 'trigger'"));
        while (q.next())
            declencheurs << q.value(0).toString();
        for (const QString& d : declencheurs)
            QVERIFY(ancienne.sql("DROP TRIGGER " + d));
        for (const char* sql :
             {"DROP TABLE CLOTURES", "DROP TABLE EVENEMENTS", "DROP INDEX TICKETS_chaine_caisse",
              "ALTER TABLE TICKETS DROP COLUMN Genre",
              "ALTER TABLE TICKETS DROP COLUMN TicketAnnule",
              "ALTER TABLE TICKETS DROP COLUMN Chainage",
              "ALTER TABLE TICKETS DROP COLUMN Signature",
              "ALTER TABLE TICKETS DROP COLUMN ChaineCaisse",
              "ALTER TABLE VENTES DROP COLUMN TauxTVA", "PRAGMA user_version = 0"})
            QVERIFY2(ancienne.sql(sql), sql);
        QVERIFY(ancienne.sql("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, "
                             "qt) VALUES (1, 'A', 10, 1.64, 1)"));
        QVERIFY(ancienne.sql("INSERT INTO TICKETS (NumeroTicket, Date, TotalTTC, TicketClos) "
                             "VALUES (1, '2024-03-05 10:00:00', 10, 1)"));
        const Resultat<> r = versionschema::mettreANiveau(ancienne.bdd);
        QVERIFY2(r, qPrintable(r.raison()));
        QCOMPARE(versionschema::lire(ancienne.bdd).valeurOu(-1), versionschema::kActuelle);
        QCOMPARE(colonnes(ancienne), colonnes(neuve));
        QCOMPARE(
            ancienne.valeur("SELECT PrixVenteTTC FROM VENTES WHERE CodeArticle = 'A'").toDouble(),
            10.0);
        // The closed ticket's lines are kept from now on.
        QVERIFY(!ancienne.sql("DELETE FROM VENTES WHERE CodeArticle = 'A'"));
        QVERIFY(versionschema::mettreANiveau(ancienne.bdd));

        BoutiqueTest abimee;
        QVERIFY(abimee.ouvrir());
        QVERIFY(abimee.sql("PRAGMA user_version = 0"));
        QVERIFY(abimee.sql("DROP TABLE VENTES"));
        QVERIFY(!versionschema::mettreANiveau(abimee.bdd));
        QCOMPARE(versionschema::lire(abimee.bdd).valeurOu(-1), 0);

        QVERIFY(neuve.sql("PRAGMA user_version = 7"));
        const Resultat<> refus = versionschema::mettreANiveau(neuve.bdd);
        QVERIFY(!refus);
        QVERIFY2(refus.raison().contains("plus récente"), qPrintable(refus.raison()));
        QCOMPARE(versionschema::lire(neuve.bdd).valeurOu(-1), 7);
    }

    void boutiqueDemo() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        QVERIFY(b.ouvrir());
        QVERIFY(b.valeur("SELECT count(*) FROM ARTICLES").toInt() >= 200);
        QVERIFY(b.valeur("SELECT count(*) FROM ARTICLES WHERE EnStock = 0").toInt() > 0);
        QVERIFY(b.valeur("SELECT count(*) FROM ARTICLES WHERE nbraimprimer > 0").toInt() > 0);
        QVERIFY(b.valeur("SELECT count(DISTINCT fournisseur) FROM ARTICLES").toInt() >= 3);
        QCOMPARE(b.valeur("SELECT count(*) FROM TICKETS WHERE TicketClos = 0").toInt(), 0);
        QVERIFY(b.valeur("SELECT count(*) FROM VENTES").toInt() > 50);
        QCOMPARE(b.valeur("SELECT count(*) FROM pragma_table_info('FOURNISSEURS')").toInt(), 4);
        // Every ticket's lines balance: payments cover the articles.
        QCOMPARE(b.valeur("SELECT count(*) FROM (SELECT NumeroTicket FROM VENTES GROUP BY "
                          "NumeroTicket HAVING round(sum(PrixVenteTTC), 2) <> 0)")
                     .toInt(),
                 0);
    }
};

TALMIR_TEST(TestDatabase)
#include "tst_database.moc"
