#pragma once

#include "common/resultat.h"
#include "fiscal/textefiscal.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

class CleFiscale;
class Database;

// The closures (Z) of the till: a daily closure of the tickets closed since the previous one,
// monthly and yearly closures made of the days' closures. Each is stored with every figure in
// its signed text, chained to the closure before it.
namespace clotures {

// The signed text that the stored closure n° `numero` must have, made again from the records
// it covers (its tickets' lines, the events, the closure before it): the verifying tool
// compares it with the stored text.
Resultat<QByteArray> texteAttendu(const Database& bdd, qint64 numero);

} // namespace clotures
