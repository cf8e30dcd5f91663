#pragma once

#include "common/resultat.h"

#include <QDateTime>
#include <QString>

class CleFiscale;
class Database;

// The technical events journal of the till's fiscal records: each event signed over its
// number, date, kind, detail and the signature of the event before it. The text journal of the
// program (inventaire.txt) tells the operator's story; this one is what an inspector checks.
namespace evenements {

// The kinds of events.
inline QString demarrage() {
    return QStringLiteral("DEMARRAGE");
}
inline QString arret() {
    return QStringLiteral("ARRET");
}
inline QString miseANiveau() {
    return QStringLiteral("MISE A NIVEAU");
}
inline QString scellement() {
    return QStringLiteral("SCELLEMENT");
}
inline QString cloture() {
    return QStringLiteral("CLOTURE");
}
inline QString duplicata() {
    return QStringLiteral("DUPLICATA");
}
inline QString archive() {
    return QStringLiteral("ARCHIVE");
}
inline QString remiseAZeroStock() {
    return QStringLiteral("REMISE A ZERO DU STOCK");
}
inline QString horlogeEnArriere() {
    return QStringLiteral("HORLOGE EN ARRIERE");
}
inline QString controleEchoue() {
    return QStringLiteral("CONTROLE ECHOUE");
}
inline QString annulation() {
    return QStringLiteral("ANNULATION");
}

// Records an event at the end of the chain, in its own transaction. Fails, recording nothing,
// without a key or when the row cannot be written.
Resultat<qint64> consigner(const Database& bdd, const CleFiscale& cle, const QString& genre,
                           const QString& detail, const QDateTime& quand);
// The same inside the caller's transaction (a closure and its event are one record).
Resultat<qint64> consignerDans(const Database& bdd, const CleFiscale& cle, const QString& genre,
                               const QString& detail, const QDateTime& quand);

// The latest date among the signed records (tickets, closures, events); invalid when there is
// none. A clock that reads earlier than it was set back.
Resultat<QDateTime> derniereDate(const Database& bdd);

} // namespace evenements
