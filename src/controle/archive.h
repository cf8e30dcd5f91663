#pragma once

#include "common/resultat.h"
#include "controle/verification.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

class CleFiscale;
class ClePublique;
class Database;

// The archive of a period of the shop's signed records, readable without the program: a folder
// archive_<du>_<au> holding the closed tickets of the period (of each till, the stretch of its
// chain closed in it), their lines, the closures and the events of the period as text files
// (CSV, UTF-8, ';' between fields, every value quoted, every column, a Null left empty and
// unquoted), a manifest giving each file's SHA-256 and the chains' stretches, the manifest's
// signature by the shop's key and a copy of the public key.
//
// The manifest, one line each:
//   ARCHIVE;DU=2026-03-01;AU=2026-03-31
//   PREMIER=<place>                  the first till's stretch: its first ticket's place (0: none)
//   PRECEDENTE=<signature>           and the signature of the ticket before it (empty: none)
//   CAISSE=2;PREMIER=5;PRECEDENTE=<signature>    the same for each other till, by their names
//   EVENEMENT_PRECEDENT=<signature>  the signature of the event before the period's first one
//   <sha256>  tickets.csv            each file's SHA-256 (in hexadecimal, two spaces, its name)
// A shop of one till writes no CAISSE= line: its archives are as they were before each till
// had its chain, and those archives are checked as the first till's stretch.
namespace archive {

inline QString manifeste() {
    return QStringLiteral("manifeste.txt");
}
inline QString signatureManifeste() {
    return QStringLiteral("manifeste.sig");
}

// Writes the archive of the days `du` to `au` in `dossier` and records it in the signed events
// (its name and the manifest's SHA-256). Gives the archive's folder. An archive of the same
// name already there is a failure, left as it is.
Resultat<QString> creer(const Database& bdd, const CleFiscale& cle, const QString& dossier,
                        QDate du, QDate au, const QDateTime& quand);

// Checks an archive's folder: the manifest's signature (by `cle`, or by the key copied in the
// archive when none is given), every file's SHA-256, and each till's stretch of the tickets'
// chains made again from the tickets' and lines' files.
Resultat<verification::Bilan> verifier(const QString& dossier,
                                       const std::optional<ClePublique>& cle);

} // namespace archive
