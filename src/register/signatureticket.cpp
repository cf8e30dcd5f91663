#include "register/signatureticket.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "register/tickets.h"
#include "register/tvapartaux.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace signatureticket {

textefiscal::Ticket figures(qint64 numero, const QString& caisse, textefiscal::Genre genre,
                            const QDateTime& cloture, Montant total,
                            const QList<LigneTicket>& lignes, const QByteArray& precedente) {
    textefiscal::Ticket t;
    t.numero = numero;
    t.caisse = caisse;
    t.genre = genre;
    t.cloture = cloture;
    t.total = total;
    for (const TotalTaux& taux : totauxParTaux(lignes))
        t.parTaux << textefiscal::MontantParTaux{taux.taux, taux.ttc};
    t.precedente = precedente;
    return t;
}

Resultat<Maillon> dernier(const Database& bdd, const QString& caisse) {
    // (through the chains' index: the till, then the place)
    Preparee p(bdd,
               QStringLiteral("SELECT Chainage, Signature, Date FROM TICKETS WHERE "
                              "coalesce(ChaineCaisse, '1') = ? AND Chainage IS NOT NULL ORDER BY "
                              "Chainage DESC LIMIT 1"));
    if (Resultat<> r = p.executer({caisse}); !r)
        return r.echec();
    Maillon m;
    if (p.requete().next()) {
        m.chainage = p.requete().value(0).toLongLong();
        m.signature = p.requete().value(1).toString().toLatin1();
        m.date = textefiscal::dateStockee(p.requete().value(2).toString());
    }
    return m;
}

namespace {
QString genreStocke(textefiscal::Genre g) {
    return g == textefiscal::Genre::Vente ? QStringLiteral("VENTE") : QStringLiteral("ANNULATION");
}
} // namespace

Resultat<QByteArray> clore(const Database& bdd, const CleFiscale& cle, const Fermeture& f,
                           const QList<LigneTicket>& lignes) {
    Transaction t(bdd);
    if (!t.debut())
        return t.debut().echec();
    Maillon avant;
    const Resultat<QByteArray> signature = cloreDans(bdd, cle, f, lignes, &avant);
    if (!signature)
        return signature;
    if (Resultat<> r = t.valider(); !r)
        return r.echec();
    const QString date = horodatage(f.quand);
    if (avant.date.isValid() && textefiscal::dateStockee(date) < avant.date)
        consigner(evenements::consigner(bdd, cle, evenements::horlogeEnArriere(),
                                        QStringLiteral("ticket n° %1 clos à %2, ticket précédent "
                                                       "clos à %3")
                                            .arg(f.numero)
                                            .arg(date, horodatage(avant.date)),
                                        f.quand),
                  QStringLiteral("horloge reculée dans le journal des événements"));
    return *signature;
}

Resultat<QByteArray> cloreDans(const Database& bdd, const CleFiscale& cle, const Fermeture& f,
                               const QList<LigneTicket>& lignes, Maillon* precedent) {
    if (Resultat<> r = bdd.reserverRegistres(); !r)
        return r.echec();
    const Resultat<Maillon> avant = dernier(bdd, f.caisse);
    if (!avant)
        return avant.echec();
    if (precedent)
        *precedent = *avant;
    // The text is made from the date as it is stored, to the second, as the verifier reads it.
    const QString date = horodatage(f.quand);
    const QByteArray texte =
        textefiscal::texte(figures(f.numero, f.caisse, f.genre, textefiscal::dateStockee(date),
                                   f.total, lignes, avant->signature));
    const Resultat<QByteArray> signature = cle.signer(texte);
    if (!signature)
        return signature.echec();
    Preparee p(bdd, QStringLiteral(
                        "UPDATE TICKETS SET Date = ?, TotalTTC = ?, TicketClos = 1, "
                        "caisse = ?, vendeur = ?, Genre = ?, TicketAnnule = ?, "
                        "ChaineCaisse = ?, Chainage = ?, Signature = ? WHERE NumeroTicket = ? AND "
                        "TicketClos = 0"));
    if (Resultat<> r =
            p.executer({date, f.total.versBase(), f.caisse, f.vendeur, genreStocke(f.genre),
                        f.annule ? QVariant(f.annule) : QVariant(QMetaType::fromType<qint64>()),
                        f.caisse, avant->chainage + 1, QString::fromLatin1(*signature), f.numero});
        !r)
        return r.echec();
    if (p.requete().numRowsAffected() != 1)
        return echec(QStringLiteral("le ticket n° %1 n'est pas ouvert").arg(f.numero));
    return *signature;
}

Resultat<qint64> sceller(const Database& bdd, const CleFiscale& cle) {
    Transaction t(bdd);
    if (!t.debut())
        return t.debut().echec();
    if (Resultat<> r = bdd.reserverRegistres(); !r)
        return r.echec();
    {
        QSqlQuery q(bdd.connexion());
        if (Resultat<> r = executer(q, QStringLiteral("SELECT 1 FROM TICKETS WHERE Chainage IS NOT "
                                                      "NULL LIMIT 1"));
            !r)
            return r.echec();
        if (q.next())
            return qint64(0);
        if (q.lastError().isValid())
            return echec(raisonSql(q.lastError()));
    }
    // The tickets first, then their lines in one pass: the rows are signed after both reads.
    struct ASceller {
        qint64 numero;
        QString date;
        Montant total;
        textefiscal::Genre genre;
    };
    QList<ASceller> aSceller;
    {
        QSqlQuery q(bdd.connexion());
        q.setForwardOnly(true);
        if (Resultat<> r =
                executer(q, QStringLiteral("SELECT NumeroTicket, Date, TotalTTC, Genre FROM "
                                           "TICKETS WHERE TicketClos <> 0 AND Signature IS "
                                           "NULL ORDER BY NumeroTicket"));
            !r)
            return r.echec();
        while (q.next())
            aSceller << ASceller{q.value(0).toLongLong(), q.value(1).toString(),
                                 Montant::depuisVariant(q.value(2)),
                                 q.value(3).toString() == QStringLiteral("ANNULATION")
                                     ? textefiscal::Genre::Annulation
                                     : textefiscal::Genre::Vente};
        if (q.lastError().isValid())
            return echec(raisonSql(q.lastError()));
    }
    QSqlQuery lignes(bdd.connexion());
    lignes.setForwardOnly(true);
    if (Resultat<> r =
            executer(lignes, QStringLiteral("SELECT V.NumeroTicket, V.CodeArticle, "
                                            "V.PrixVenteTTC, V.TVA, V.qt, V.TauxTVA FROM "
                                            "VENTES V JOIN TICKETS T ON T.NumeroTicket = "
                                            "V.NumeroTicket WHERE T.TicketClos <> 0 AND "
                                            "T.Signature IS NULL ORDER BY V.NumeroTicket, "
                                            "V.Id"));
        !r)
        return r.echec();
    QList<QList<LigneTicket>> lignesDe(aSceller.size());
    qsizetype i = 0;
    while (lignes.next()) {
        const qint64 numero = lignes.value(0).toLongLong();
        while (i < aSceller.size() && aSceller[i].numero < numero)
            ++i;
        if (i == aSceller.size())
            break;
        if (aSceller[i].numero != numero)
            continue;
        lignesDe[i] << ligneVente(lignes, 1);
    }
    if (lignes.lastError().isValid())
        return echec(raisonSql(lignes.lastError()));
    lignes.finish();
    qint64 scelles = 0;
    // They were closed before any till had a chain of its own: the first till's chain holds them.
    Maillon maillon;
    for (qsizetype k = 0; k < aSceller.size(); ++k) {
        const ASceller& a = aSceller[k];
        const QByteArray texte = textefiscal::texte(
            figures(a.numero, QStringLiteral("1"), a.genre, textefiscal::dateStockee(a.date),
                    a.total, lignesDe[k], maillon.signature));
        const Resultat<QByteArray> signature = cle.signer(texte);
        if (!signature)
            return signature.echec();
        Preparee p(bdd, QStringLiteral("UPDATE TICKETS SET Genre = ?, Chainage = ?, Signature = ? "
                                       "WHERE NumeroTicket = ?"));
        if (Resultat<> r = p.executer({genreStocke(a.genre), maillon.chainage + 1,
                                       QString::fromLatin1(*signature), a.numero});
            !r)
            return r.echec();
        maillon.chainage += 1;
        maillon.signature = *signature;
        ++scelles;
    }
    if (Resultat<> r = t.valider(); !r)
        return r.echec();
    return scelles;
}

QString extrait(const QByteArray& signature) {
    return QString::fromLatin1(signature.left(12));
}

} // namespace signatureticket
