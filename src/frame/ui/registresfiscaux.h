#pragma once

#include "common/resultat.h"

#include <QDateTime>
#include <QString>

class CleFiscale;
class Database;

// The till's fiscal records at start-up, once the shop database is open: the installation's
// key (made beside the database the first time), the tickets closed before tickets were signed
// sealed into the chain, the last records of each chain checked (a failure recorded and told),
// and the start recorded in the events journal with what came before it
// (an upgrade of the schema, a clock that reads earlier than the last signed record).
// `versionAvant`: the schema version the database had before this start's upgrade. Then the
// daily closures of the days left unclosed and the monthly and yearly ones due: a failure
// there does not stop the start (the sales go on), it is given back as the operator's warning
// (empty when all went well). A shop on a server has no folder of its own: the key then lies in
// `dossierProgramme`, the till's.
Resultat<QString> ouvrirRegistresFiscaux(const Database& bdd, CleFiscale& cle, int versionAvant,
                                         const QDateTime& maintenant,
                                         const QString& dossierProgramme = {});
