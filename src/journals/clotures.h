#pragma once

#include "common/resultat.h"
#include "fiscal/textefiscal.h"
#include "journals/totauxperiode.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

class CleFiscale;
class Database;

// The closures (Z) of each till: a daily closure of the till's tickets closed since its previous
// one, monthly and yearly closures made of its days' closures. Each is stored with every figure
// in its signed text, chained to the closure before it (the shop's closures, every till's, make
// one chain). The shop's figures of a day are its tills' closures added up.
namespace clotures {

// The kinds of closures, as stored.
inline QString jour() {
    return QStringLiteral("JOUR");
}
inline QString mois() {
    return QStringLiteral("MOIS");
}
inline QString annee() {
    return QStringLiteral("ANNEE");
}

// The operator's "Clôture du jour" on till `caisse`: its daily closures of the days left
// unclosed (one per day, in order), then today's, made even without any ticket; then its monthly
// and yearly closures that have fallen due. Gives every closure made, today's daily closure
// among them (the last of kind JOUR).
Resultat<QList<textefiscal::Cloture>> clotureDuJour(const Database& bdd, const CleFiscale& cle,
                                                    const QDateTime& maintenant,
                                                    const QString& caisse);

// What a till does by itself at start-up and on the first sale of a new day, for every till of
// the shop (a till no longer used leaves no day unclosed): the daily closures of the days before
// today that have tickets not yet closed, then the monthly and yearly closures due (a month once
// a later month has begun, a year once a later year has). Gives the closures made (none most
// days).
Resultat<QList<textefiscal::Cloture>> cloreJoursOublies(const Database& bdd, const CleFiscale& cle,
                                                        const QDateTime& maintenant);

// The tills that have signed tickets or closures, in their order.
Resultat<QStringList> caisses(const Database& bdd);

// What the events' journal says of closure `c`: "Z JOUR n° 12 du 2026-12-10" (", caisse 2" for
// a till other than the first).
QString detailCloture(const textefiscal::Cloture& c);

// One till's part of the shop's closures of one kind and period.
struct PartCaisse {
    QString caisse;
    qint64 tickets = 0;
    Montant totalTtc;
};
// The shop's daily (monthly, yearly) total: every till's closures of kind `genre` for the
// period `debut`..`fin`, added up per till (a till that closed its day twice counts both), in
// the tills' order. A till that has not closed yet is not among them.
Resultat<QList<PartCaisse>> totalBoutique(const Database& bdd, const QString& genre,
                                          const QDate& debut, const QDate& fin);

// The signature of the stored closure n° `numero`.
Resultat<QByteArray> signature(const Database& bdd, qint64 numero);

// The signed text that the stored closure n° `numero` must have, made again from the records
// it covers (its tickets' lines, the events, the closure before it): the verifying tool
// compares it with the stored text. Fails, saying which, when the row's own columns (Tickets,
// TotalTTC, GrandTotal) disagree with those records. The grand total is taken on from the
// closest earlier closure's, which the verifier has checked before this one.
Resultat<QByteArray> texteAttendu(const Database& bdd, qint64 numero);

// The same for a verifier that goes through the closures in their number order: the days'
// totals read from their lines are kept, and a month or a year whose days are all known is
// added up from them instead of reading its lines again (a year's closure re-read a million
// lines).
class Recalcul {
  public:
    explicit Recalcul(const Database& bdd);
    Resultat<QByteArray> texteAttendu(qint64 numero);

  private:
    struct Jour {
        qint64 dernier = 0;
        TotauxPeriode totaux;
    };
    std::optional<TotauxPeriode> desJours(const QString& caisse, qint64 premier,
                                          qint64 dernier) const;

    const Database& bdd_;
    std::map<std::pair<QString, qint64>, Jour> jours_; // by till and first place in its chain
};

} // namespace clotures
