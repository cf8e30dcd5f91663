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

Resultat<QString> verifierTickets(const Database& bdd, const ClePublique& cle, Bilan& bilan) {
    ChaineTickets chaine(cle);
    {
        QSqlQuery q(bdd.connexion());
        q.setForwardOnly(true);
        if (Resultat<> r = executer(q, QStringLiteral("SELECT NumeroTicket, Genre, Date, TotalTTC, "
                                                      "Chainage, Signature FROM TICKETS WHERE "
                                                      "TicketClos <> 0 ORDER BY NumeroTicket"));
            !r)
            return r.echec();
        while (q.next())
            chaine.ajouter(
                ChaineTickets::Ticket{q.value(0).toLongLong(), q.value(1).toString(),
                                      q.value(2).toString(), Montant::depuisVariant(q.value(3)),
                                      q.value(4).toLongLong(), q.value(5).toString().toLatin1()});
        if (q.lastError().isValid())
            return echec(raisonSql(q.lastError()));
    }
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, QStringLiteral("SELECT V.NumeroTicket, V.CodeArticle, "
                                                  "V.PrixVenteTTC, V.TVA, V.qt, V.TauxTVA FROM "
                                                  "VENTES V JOIN TICKETS T ON T.NumeroTicket = "
                                                  "V.NumeroTicket WHERE T.TicketClos <> 0 ORDER "
                                                  "BY V.NumeroTicket, V.Id"));
        !r)
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

Resultat<QString> verifierEvenements(const Database& bdd, const ClePublique& cle, Bilan& bilan) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, QStringLiteral("SELECT Numero, Date, Genre, Detail, Signature "
                                                  "FROM EVENEMENTS ORDER BY Numero"));
        !r)
        return r.echec();
    QByteArray precedente;
    qint64 attendu = 1;
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

Resultat<QString> verifierClotures(const Database& bdd, const ClePublique& cle, Bilan& bilan) {
    struct Lue {
        qint64 numero;
        QByteArray texte;
        QByteArray signature;
    };
    QList<Lue> lues;
    {
        QSqlQuery q(bdd.connexion());
        q.setForwardOnly(true);
        if (Resultat<> r = executer(q, QStringLiteral("SELECT Numero, Texte, Signature FROM "
                                                      "CLOTURES ORDER BY Numero"));
            !r)
            return r.echec();
        while (q.next())
            lues << Lue{q.value(0).toLongLong(), q.value(1).toString().toUtf8(),
                        q.value(2).toString().toLatin1()};
        if (q.lastError().isValid())
            return echec(raisonSql(q.lastError()));
    }
    qint64 attendu = 1;
    QByteArray precedente = textefiscal::premiereSignature();
    clotures::Recalcul recalcul(bdd);
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
