#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlQuery;

// The one connection to the shop database (SQLite through QtSql). Opening never creates a
// file nor a table; a missing, empty or foreign file is a failure given back to the caller.
// The connection runs with synchronous=FULL: a committed sale line survives a power cut.
class Database {
  public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool ouvrir(const QString& chemin, QString* erreur = nullptr);
    // Releases the file so that it can be copied whole.
    void fermer();
    bool estOuverte() const;
    QString chemin() const { return chemin_; }
    QSqlDatabase connexion() const;

    // A consistent copy of the open database (or of the file when closed) through SQLite's
    // online backup, written beside the destination and renamed into place.
    bool copierVers(const QString& destination, QString* erreur = nullptr) const;
    // The same for a database file that is not open here. A journal left beside the file by a
    // crash is rolled back first, so the copy holds only committed data.
    static bool copierFichier(const QString& source, const QString& destination,
                              QString* erreur = nullptr);

  private:
    QString nomConnexion_;
    QString chemin_;
};

// Prepares `sql`, binds `valeurs` in order and executes it. Typed text is always a bound
// value, never part of the statement.
bool executer(QSqlQuery& requete, const QString& sql, const QVariantList& valeurs = {},
              QString* erreur = nullptr);

// One transaction: rolled back when it goes out of scope without valider().
class Transaction {
  public:
    explicit Transaction(const Database& base);
    ~Transaction();
    bool active() const { return active_; }
    bool valider();

  private:
    QSqlDatabase connexion_;
    bool active_ = false;
};

// The shop's wildcard text ("*" any text, "?" one character, every other character itself)
// as a regular expression matching the whole text without regard to case, accents' case
// included.
QString motifVersExpression(const QString& motif);
