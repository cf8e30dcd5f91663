#include "controle/verification.h"

#include "controle/chainetickets.h"
#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/textefiscal.h"
#include "journals/clotures.h"
#include "register/tickets.h"

#include <QFile>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace verification {

namespace {

// The signature of the record `sql` selects with `valeurs`, empty when none.
Resultat<QByteArray> signatureDe(const Database& bdd, const QString& sql,
                                 const QVariantList& valeurs) {
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r = executer(q, sql, valeurs); !r)
        return r.echec();
    if (q.next())
        return q.value(0).toString().toLatin1();
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return QByteArray();
}

// The signature of the record at `numero` of a chain (`sql` selects it), empty when none.
Resultat<QByteArray> signatureDe(const Database& bdd, const QString& sql, qint64 numero) {
    return signatureDe(bdd, sql, QVariantList{numero});
}

// Where the check of a till's chain begins: after its place `apres`.
struct FinDeChaine {
    QString caisse;
    qint64 apres = 0;
};

// The closed tickets, all of them, or the end of each till's chain that `fins` gives.
Resultat<QString> verifierTickets(const Database& bdd, const ClePublique& cle, Bilan& bilan,
                                  const QList<FinDeChaine>& fins = {}) {
    ChaineTickets chaine(cle);
    // The whole check also reads the closed tickets outside the chains; the end of each till's
    // chain is found through the chains' index (the tickets are put in their numbers' order by
    // the chain).
    QVariantList valeurs;
    QString clos = QStringLiteral("TicketClos <> 0");
    if (!fins.isEmpty()) {
        QStringList parCaisse;
        for (const FinDeChaine& f : fins) {
            const Resultat<QByteArray> avant =
                signatureDe(bdd,
                            QStringLiteral("SELECT Signature FROM TICKETS WHERE "
                                           "coalesce(ChaineCaisse, '1') = ? AND Chainage = ?"),
                            QVariantList{f.caisse, f.apres});
            if (!avant)
                return avant.echec();
            chaine.commencerA(f.caisse, f.apres + 1, *avant);
            parCaisse << QStringLiteral("(coalesce(ChaineCaisse, '1') = ? AND Chainage > ?)");
            valeurs << f.caisse << f.apres;
        }
        clos += QStringLiteral(" AND Chainage IS NOT NULL AND (") +
                parCaisse.join(QStringLiteral(" OR ")) + u')';
    }
    {
        QSqlQuery q(bdd.connexion());
        q.setForwardOnly(true);
        if (Resultat<> r = executer(q,
                                    QStringLiteral("SELECT NumeroTicket, Genre, Date, TotalTTC, "
                                                   "Chainage, Signature, ChaineCaisse FROM TICKETS "
                                                   "WHERE ") +
                                        clos,
                                    valeurs);
            !r)
            return r.echec();
        while (q.next())
            chaine.ajouter(ChaineTickets::Ticket{
                q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                Montant::depuisVariant(q.value(3)), q.value(4).toLongLong(),
                q.value(5).toString().toLatin1(), textefiscal::caisseStockee(q.value(6))});
        if (q.lastError().isValid())
            return echec(raisonSql(q.lastError()));
    }
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    // (all of them in one pass over the lines; the ends through the tickets' index)
    const QString lignes =
        !fins.isEmpty()
            ? QStringLiteral("SELECT NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt, TauxTVA "
                             "FROM VENTES WHERE NumeroTicket IN (SELECT NumeroTicket FROM TICKETS "
                             "WHERE ") +
                  clos + QStringLiteral(") ORDER BY NumeroTicket, Id")
            : QStringLiteral("SELECT V.NumeroTicket, V.CodeArticle, V.PrixVenteTTC, V.TVA, "
                             "V.qt, V.TauxTVA FROM VENTES V JOIN TICKETS T ON "
                             "T.NumeroTicket = V.NumeroTicket WHERE T.TicketClos <> 0 ORDER "
                             "BY V.NumeroTicket, V.Id");
    if (Resultat<> r = executer(q, lignes, valeurs); !r)
        return r.echec();
    while (q.next()) {
        chaine.ligne(q.value(0).toLongLong(), ligneVente(q, 1));
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    QString echecTickets = chaine.terminer();
    bilan.tickets = chaine.tickets();
    bilan.lignes = chaine.lignes();
    return echecTickets;
}

// Where the quick check of each till's chain begins: its last `combien` tickets. None when
// every chain is that short: the whole check, which also finds the tickets closed out of them.
Resultat<QList<FinDeChaine>> finsDeChaines(const Database& bdd, qint64 combien) {
    const Resultat<QStringList> caisses = clotures::caisses(bdd);
    if (!caisses)
        return caisses.echec();
    QList<FinDeChaine> fins;
    bool longue = false;
    QSqlQuery q(bdd.connexion());
    for (const QString& caisse : *caisses) {
        if (Resultat<> r =
                executer(q,
                         QStringLiteral("SELECT max(Chainage) FROM TICKETS WHERE "
                                        "coalesce(ChaineCaisse, '1') = ? AND Chainage IS "
                                        "NOT NULL"),
                         {caisse});
            !r)
            return r.echec();
        if (!q.next())
            return echec(raisonSql(q.lastError()));
        const qint64 apres = std::max<qint64>(q.value(0).toLongLong() - combien, 0);
        longue = longue || apres > 0;
        fins << FinDeChaine{caisse, apres};
    }
    if (!longue)
        fins.clear();
    return fins;
}

// The events, all of them or those after n° `apres`.
Resultat<QString> verifierEvenements(const Database& bdd, const ClePublique& cle, Bilan& bilan,
                                     qint64 apres = 0) {
    const Resultat<QByteArray> avant = signatureDe(
        bdd, QStringLiteral("SELECT Signature FROM EVENEMENTS WHERE Numero = ?"), apres);
    if (!avant)
        return avant.echec();
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT Numero, Date, Genre, Detail, Signature "
                                               "FROM EVENEMENTS WHERE Numero > ? ORDER BY Numero"),
                                {apres});
        !r)
        return r.echec();
    QByteArray precedente = *avant;
    qint64 attendu = apres + 1;
    while (q.next()) {
        textefiscal::Evenement e;
        e.numero = q.value(0).toLongLong();
        if (e.numero != attendu)
            return QStringLiteral("événement n° %1 : l'événement n° %2 qui le précède manque")
                .arg(e.numero)
                .arg(attendu);
        e.quand = textefiscal::dateStockee(q.value(1).toString());
        e.genre = q.value(2).toString();
        e.detail = q.value(3).toString();
        e.precedente = precedente;
        const QByteArray signature = q.value(4).toString().toLatin1();
        const Resultat<bool> bon = cle.verifier(textefiscal::texte(e), signature);
        if (!bon)
            return bon.echec();
        ++bilan.evenements;
        if (!*bon)
            return QStringLiteral("événement n° %1 : la signature ne correspond pas").arg(e.numero);
        precedente = signature;
        ++attendu;
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return QString();
}

// The closures, all of them or those after n° `apres`: of those, only the last day's figures
// are made again from its tickets (each day would read a day of lines, a year a year of them).
Resultat<QString> verifierClotures(const Database& bdd, const ClePublique& cle, Bilan& bilan,
                                   qint64 apres = 0) {
    struct Lue {
        qint64 numero;
        QByteArray texte;
        QByteArray signature;
        QString genre;
    };
    QList<Lue> lues;
    {
        QSqlQuery q(bdd.connexion());
        q.setForwardOnly(true);
        if (Resultat<> r = executer(q,
                                    QStringLiteral("SELECT Numero, Texte, Signature, Genre FROM "
                                                   "CLOTURES WHERE Numero > ? ORDER BY Numero"),
                                    {apres});
            !r)
            return r.echec();
        while (q.next())
            lues << Lue{q.value(0).toLongLong(), q.value(1).toString().toUtf8(),
                        q.value(2).toString().toLatin1(), q.value(3).toString()};
        if (q.lastError().isValid())
            return echec(raisonSql(q.lastError()));
    }
    const Resultat<QByteArray> avant =
        signatureDe(bdd, QStringLiteral("SELECT Signature FROM CLOTURES WHERE Numero = ?"), apres);
    if (!avant)
        return avant.echec();
    qint64 attendu = apres + 1;
    QByteArray precedente = apres > 0 ? *avant : textefiscal::premiereSignature();
    clotures::Recalcul recalcul(bdd);
    // At the end of the chain, the last day alone is made again from its tickets.
    qint64 dernierJour = 0;
    for (const Lue& c : lues)
        if (c.genre == clotures::jour())
            dernierJour = c.numero;
    for (const Lue& c : lues) {
        if (c.numero != attendu)
            return QStringLiteral("clôture n° %1 : la clôture n° %2 qui la précède manque")
                .arg(c.numero)
                .arg(attendu);
        ++bilan.clotures;
        const Resultat<bool> bon = cle.verifier(c.texte, c.signature);
        if (!bon)
            return bon.echec();
        if (!*bon)
            return QStringLiteral("clôture n° %1 : la signature ne correspond pas").arg(c.numero);
        if (!c.texte.endsWith(QByteArrayLiteral(";PRECEDENTE=") + precedente))
            return QStringLiteral("clôture n° %1 : elle n'est pas liée à la clôture qui la "
                                  "précède")
                .arg(c.numero);
        if (apres > 0 && c.numero != dernierJour) {
            precedente = c.signature;
            ++attendu;
            continue;
        }
        const Resultat<QByteArray> refait = recalcul.texteAttendu(c.numero);
        if (!refait)
            return QStringLiteral("clôture n° %1 : %2").arg(c.numero).arg(refait.raison());
        if (*refait != c.texte)
            return QStringLiteral("clôture n° %1 : ses chiffres ne correspondent pas aux tickets "
                                  "qu'elle couvre")
                .arg(c.numero);
        precedente = c.signature;
        ++attendu;
    }
    return QString();
}

} // namespace

Resultat<Bilan> verifier(const Database& bdd, const ClePublique& cle) {
    Bilan bilan;
    Resultat<QString> r = verifierTickets(bdd, cle, bilan);
    if (r && r->isEmpty())
        r = verifierEvenements(bdd, cle, bilan);
    if (r && r->isEmpty())
        r = verifierClotures(bdd, cle, bilan);
    if (!r)
        return r.echec();
    bilan.echec = *r;
    return bilan;
}

Resultat<QString> verifierDerniers(const Database& bdd, const ClePublique& cle, qint64 combien) {
    Bilan bilan;
    // Each till's chain of tickets from its end, first: the first failure found is the one told.
    const Resultat<QList<FinDeChaine>> fins = finsDeChaines(bdd, combien);
    if (!fins)
        return fins.echec();
    if (const Resultat<QString> r = verifierTickets(bdd, cle, bilan, *fins); !r || !r->isEmpty())
        return r;
    // The place, in each chain, after which the check begins.
    auto depuis = [&](const QString& sql) -> Resultat<qint64> {
        QSqlQuery q(bdd.connexion());
        if (Resultat<> r = executer(q, sql); !r)
            return r.echec();
        if (!q.next())
            return echec(raisonSql(q.lastError()));
        return std::max<qint64>(q.value(0).toLongLong() - combien, 0);
    };
    using Verifier = Resultat<QString> (*)(const Database&, const ClePublique&, Bilan&, qint64);
    const std::pair<QString, Verifier> chaines[] = {
        {QStringLiteral("SELECT coalesce(max(Numero), 0) FROM EVENEMENTS"), verifierEvenements},
        {QStringLiteral("SELECT coalesce(max(Numero), 0) FROM CLOTURES"), verifierClotures}};
    for (const auto& [fin, verifierChaine] : chaines) {
        const Resultat<qint64> apres = depuis(fin);
        if (!apres)
            return apres.echec();
        const Resultat<QString> r = verifierChaine(bdd, cle, bilan, *apres);
        if (!r || !r->isEmpty())
            return r;
    }
    return QString();
}

Resultat<ClePublique> lireCle(const QString& fichier) {
    QFile f(fichier);
    if (!f.exists())
        return echec(QStringLiteral("la clé publique %1 est introuvable").arg(fichier));
    if (!f.open(QIODevice::ReadOnly))
        return echec(QStringLiteral("la clé publique %1 ne peut pas être lue : %2")
                         .arg(fichier, f.errorString()));
    const Resultat<ClePublique> cle = ClePublique::lire(f.read(64 * 1024));
    if (!cle)
        return echec(QStringLiteral("%1 n'est pas une clé publique utilisable : %2")
                         .arg(fichier, cle.raison()));
    return cle;
}

QString resume(const Bilan& b) {
    const QLocale fr(QLocale::French, QLocale::France);
    auto n = [&](qint64 v, const QString& un, const QString& plusieurs) {
        return fr.toString(v).replace(QChar(0x202F), QChar(' ')).replace(QChar(0xA0), QChar(' ')) +
               QLatin1Char(' ') + (v > 1 ? plusieurs : un);
    };
    return QStringLiteral("%1, %2, %3, %4 vérifiés")
        .arg(n(b.tickets, QStringLiteral("ticket"), QStringLiteral("tickets")),
             n(b.lignes, QStringLiteral("ligne"), QStringLiteral("lignes")),
             n(b.evenements, QStringLiteral("événement"), QStringLiteral("événements")),
             n(b.clotures, QStringLiteral("clôture"), QStringLiteral("clôtures")));
}

} // namespace verification
