#include "journals/clotures.h"

#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "journals/totauxperiode.h"
#include "register/historique.h"
#include "register/motscaisse.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>

namespace clotures {

namespace {

using textefiscal::Cloture;

const QString kFormatDate = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The tills in their numbers' order ("2" before "10").
bool avantCaisse(const QString& a, const QString& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// The value of the field `nom` in a signed text ("...;NOM=valeur;..."); empty when absent.
QByteArray champ(const QByteArray& texte, const QByteArray& nom) {
    const QByteArray cle = ';' + nom + '=';
    const qsizetype i = texte.indexOf(cle);
    if (i < 0)
        return {};
    const qsizetype debut = i + cle.size();
    const qsizetype fin = texte.indexOf(';', debut);
    return texte.mid(debut, fin < 0 ? -1 : fin - debut);
}

// The first row of a query, or nothing.
Resultat<bool> premiereLigne(QSqlQuery& q, const QString& sql, const QVariantList& valeurs) {
    if (Resultat<> r = executer(q, sql, valeurs); !r)
        return r.echec();
    if (q.next())
        return true;
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return false;
}

// The last event counted by till `caisse`'s closure of kind `genre` before closure n° `avant`
// (0: none).
Resultat<qint64> evenementPrecedent(const Database& bdd, const QString& genre,
                                    const QString& caisse, qint64 avant) {
    QSqlQuery q(bdd.connexion());
    const Resultat<bool> l = premiereLigne(
        q,
        QStringLiteral(
            "SELECT Texte FROM CLOTURES WHERE Genre = ? AND coalesce(ChaineCaisse, '1') = ? "
            "AND Numero < ? ORDER BY Numero DESC LIMIT 1"),
        {genre, caisse, avant});
    if (!l)
        return l.echec();
    return *l ? champ(q.value(0).toString().toUtf8(), "EVENEMENTS").toLongLong() : 0;
}

// The duplicates printed of till `caisse`'s tickets among the events after n° `depuis` up to
// n° `jusqua`. The journal is the shop's, each duplicate naming its ticket ("ticket n° 46,
// duplicata n° 1"); one whose ticket cannot be found is the first till's, as every duplicate
// was before tills were numbered.
Resultat<qint64> duplicatas(const Database& bdd, const QString& caisse, qint64 depuis,
                            qint64 jusqua) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT Detail FROM EVENEMENTS WHERE Genre = ? AND "
                                               "Numero > ? AND Numero <= ?"),
                                {evenements::duplicata(), depuis, jusqua});
        !r)
        return r.echec();
    QList<qint64> tickets;
    while (q.next())
        tickets << historique::ticketDuDuplicata(q.value(0).toString());
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    q.finish();
    qint64 n = 0;
    for (const qint64 ticket : tickets) {
        const Resultat<bool> l =
            premiereLigne(q,
                          QStringLiteral("SELECT coalesce(ChaineCaisse, '1') FROM TICKETS WHERE "
                                         "NumeroTicket = ?"),
                          {ticket});
        if (!l)
            return l.echec();
        const QString de = *l ? q.value(0).toString() : QStringLiteral("1");
        q.finish();
        if (de == caisse)
            ++n;
    }
    return n;
}

// The grand total up to a place of the chain, known from an earlier closure.
struct Report {
    qint64 dernier = 0;
    Montant grandTotal;
};

// Every figure of `c` from the totals `t` of its stretch of its till's chain (premier..dernier),
// its number, kind and last event counted. The grand total adds the till's tickets after
// `report` to its amount.
Resultat<> calculer(const Database& bdd, Cloture& c, const TotauxPeriode& t, const Report& report) {
    c.tickets = t.tickets;
    c.totalTtc = t.totalTtc;
    c.totalHt = t.totalTtc - t.totalTva;
    c.parTaux.clear();
    for (const TotalTaux& taux : t.parTaux)
        c.parTaux << textefiscal::TauxCloture{taux.taux, taux.ttc, taux.ht()};
    c.payes.clear();
    for (const QString& moyen : mots::paiements())
        c.payes << qMakePair(moyen, t.payes.value(moyen));
    c.rendu = t.rendu;
    c.remises = t.remises;
    c.retours = t.retours;
    c.annulations = t.annulations;
    c.annule = t.annule;

    const Resultat<qint64> depuis = evenementPrecedent(bdd, c.genre, c.caisse, c.numero);
    if (!depuis)
        return depuis.echec();
    const Resultat<qint64> imprimes = duplicatas(bdd, c.caisse, *depuis, c.dernierEvenement);
    if (!imprimes)
        return imprimes.echec();
    c.duplicatas = *imprimes;

    // Added in exact amounts, not in the database's floating point.
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT TotalTTC FROM TICKETS WHERE Signature IS "
                                               "NOT NULL AND coalesce(ChaineCaisse, '1') = ? AND "
                                               "Chainage > ? AND Chainage <= ?"),
                                {c.caisse, report.dernier, c.dernier});
        !r)
        return r;
    c.grandTotal = report.grandTotal;
    while (q.next())
        c.grandTotal += Montant::depuisVariant(q.value(0));
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return {};
}

// The last closure of kind `genre` (any kind when empty) of till `caisse` (any till when
// empty): its columns, or nothing.
struct Stockee {
    qint64 numero = 0;
    qint64 premier = 0;
    qint64 dernier = 0;
    QDate debut;
    QDate fin;
    QByteArray texte;
    QByteArray signature;
};
Resultat<std::optional<Stockee>> derniere(const Database& bdd, const QString& genre,
                                          const QString& caisse) {
    QSqlQuery q(bdd.connexion());
    const Resultat<bool> l = premiereLigne(
        q,
        QStringLiteral("SELECT Numero, Premier, Dernier, Debut, Fin, Texte, Signature FROM "
                       "CLOTURES WHERE (? OR Genre = ?) AND (? OR coalesce(ChaineCaisse, '1') = ?) "
                       "ORDER BY Numero DESC LIMIT 1"),
        {genre.isEmpty(), genre, caisse.isEmpty(), caisse});
    if (!l)
        return l.echec();
    if (!*l)
        return std::optional<Stockee>();
    Stockee s;
    s.numero = q.value(0).toLongLong();
    s.premier = q.value(1).toLongLong();
    s.dernier = q.value(2).toLongLong();
    s.debut = QDate::fromString(q.value(3).toString(), Qt::ISODate);
    s.fin = QDate::fromString(q.value(4).toString(), Qt::ISODate);
    s.texte = q.value(5).toString().toUtf8();
    s.signature = q.value(6).toString().toLatin1();
    return std::optional<Stockee>(s);
}

// Whether closure `c` is made already: the last closure of its kind, `derniere`, covers part of
// it. A day's closure takes the chain on after the last one; an empty one is made once a day.
bool faiteAilleurs(const Cloture& c, const Stockee& derniere) {
    if (c.genre != jour())
        return !(derniere.fin < c.debut);
    if (c.premier > c.dernier && derniere.premier > derniere.dernier && derniere.fin == c.fin)
        return true;
    return c.premier <= derniere.dernier;
}

// Stores closure `c` (its till, kind, period, stretch of the till's chain and, for a month or a
// year, its last event counted already set) at the end of the closures' chain (one for the
// shop: the tills' closures one after the other), signed, with its event, in one transaction.
// Gives it complete.
Resultat<Cloture> enregistrer(const Database& bdd, const CleFiscale& cle, Cloture c,
                              const QDateTime& maintenant) {
    Transaction t(bdd);
    if (!t.debut())
        return t.debut().echec();
    if (Resultat<> r = bdd.reserverRegistres(); !r)
        return r.echec();
    // On a server another program may have made this closure while this one was reckoning it.
    const Resultat<std::optional<Stockee>> memeGenre = derniere(bdd, c.genre, c.caisse);
    if (!memeGenre)
        return memeGenre.echec();
    if (*memeGenre && faiteAilleurs(c, **memeGenre))
        return echec(QStringLiteral("la clôture %1 du %2 vient d'être faite par une autre caisse")
                         .arg(c.genre, c.fin.toString(QStringLiteral("dd/MM/yyyy"))));
    const Resultat<std::optional<Stockee>> avant = derniere(bdd, QString(), QString());
    if (!avant)
        return avant.echec();
    c.numero = *avant ? (*avant)->numero + 1 : 1;
    c.precedente = *avant ? (*avant)->signature : textefiscal::premiereSignature();
    const QString date = maintenant.toString(kFormatDate);
    c.quand = textefiscal::dateStockee(date);
    if (c.genre == jour()) {
        QSqlQuery q(bdd.connexion());
        const Resultat<bool> l =
            premiereLigne(q, QStringLiteral("SELECT coalesce(max(Numero), 0) FROM EVENEMENTS"), {});
        if (!l)
            return l.echec();
        c.dernierEvenement = q.value(0).toLongLong();
    }
    // Each closure takes the grand total on from the last one before its end, so that a shop
    // of many years does not add up every ticket again each day.
    Report report;
    {
        QSqlQuery q(bdd.connexion());
        const Resultat<bool> l = premiereLigne(
            q,
            QStringLiteral(
                "SELECT Dernier, GrandTotal FROM CLOTURES WHERE coalesce(ChaineCaisse, '1') "
                "= ? AND Dernier <= ? ORDER BY Dernier DESC, Numero DESC LIMIT 1"),
            {c.caisse, c.dernier});
        if (!l)
            return l.echec();
        if (*l)
            report = {q.value(0).toLongLong(), Montant::depuisVariant(q.value(1))};
    }
    const Resultat<TotauxPeriode> totaux = totauxChaine(bdd, c.caisse, c.premier, c.dernier);
    if (!totaux)
        return totaux.echec();
    if (Resultat<> r = calculer(bdd, c, *totaux, report); !r)
        return r.echec();
    const QByteArray texte = textefiscal::texte(c);
    const Resultat<QByteArray> signature = cle.signer(texte);
    if (!signature)
        return signature.echec();
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r =
            executer(q,
                     QStringLiteral(
                         "INSERT INTO CLOTURES (Numero, ChaineCaisse, Genre, Debut, Fin, Premier, "
                         "Dernier, Date, Tickets, TotalTTC, GrandTotal, Texte, Signature) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {c.numero, c.caisse, c.genre, c.debut.toString(Qt::ISODate),
                      c.fin.toString(Qt::ISODate), c.premier, c.dernier, date, c.tickets,
                      c.totalTtc.versBase(), c.grandTotal.versBase(), QString::fromUtf8(texte),
                      QString::fromLatin1(*signature)});
        !r)
        return r.echec();
    if (Resultat<qint64> e = evenements::consignerDans(bdd, cle, evenements::cloture(),
                                                       detailCloture(c), maintenant);
        !e)
        return e.echec();
    if (Resultat<> r = t.valider(); !r)
        return r.echec();
    return c;
}

// Till `caisse`'s signed tickets not yet in a daily closure, one stretch of its chain per
// calendar day, in the chain's order.
struct Journee {
    QDate jour;
    qint64 premier = 0;
    qint64 dernier = 0;
};
Resultat<QList<Journee>> journeesOuvertes(const Database& bdd, const QString& caisse,
                                          qint64 apres) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT Chainage, substr(Date, 1, 10) FROM "
                                               "TICKETS WHERE Signature IS NOT NULL AND "
                                               "coalesce(ChaineCaisse, '1') = ? AND Chainage > ? "
                                               "ORDER BY Chainage"),
                                {caisse, apres});
        !r)
        return r.echec();
    QList<Journee> journees;
    while (q.next()) {
        const qint64 place = q.value(0).toLongLong();
        const QDate jour = QDate::fromString(q.value(1).toString(), Qt::ISODate);
        if (journees.isEmpty() || journees.last().jour != jour)
            journees << Journee{jour, place, place};
        else
            journees.last().dernier = place;
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return journees;
}

// Till `caisse`'s daily closures of its open days before `limite` (every open day when
// invalid), and an empty one for `vide` when it is valid and no day from it on was closed.
Resultat<QList<Cloture>> clore(const Database& bdd, const CleFiscale& cle,
                               const QDateTime& maintenant, const QString& caisse,
                               const QDate& limite, const QDate& vide) {
    const Resultat<std::optional<Stockee>> precedente = derniere(bdd, jour(), caisse);
    if (!precedente)
        return precedente.echec();
    qint64 dernier = *precedente ? (*precedente)->dernier : 0;
    const Resultat<QList<Journee>> journees = journeesOuvertes(bdd, caisse, dernier);
    if (!journees)
        return journees.echec();
    QList<Cloture> faites;
    bool aujourdhui = false;
    for (const Journee& j : *journees) {
        if (limite.isValid() && !(j.jour < limite))
            break;
        Cloture c;
        c.caisse = caisse;
        c.genre = jour();
        c.debut = c.fin = j.jour;
        c.premier = j.premier;
        c.dernier = j.dernier;
        const Resultat<Cloture> r = enregistrer(bdd, cle, c, maintenant);
        if (!r)
            return r.echec();
        faites << *r;
        dernier = j.dernier;
        aujourdhui = aujourdhui || (vide.isValid() && !(j.jour < vide));
    }
    if (vide.isValid() && !aujourdhui) {
        Cloture c;
        c.caisse = caisse;
        c.genre = jour();
        c.debut = c.fin = vide;
        c.premier = dernier + 1;
        c.dernier = dernier;
        const Resultat<Cloture> r = enregistrer(bdd, cle, c, maintenant);
        if (!r)
            return r.echec();
        faites << *r;
    }
    return faites;
}

// Till `caisse`'s monthly (or yearly) closures due: its daily closures whose last day falls in a
// month (a year) after the last one closed and before the current one, one closure per month.
Resultat<QList<Cloture>> clorePeriodes(const Database& bdd, const CleFiscale& cle,
                                       const QDateTime& maintenant, const QString& caisse,
                                       const QString& genre) {
    const auto periode = [&](const QDate& d) {
        return genre == mois() ? d.year() * 100 + d.month() : d.year();
    };
    const Resultat<std::optional<Stockee>> precedente = derniere(bdd, genre, caisse);
    if (!precedente)
        return precedente.echec();
    const int close = *precedente ? periode((*precedente)->fin) : 0;
    const int courante = periode(maintenant.date());
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r =
            executer(q,
                     QStringLiteral("SELECT Premier, Dernier, Debut, Fin, Texte FROM "
                                    "CLOTURES WHERE Genre = ? AND coalesce(ChaineCaisse, "
                                    "'1') = ? ORDER BY Numero"),
                     {jour(), caisse});
        !r)
        return r.echec();
    QList<Cloture> dues;
    QList<int> periodes;
    while (q.next()) {
        const QDate debut = QDate::fromString(q.value(2).toString(), Qt::ISODate);
        const QDate fin = QDate::fromString(q.value(3).toString(), Qt::ISODate);
        const int p = periode(fin);
        if (p <= close || p >= courante)
            continue;
        const qint64 evenement = champ(q.value(4).toString().toUtf8(), "EVENEMENTS").toLongLong();
        if (periodes.isEmpty() || periodes.last() != p) {
            Cloture c;
            c.caisse = caisse;
            c.genre = genre;
            c.premier = q.value(0).toLongLong();
            c.debut = debut;
            dues << c;
            periodes << p;
        }
        dues.last().dernier = q.value(1).toLongLong();
        dues.last().fin = fin;
        dues.last().dernierEvenement = evenement;
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    q.finish();
    QList<Cloture> faites;
    for (const Cloture& c : dues) {
        const Resultat<Cloture> r = enregistrer(bdd, cle, c, maintenant);
        if (!r)
            return r.echec();
        faites << *r;
    }
    return faites;
}

Resultat<QList<Cloture>> clorePeriodesDues(const Database& bdd, const CleFiscale& cle,
                                           const QDateTime& maintenant, const QString& caisse,
                                           QList<Cloture> faites) {
    for (const QString& genre : {mois(), annee()}) {
        const Resultat<QList<Cloture>> r = clorePeriodes(bdd, cle, maintenant, caisse, genre);
        if (!r)
            return r.echec();
        faites << *r;
    }
    return faites;
}

} // namespace

Resultat<QList<Cloture>> clotureDuJour(const Database& bdd, const CleFiscale& cle,
                                       const QDateTime& maintenant, const QString& caisse) {
    const Resultat<QList<Cloture>> jours =
        clore(bdd, cle, maintenant, caisse, QDate(), maintenant.date());
    if (!jours)
        return jours;
    return clorePeriodesDues(bdd, cle, maintenant, caisse, *jours);
}

Resultat<QList<Cloture>> cloreJoursOublies(const Database& bdd, const CleFiscale& cle,
                                           const QDateTime& maintenant) {
    const Resultat<QStringList> tills = caisses(bdd);
    if (!tills)
        return tills.echec();
    QList<Cloture> faites;
    for (const QString& caisse : *tills) {
        const Resultat<QList<Cloture>> jours =
            clore(bdd, cle, maintenant, caisse, maintenant.date(), QDate());
        if (!jours)
            return jours;
        const Resultat<QList<Cloture>> toutes =
            clorePeriodesDues(bdd, cle, maintenant, caisse, *jours);
        if (!toutes)
            return toutes;
        faites << *toutes;
    }
    return faites;
}

Resultat<QStringList> caisses(const Database& bdd) {
    // One look-up through an index per till (a shop has a few), not a pass over its tickets.
    QStringList tills;
    for (const QString& sql :
         {QStringLiteral("SELECT min(coalesce(ChaineCaisse, '1')) FROM TICKETS WHERE Chainage IS "
                         "NOT NULL AND coalesce(ChaineCaisse, '1') > ?"),
          QStringLiteral("SELECT min(coalesce(ChaineCaisse, '1')) FROM CLOTURES WHERE "
                         "coalesce(ChaineCaisse, '1') > ?")}) {
        QString apres = QStringLiteral("");
        QSqlQuery q(bdd.connexion());
        for (;;) {
            const Resultat<bool> l = premiereLigne(q, sql, {apres});
            if (!l)
                return l.echec();
            if (!*l || q.value(0).isNull())
                break;
            apres = q.value(0).toString();
            q.finish();
            if (!tills.contains(apres))
                tills << apres;
        }
    }
    std::sort(tills.begin(), tills.end(), avantCaisse);
    return tills;
}

QString detailCloture(const Cloture& c) {
    const QString z = QStringLiteral("Z %1 n° %2 du %3")
                          .arg(c.genre)
                          .arg(c.numero)
                          .arg(c.fin.toString(Qt::ISODate));
    return c.caisse.isEmpty() || c.caisse == QStringLiteral("1")
               ? z
               : z + QStringLiteral(", caisse %1").arg(c.caisse);
}

Resultat<QList<PartCaisse>> totalBoutique(const Database& bdd, const QString& genre,
                                          const QDate& debut, const QDate& fin) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r =
            executer(q,
                     QStringLiteral("SELECT coalesce(ChaineCaisse, '1'), Tickets, TotalTTC "
                                    "FROM CLOTURES WHERE Genre = ? AND Debut = ? AND "
                                    "Fin = ? ORDER BY Numero"),
                     {genre, debut.toString(Qt::ISODate), fin.toString(Qt::ISODate)});
        !r)
        return r.echec();
    QList<PartCaisse> parts;
    while (q.next()) {
        const QString caisse = q.value(0).toString();
        auto part = std::find_if(parts.begin(), parts.end(),
                                 [&](const PartCaisse& p) { return p.caisse == caisse; });
        if (part == parts.end())
            part = parts.insert(parts.end(), PartCaisse{caisse, 0, Montant()});
        part->tickets += q.value(1).toLongLong();
        part->totalTtc += Montant::depuisVariant(q.value(2));
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    std::sort(parts.begin(), parts.end(), [](const PartCaisse& a, const PartCaisse& b) {
        return avantCaisse(a.caisse, b.caisse);
    });
    return parts;
}

Resultat<QByteArray> signature(const Database& bdd, qint64 numero) {
    QSqlQuery q(bdd.connexion());
    const Resultat<bool> l = premiereLigne(
        q, QStringLiteral("SELECT Signature FROM CLOTURES WHERE Numero = ?"), {numero});
    if (!l)
        return l.echec();
    if (!*l)
        return echec(QStringLiteral("la clôture n° %1 n'existe pas").arg(numero));
    return q.value(0).toString().toLatin1();
}

Resultat<QByteArray> texteAttendu(const Database& bdd, qint64 numero) {
    return Recalcul(bdd).texteAttendu(numero);
}

Recalcul::Recalcul(const Database& bdd) : bdd_(bdd) {}

// Till `caisse`'s days already made again whose stretches, end to end, are exactly
// premier..dernier: their totals added up, or nothing.
std::optional<TotauxPeriode> Recalcul::desJours(const QString& caisse, qint64 premier,
                                                qint64 dernier) const {
    auto jour = jours_.find({caisse, premier});
    if (jour == jours_.end())
        return std::nullopt;
    TotauxPeriode somme;
    for (;;) {
        somme += jour->second.totaux;
        if (jour->second.dernier == dernier)
            return somme;
        if (jour->second.dernier > dernier)
            return std::nullopt;
        jour = jours_.find({caisse, jour->second.dernier + 1});
        if (jour == jours_.end())
            return std::nullopt;
    }
}

Resultat<QByteArray> Recalcul::texteAttendu(qint64 numero) {
    const Database& bdd = bdd_;
    QSqlQuery q(bdd.connexion());
    const Resultat<bool> l = premiereLigne(
        q,
        QStringLiteral("SELECT Genre, Premier, Dernier, Date, Debut, Fin, Tickets, TotalTTC, "
                       "GrandTotal, Texte, ChaineCaisse FROM CLOTURES WHERE Numero = ?"),
        {numero});
    if (!l)
        return l.echec();
    if (!*l)
        return echec(QStringLiteral("la clôture n° %1 n'existe pas").arg(numero));
    Cloture c;
    c.numero = numero;
    c.genre = q.value(0).toString();
    c.premier = q.value(1).toLongLong();
    c.dernier = q.value(2).toLongLong();
    c.quand = textefiscal::dateStockee(q.value(3).toString());
    c.debut = QDate::fromString(q.value(4).toString(), Qt::ISODate);
    c.fin = QDate::fromString(q.value(5).toString(), Qt::ISODate);
    const qint64 tickets = q.value(6).toLongLong();
    const Montant totalTtc = Montant::depuisVariant(q.value(7));
    const Montant grandTotal = Montant::depuisVariant(q.value(8));
    c.dernierEvenement = champ(q.value(9).toString().toUtf8(), "EVENEMENTS").toLongLong();
    c.caisse = textefiscal::caisseStockee(q.value(10));
    q.finish();
    const Resultat<bool> p = premiereLigne(
        q,
        QStringLiteral("SELECT Signature FROM CLOTURES WHERE Numero < ? ORDER BY Numero DESC "
                       "LIMIT 1"),
        {numero});
    if (!p)
        return p.echec();
    c.precedente = *p ? q.value(0).toString().toLatin1() : textefiscal::premiereSignature();
    q.finish();
    // The grand total goes on from the closest earlier closure, as when it was made: the
    // verifier checks the closures in their order, so that one's total is already checked
    // (adding every ticket from the first one again made a year of closures take minutes).
    Report report;
    const Resultat<bool> r = premiereLigne(
        q,
        QStringLiteral(
            "SELECT Dernier, GrandTotal FROM CLOTURES WHERE Numero < ? AND "
            "coalesce(ChaineCaisse, '1') = ? AND Dernier <= ? ORDER BY Dernier DESC, Numero "
            "DESC LIMIT 1"),
        {numero, c.caisse, c.dernier});
    if (!r)
        return r.echec();
    if (*r)
        report = {q.value(0).toLongLong(), Montant::depuisVariant(q.value(1))};
    q.finish();
    // A month or a year is added up from its days when they are known, read from its lines
    // otherwise; a day is read from its lines and kept.
    std::optional<TotauxPeriode> totaux;
    if (c.genre != jour() && c.premier <= c.dernier)
        totaux = desJours(c.caisse, c.premier, c.dernier);
    if (!totaux) {
        Resultat<TotauxPeriode> lus = totauxChaine(bdd, c.caisse, c.premier, c.dernier);
        if (!lus)
            return lus.echec();
        totaux = std::move(*lus);
    }
    if (c.genre == jour() && c.premier <= c.dernier)
        jours_[{c.caisse, c.premier}] = Jour{c.dernier, *totaux};
    if (Resultat<> calcul = calculer(bdd, c, *totaux, report); !calcul)
        return calcul.echec();
    QStringList ecarts;
    if (tickets != c.tickets)
        ecarts << QStringLiteral("Tickets");
    if (totalTtc != c.totalTtc)
        ecarts << QStringLiteral("TotalTTC");
    if (grandTotal != c.grandTotal)
        ecarts << QStringLiteral("GrandTotal");
    if (!ecarts.isEmpty())
        return echec(QStringLiteral("la clôture n° %1 ne correspond pas à ses tickets (%2)")
                         .arg(numero)
                         .arg(ecarts.join(QStringLiteral(", "))));
    return textefiscal::texte(c);
}

} // namespace clotures
