#pragma once

#include "common/resultat.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <span>
#include <unordered_map>

class QSqlError;
class QSqlQuery;

// The one connection to the shop database: an SQLite file, or a PostgreSQL server shared by
// several tills (see AdresseServeur), both through QtSql. Opening never creates a file nor a
// table; a missing, empty or foreign file or database is a failure given back to the caller.
// The connection runs with synchronous=FULL: a committed sale line survives a power cut.
// Every write checks that the file at the database's path is still the file that was opened:
// once it was deleted or replaced, what is written would be lost at the next start, so every
// write from then on is refused with a reason that says so.
class Database {
  public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Read-only: the file is only read (a verifying tool), never upgraded nor written, its
    // journal mode and indexes left as they are.
    enum class Acces { Ecriture, Lecture };
    // `chemin`: the file's path, or a server's address (postgresql://...).
    Resultat<> ouvrir(const QString& chemin, Acces acces = Acces::Ecriture);
    enum class Moteur { SQLite, PostgreSQL };
    Moteur moteur() const { return moteur_; }
    // Where the copies of the database lie, named to the operator when the open file has gone.
    void setDossierCopies(const QString& dossier) { dossierCopies_ = dossier; }
    // Releases the file so that it can be copied whole.
    void fermer();
    bool estOuverte() const;
    // The file's path, or the server's address.
    QString chemin() const { return chemin_; }
    QSqlDatabase connexion() const;

    // A consistent copy of the open database (or of the file when closed) through SQLite's
    // online backup, written beside the destination and renamed into place.
    Resultat<> copierVers(const QString& destination) const;
    // The same for a database file that is not open here. A journal left beside the file by a
    // crash is rolled back first, so the copy holds only committed data.
    static Resultat<> copierFichier(const QString& source, const QString& destination);
    // Whether a database file (a copy just made) opens and SQLite finds its pages sound.
    static Resultat<> verifierFichier(const QString& chemin);
    // A consistent copy of a shop on a server (`adresse`, see AdresseServeur) made by the
    // server's own tool, pg_dump (its archive format), written beside `destination`, read back
    // whole by pg_restore, and renamed into place.
    static Resultat<> copierServeur(const QString& adresse, const QString& destination);
    // The number of articles in such a copy, read by pg_restore.
    static Resultat<qint64> articlesDeLArchive(const QString& archive);

    // After a failure on a server: whether the connection still answers; when it does not, it
    // is opened again (true when it was). Statements prepared before are dropped: none may be
    // in use. Fails, saying so in French, while the server does not answer. Nothing to do on a
    // file.
    Resultat<bool> retablir() const;

    // The fiscal records (the signed tickets' chain, the closures, the events) are each written
    // after their last link, read first: on a server several tills write them, so inside a
    // transaction this waits until no other till is writing them, and holds them until the
    // transaction ends. Nothing to wait for on a file, which one program writes at a time.
    Resultat<> reserverRegistres() const;
    // The same for the saving of an article, so that two tills saving an article under one new
    // code at the same moment cannot both create it.
    Resultat<> reserverArticles() const;
    // The end of a SELECT that reads rows to write them back from what it read (a stock plus the
    // pieces received, labels minus those printed): on a server the rows are held until the
    // transaction ends, so that another till's change in between waits instead of being lost.
    // Nothing on a file, which one program writes at a time.
    QString pourModifier() const;

    // The statement `sql` prepared once on this connection and kept until the connection
    // closes; null when the database is not open, when the statement does not prepare (the
    // caller prepares it itself and reports why) or when it is in use. See Preparee.
    QSqlQuery* preparee(const QString& sql) const;

  private:
    struct Garde;
    Resultat<> ouvrirServeur(const QString& adresse, Acces acces);
    // What a server's session is told at each opening.
    Resultat<> preparerSession(QSqlDatabase& db) const;
    QSqlDatabase connexionPilote(const QString& pilote);

    QString nomConnexion_;
    QString chemin_;
    QString dossierCopies_;
    Moteur moteur_ = Moteur::SQLite;
    Acces acces_ = Acces::Ecriture;
    std::unique_ptr<Garde> garde_;
    mutable std::unordered_map<QString, std::unique_ptr<QSqlQuery>> preparees_;
};

// Prepares `sql`, binds `valeurs` in order and executes it. Typed text is always a bound
// value, never part of the statement.
Resultat<> executer(QSqlQuery& requete, const QString& sql, const QVariantList& valeurs = {});

// Runs the statements of `script` in order (a schema: tables, triggers) on the open database,
// stopping at the first that fails.
Resultat<> executerScript(const Database& base, const QByteArray& script);

// A statement run many times, such as the till's at every scan, prepared only the first time:
// the code look-up alone takes SQLite longer to prepare than to run. Only for statements that
// name their columns (never `SELECT *`): SQLite prepares a kept statement again by itself when
// the tables change, and named columns keep the statement's shape. The rows are let go when the
// Preparee goes out of scope, so a kept statement never holds a read open.
class Preparee {
  public:
    Preparee(const Database& base, const QString& sql);
    ~Preparee();
    Preparee(const Preparee&) = delete;
    Preparee& operator=(const Preparee&) = delete;

    // Binds `valeurs` in order and executes the statement.
    Resultat<> executer(const QVariantList& valeurs = {});
    QSqlQuery& requete() { return *requete_; }

  private:
    QString sql_;
    std::unique_ptr<QSqlQuery> propre_; // when the kept statement cannot be had
    QSqlQuery* requete_;
};

// The rows of a SELECT read straight from the engine, for the lists of a hundred thousand rows
// where converting every column to a QVariant costs more than the query: each column comes as
// a view of its text, valid until `ligne` returns (a Null column, an empty view). Values are
// bound as executer() binds them. A row that cannot be read ends the walk with its reason.
Resultat<> parcourirTextes(const Database& base, const QString& sql, const QVariantList& valeurs,
                           const std::function<void(std::span<const QStringView>)>& ligne);

// The columns of a table as the shop's file declares them, in their order: each one's name and
// declared type (CURRENCY for amounts, DATETIME for dates...). A server declares its own types,
// and keeps the file's word for a column in that column's comment; the rowid column a server
// adds to keep the rows' order is not one of them. Empty when the table does not exist.
struct ColonneTable {
    QString nom;
    QString type;
};
Resultat<QList<ColonneTable>> colonnesTable(const Database& base, const QString& table);

// The reason of a database failure as the operator reads it, in French: the disk is full, the
// file is read-only, locked by another program, damaged..., naming the database file when it is
// given.
QString raisonSql(const QSqlError& erreur, const QString& fichier = {});
// The same from an SQLite result code and the engine's own message.
QString raisonSqlite(int code, const QString& message, const QString& fichier = {});
// The same from a PostgreSQL error state (SQLSTATE) and the server's own message.
QString raisonPostgres(const QString& etat, const QString& message);

// One transaction: rolled back when it goes out of scope without valider().
class Transaction {
  public:
    explicit Transaction(const Database& base);
    ~Transaction();
    // Whether the transaction could begin, and why not.
    const Resultat<>& debut() const { return debut_; }
    Resultat<> valider();

  private:
    QSqlDatabase connexion_;
    Resultat<> debut_;
    bool active_ = false;
};

// An article code as codes are compared: trailing blanks left out, letters without regard to
// case, accented capitals included ("ÉTÉ2026 " and "été2026" have one key). cleCode() gives the
// key of a typed code; cleCodeSql(colonne) is the same key computed by the database, the
// expression that the code index is built on (only built-in functions, so that any SQLite tool
// can still write the table).
QString cleCode(const QString& code);
QString cleCodeSql(const QString& colonne, Database::Moteur moteur = Database::Moteur::SQLite);
// The server's side of the shop's text comparison: plier(texte), the text folded as the file's
// searches fold it, and correspond(motif, texte), the "*" / "?" match, made from the program's
// own table of folded characters so that both engines fold alike.
QString fonctionsServeur();
// The index of the code look-up, made when a database lacks it (a shop made before it existed).
QString indexCleCode(Database::Moteur moteur = Database::Moteur::SQLite);
