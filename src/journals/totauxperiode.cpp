#include "journals/totauxperiode.h"

#include "common/quantite.h"
#include "database/database.h"
#include "register/motscaisse.h"
#include "register/tickets.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
// A discount line: its word, and for a percentage the rate after it ("REMISE sur ARTICLE 10 %").
bool estRemise(const QString& code) {
    return code == mots::prixRemise() || code == mots::remiseExceptionnelle() ||
           code == mots::remise() || code.startsWith(mots::remiseSurArticle() + u' ') ||
           code.startsWith(mots::remiseSurSousTotal() + u' ');
}

// The totals of the closed tickets that `condition` keeps (on TICKETS T), with its values.
Resultat<TotauxPeriode> totaux(const Database& bdd, const QString& condition,
                               const QVariantList& valeurs) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(
            q,
            QStringLiteral("SELECT V.NumeroTicket, V.CodeArticle, V.PrixVenteTTC, V.TVA, V.qt, "
                           "V.TauxTVA, T.Genre, T.TotalTTC FROM TICKETS T JOIN VENTES V ON "
                           "V.NumeroTicket = T.NumeroTicket WHERE T.TicketClos <> 0 AND ") +
                condition + QStringLiteral(" ORDER BY V.NumeroTicket, V.Id"),
            valeurs);
        !r)
        return r.echec();
    TotauxPeriode p;
    QList<LigneTicket> ticket;
    qint64 numero = 0;
    auto finTicket = [&] {
        if (!ticket.isEmpty())
            cumulerParTaux(p.parTaux, totauxParTaux(ticket));
        ticket.clear();
    };
    while (q.next()) {
        const qint64 n = q.value(0).toLongLong();
        if (ticket.isEmpty() || n != numero) {
            finTicket();
            numero = n;
            ++p.tickets;
            if (q.value(6).toString() == QStringLiteral("ANNULATION")) {
                ++p.annulations;
                p.annule += Montant::depuisVariant(q.value(7));
            }
        }
        const LigneTicket l = ligneVente(q, 1);
        if (l.estPrixee()) {
            p.totalTtc += l.prix;
            p.totalTva += l.tva;
            if (estRemise(l.codeArticle))
                p.remises += l.prix;
            else if (l.qt < Quantite()) {
                p.retours += l.prix;
                ++p.lignesRetournees;
            }
        } else if (l.codeArticle == mots::rendu()) {
            p.rendu += l.prix;
        } else if (mots::paiements().contains(l.codeArticle)) {
            p.payes[l.codeArticle] += -l.prix;
        }
        ticket << l;
    }
    // A row that cannot be read would leave the closure short without a word.
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    finTicket();
    return p;
}
} // namespace

TotauxPeriode& TotauxPeriode::operator+=(const TotauxPeriode& autre) {
    tickets += autre.tickets;
    totalTtc += autre.totalTtc;
    totalTva += autre.totalTva;
    cumulerParTaux(parTaux, autre.parTaux);
    for (auto m = autre.payes.cbegin(); m != autre.payes.cend(); ++m)
        payes[m.key()] += m.value();
    rendu += autre.rendu;
    remises += autre.remises;
    retours += autre.retours;
    lignesRetournees += autre.lignesRetournees;
    annulations += autre.annulations;
    annule += autre.annule;
    return *this;
}

Resultat<TotauxPeriode> totauxPeriode(const Database& bdd, const QDate& premier,
                                      const QDate& dernier) {
    return totaux(bdd, QStringLiteral("T.Date >= ? AND T.Date < ?"),
                  {premier.toString(Qt::ISODate), dernier.addDays(1).toString(Qt::ISODate)});
}

Resultat<TotauxPeriode> totauxChaine(const Database& bdd, const QString& caisse, qint64 premier,
                                     qint64 dernier) {
    return totaux(
        bdd,
        QStringLiteral("T.Signature IS NOT NULL AND coalesce(T.ChaineCaisse, '1') = ? AND "
                       "T.Chainage BETWEEN ? AND ?"),
        {caisse, premier, dernier});
}
