#include "journals/totauxperiode.h"

#include "common/quantite.h"
#include "database/database.h"
#include "register/motscaisse.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {
struct Ligne {
    QString code;
    Montant prix;
    Montant tva;
    bool prixee = false;
    std::optional<double> taux;
};

// A discount line: its word, and for a percentage the rate after it ("REMISE sur ARTICLE 10 %").
bool estRemise(const QString& code) {
    return code == mots::prixRemise() || code == mots::remiseExceptionnelle() ||
           code == mots::remise() || code.startsWith(mots::remiseSurArticle() + u' ') ||
           code.startsWith(mots::remiseSurSousTotal() + u' ');
}

// Rates to the hundredth of a percent: 19.6 and 19.600000001 are one rate.
qint64 cleTaux(double taux) {
    return std::isfinite(taux) && std::fabs(taux) < 1e6 ? std::llround(taux * 100) : 0;
}

// Adds one ticket's priced lines to the rates: lines of one rate to it; lines without a rate
// shared among the ticket's rates as their amounts stand.
void ajouterTicket(const QList<Ligne>& lignes, QMap<qint64, TotalTaux>& parTaux) {
    QMap<qint64, TotalTaux> ticket;
    QList<const Ligne*> sansTaux;
    for (const Ligne& l : lignes) {
        if (!l.prixee)
            continue;
        if (!l.taux) {
            sansTaux << &l;
            continue;
        }
        TotalTaux& t = ticket[cleTaux(*l.taux)];
        t.taux = double(cleTaux(*l.taux)) / 100;
        t.ttc += l.prix;
        t.tva += l.tva;
    }
    Montant base;
    for (const TotalTaux& t : ticket)
        base += t.ttc;
    for (const Ligne* l : sansTaux) {
        if (ticket.isEmpty() || base.estNul()) {
            TotalTaux& inconnu = ticket[cleTaux(kTauxInconnu)];
            inconnu.taux = kTauxInconnu;
            inconnu.ttc += l->prix;
            inconnu.tva += l->tva;
            continue;
        }
        Montant resteTtc = l->prix, resteTva = l->tva;
        const QList<qint64> cles = ticket.keys();
        // Fixed now, so that the shares do not follow the amounts as they change.
        QList<Montant> parts;
        for (qint64 c : cles)
            parts << ticket[c].ttc;
        for (qsizetype i = 0; i < cles.size(); ++i) {
            TotalTaux& t = ticket[cles[i]];
            const bool dernier = i + 1 == cles.size();
            const Montant ttc = dernier ? resteTtc : l->prix.proportion(parts[i], base);
            const Montant tva = dernier ? resteTva : l->tva.proportion(parts[i], base);
            t.ttc += ttc;
            t.tva += tva;
            resteTtc = resteTtc - ttc;
            resteTva = resteTva - tva;
        }
    }
    for (auto i = ticket.cbegin(); i != ticket.cend(); ++i) {
        TotalTaux& t = parTaux[i.key()];
        t.taux = i->taux;
        t.ttc += i->ttc;
        t.tva += i->tva;
    }
}
} // namespace

Resultat<TotauxPeriode> totauxPeriode(const Database& bdd, const QDate& premier,
                                      const QDate& dernier) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(
            q,
            QStringLiteral("SELECT V.NumeroTicket, V.CodeArticle, V.PrixVenteTTC, V.TVA, V.qt, "
                           "V.TauxTVA FROM TICKETS T JOIN VENTES V ON V.NumeroTicket = "
                           "T.NumeroTicket WHERE T.TicketClos <> 0 AND T.Date >= ? AND T.Date < "
                           "? ORDER BY V.NumeroTicket, V.Id"),
            {premier.toString(Qt::ISODate), dernier.addDays(1).toString(Qt::ISODate)});
        !r)
        return r.echec();
    TotauxPeriode p;
    QMap<qint64, TotalTaux> parTaux;
    QList<Ligne> ticket;
    qint64 numero = 0;
    auto finTicket = [&] {
        if (!ticket.isEmpty())
            ajouterTicket(ticket, parTaux);
        ticket.clear();
    };
    while (q.next()) {
        const qint64 n = q.value(0).toLongLong();
        if (ticket.isEmpty() || n != numero) {
            finTicket();
            numero = n;
            ++p.tickets;
        }
        Ligne l;
        l.code = q.value(1).toString();
        l.prix = Montant::depuisVariant(q.value(2));
        l.tva = Montant::depuisVariant(q.value(3));
        const Quantite qt = Quantite::depuisVariant(q.value(4));
        l.prixee = !qt.estNul();
        if (!q.value(5).isNull())
            l.taux = q.value(5).toDouble();
        if (l.prixee) {
            p.totalTtc += l.prix;
            p.totalTva += l.tva;
            if (estRemise(l.code))
                p.remises += l.prix;
            else if (qt < Quantite()) {
                p.retours += l.prix;
                ++p.lignesRetournees;
            }
        } else if (l.code == mots::rendu()) {
            p.rendu += l.prix;
        } else if (mots::paiements().contains(l.code)) {
            p.payes[l.code] += -l.prix;
        }
        ticket << l;
    }
    // A row that cannot be read would leave the closure short without a word.
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    finTicket();
    for (const TotalTaux& t : parTaux)
        p.parTaux << t;
    return p;
}
