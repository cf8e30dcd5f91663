#pragma once

#include "common/resultat.h"

#include <QString>

class QSqlDatabase;

// Where a shop database on a PostgreSQL server lies, as the "Base de donnees" setting or
// creer_base names it: postgresql://[user@]host[:port]/database, the host being a name, an
// address, or the folder of the server's Unix socket given as ?host=/folder. The password is
// never part of it: PostgreSQL's client reads it from the operator's ~/.pgpass.
struct AdresseServeur {
    QString hote; // a host name or address, or a socket's folder; empty: the local socket
    int port = 5432;
    QString base;
    QString utilisateur; // empty: the system account's name

    // Whether `texte` names a server rather than a database file.
    static bool estServeur(const QString& texte);
    // The address `texte` gives, or why it cannot be used (in French).
    static Resultat<AdresseServeur> lire(const QString& texte);
    // The address as the operator reads it in a message (no password to hide: there is none).
    QString texte() const;
    // Points a QtSql connection (QPSQL) at this address; a server that does not answer is told
    // within seconds, not after the system's long wait.
    void appliquer(QSqlDatabase& db) const;
};
