#pragma once

// A PostgreSQL cluster of a test's own, as the printing tests have their own cupsd: made by
// initdb in a temporary folder, its server listening on a Unix socket in that folder only (no
// TCP port), stopped and removed with the object. As root, which initdb refuses, the cluster
// belongs to the `postgres` account the server package makes, in a folder given to it.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ServeurPostgres {
  public:
    // What this machine lacks to run a cluster (the server's programs, Qt's QPSQL driver, the
    // `postgres` account when run as root); empty when nothing. Tests skip with it.
    static QString manque();

    // A test's cluster does not wait for the disk; a durable one syncs every commit, as a
    // shop's server does (for timings).
    enum class Ecriture { Rapide, Durable };
    explicit ServeurPostgres(Ecriture ecriture = Ecriture::Rapide);
    ~ServeurPostgres();
    ServeurPostgres(const ServeurPostgres&) = delete;
    ServeurPostgres& operator=(const ServeurPostgres&) = delete;

    // Makes the cluster and starts its server; false, with the reason in erreur(), otherwise.
    bool demarrer();
    const QString& erreur() const { return erreur_; }
    // Stops the server (its clients lose their connections; what was committed is kept: the
    // cluster does not wait for the disk) and starts it again.
    bool arreter();
    bool relancer();

    // A new, empty database of the cluster.
    bool creerBase(const QString& nom);
    // A connection named `nom` to the database `base` through the socket, not yet opened.
    QSqlDatabase connexion(const QString& nom, const QString& base) const;

    // Where the server's socket lies, its port number (the socket's name) and its user.
    QString dossierSocket() const;
    static constexpr int kPort = 5432;
    static QString utilisateur() { return QStringLiteral("postgres"); }

  private:
    bool executer(const QString& programme, const QStringList& arguments, int delaiMs);

    QTemporaryDir dossier_;
    QString racine_; // the cluster's own folder, inside dossier_
    Ecriture ecriture_;
    bool demarre_ = false;
    QString erreur_;
};
