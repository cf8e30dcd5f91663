#pragma once

#include "common/resultat.h"

#include <QString>

class ClePublique;
class Database;

// The check of a shop's signed records against the installation's public key: the closed
// tickets' chain (each ticket's text made again from its stored lines), the events' chain and
// the closures (their signatures, and their texts made again from the tickets they cover).
// Nothing is written.
namespace verification {

// What was checked, and the first record that failed (empty when all is sound).
struct Bilan {
    qint64 tickets = 0;
    qint64 lignes = 0;
    qint64 evenements = 0;
    qint64 clotures = 0;
    QString echec;
    bool sain() const { return echec.isEmpty(); }
};

// Checks the open shop database. A failure of the Resultat is a database that cannot be read;
// a record that does not hold is in the Bilan.
Resultat<Bilan> verifier(const Database& bdd, const ClePublique& cle);

// The quick check of a till at start-up: the last `combien` records of each chain (each till's
// tickets, events, closures; of the closures, the last day's figures made again from its
// tickets, the others' signatures and links alone). Gives the
// first record that fails, empty when they hold.
Resultat<QString> verifierDerniers(const Database& bdd, const ClePublique& cle, qint64 combien);

// The public key of a PEM file.
Resultat<ClePublique> lireCle(const QString& fichier);

// "285 474 tickets, 1 000 000 lignes, 12 événements, 3 clôtures vérifiés"
QString resume(const Bilan& b);

} // namespace verification
