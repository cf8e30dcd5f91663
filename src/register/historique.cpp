#include "register/historique.h"

#include "catalogue/lecturesaisie.h"
#include "common/formats.h"
#include "database/database.h"
#include "fiscal/evenements.h"
#include "register/signatureticket.h"
#include "register/tickets.h"
#include "register/ventes.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace historique {

namespace {
constexpr qsizetype kLongueurMaximum = 40;

textefiscal::Genre genreLu(const QVariant& v) {
    return v.toString() == QStringLiteral("ANNULATION") ? textefiscal::Genre::Annulation
                                                        : textefiscal::Genre::Vente;
}

const QString kColonnes =
    QStringLiteral("SELECT NumeroTicket, Date, TotalTTC, Genre, TicketAnnule FROM TICKETS ");

TicketTrouve trouve(const QSqlQuery& q) {
    TicketTrouve t;
    t.numero = q.value(0).toLongLong();
    t.date = textefiscal::dateStockee(q.value(1).toString());
    t.total = Montant::depuisVariant(q.value(2));
    t.genre = genreLu(q.value(3));
    t.annule = q.value(4).toLongLong();
    return t;
}

// The condition on TICKETS that the typed text names, with its values; empty when the text
// names nothing.
struct Critere {
    QString condition;
    QVariantList valeurs;
};
Resultat<Critere> critere(const QString& saisi) {
    const QString texte = saisi.trimmed();
    if (texte.isEmpty())
        return Critere{QStringLiteral("1 = 1"), {}};
    const QString refus =
        QStringLiteral("« %1 » n'est ni un numéro de ticket, ni une date (jj/mm/aaaa), ni un "
                       "montant (12,50).")
            .arg(texte.size() > kLongueurMaximum ? texte.left(kLongueurMaximum) + u'…' : texte);
    if (texte.size() > kLongueurMaximum)
        return echec(refus);
    static const QRegularExpression numero(QStringLiteral("^[0-9]{1,18}$"));
    if (numero.match(texte).hasMatch())
        return Critere{QStringLiteral("NumeroTicket = ?"), {texte.toLongLong()}};
    static const QRegularExpression jour(QStringLiteral("^([0-9]{1,2})/([0-9]{1,2})/([0-9]{4})$"));
    if (const QRegularExpressionMatch m = jour.match(texte); m.hasMatch()) {
        const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
        if (!d.isValid())
            return echec(QStringLiteral("La date « %1 » n'existe pas.").arg(texte));
        // The stored dates are texts that sort as dates: the day is a range, through the index.
        return Critere{QStringLiteral("Date >= ? AND Date < ?"),
                       {horodatage(d.startOfDay()), horodatage(d.addDays(1).startOfDay())}};
    }
    if (const std::optional<Montant> m = lecturesaisie::prix(texte))
        return Critere{QStringLiteral("round(TotalTTC * 10000) = ?"),
                       {qint64(m->arrondi(4).dixMilliemes())}};
    return echec(refus);
}
} // namespace

Resultat<QList<TicketTrouve>> chercher(const Database& bdd, const QString& texte) {
    const Resultat<Critere> c = critere(texte);
    if (!c)
        return c.echec();
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r =
            executer(q,
                     kColonnes + QStringLiteral("WHERE TicketClos <> 0 AND ") + c->condition +
                         QStringLiteral(" ORDER BY Date DESC, NumeroTicket DESC "
                                        "LIMIT %1")
                             .arg(kMaximumTrouves),
                     c->valeurs);
        !r)
        return r.echec();
    QList<TicketTrouve> liste;
    while (q.next())
        liste << trouve(q);
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return liste;
}

Resultat<TicketClos> lire(const Database& bdd, qint64 numero) {
    TicketClos t;
    {
        QSqlQuery q(bdd.connexion());
        if (Resultat<> r = executer(q,
                                    QStringLiteral("SELECT NumeroTicket, Date, TotalTTC, Genre, "
                                                   "TicketAnnule, Signature, (SELECT min(A."
                                                   "NumeroTicket) FROM TICKETS A WHERE "
                                                   "A.TicketAnnule = T.NumeroTicket) FROM "
                                                   "TICKETS T WHERE NumeroTicket = ? AND "
                                                   "TicketClos <> 0"),
                                    {numero});
            !r)
            return r.echec();
        if (!q.next())
            return echec(QStringLiteral("il n'y a pas de ticket terminé n° %1").arg(numero));
        t.entete = trouve(q);
        t.signature = q.value(5).toString().toLatin1();
        t.annulePar = q.value(6).toLongLong();
    }
    Resultat<QList<LigneTicket>> lignes = Tickets(bdd).lignes(numero);
    if (!lignes)
        return lignes.echec();
    t.lignes = *lignes;
    return t;
}

QString detailDuplicata(qint64 numero, int rang) {
    return QStringLiteral("ticket n° %1, duplicata n° %2").arg(numero).arg(rang);
}

qint64 ticketDuDuplicata(const QString& detail) {
    const QString debut = QStringLiteral("ticket n° ");
    const qsizetype virgule = detail.indexOf(u',');
    return detail.startsWith(debut) && virgule > 0
               ? detail.mid(debut.size(), virgule - debut.size()).toLongLong()
               : 0;
}

Resultat<int> consignerDuplicata(const Database& bdd, const CleFiscale& cle, qint64 numero,
                                 const QDateTime& quand) {
    // The comma after the number keeps ticket 46's duplicates apart from ticket 460's.
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r =
            executer(q,
                     QStringLiteral("SELECT count(*) FROM EVENEMENTS WHERE Genre = ? "
                                    "AND substr(Detail, 1, ?) = ?"),
                     {evenements::duplicata(), QStringLiteral("ticket n° %1,").arg(numero).size(),
                      QStringLiteral("ticket n° %1,").arg(numero)});
        !r)
        return r.echec();
    const int rang = q.next() ? q.value(0).toInt() + 1 : 1;
    q.finish();
    if (Resultat<qint64> e = evenements::consigner(bdd, cle, evenements::duplicata(),
                                                   detailDuplicata(numero, rang), quand);
        !e)
        return e.echec();
    return rang;
}

namespace {
// Inside the caller's transaction: the cancelling ticket of `origine`, made, filled and closed.
Resultat<qint64> ecrireAnnulation(const Database& bdd, const CleFiscale& cle,
                                  const TicketClos& origine, const Annulation& a) {
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r =
            executer(q, QStringLiteral("INSERT INTO TICKETS (caisse, vendeur) VALUES (?, ?)"),
                     {a.caisse, a.vendeur});
        !r)
        return r.echec();
    const QVariant nouveau = q.lastInsertId();
    if (!nouveau.isValid())
        return echec(QStringLiteral("le ticket d'annulation n'a pas reçu de numéro"));
    const qint64 numero = nouveau.toLongLong();
    const Ventes ventes(bdd);
    QList<LigneTicket> lignes;
    for (const LigneTicket& l : origine.lignes) {
        LigneTicket n = l;
        n.prix = -l.prix;
        n.tva = -l.tva;
        n.qt = -l.qt;
        if (Resultat<> r = executer(q,
                                    QStringLiteral("INSERT INTO VENTES (NumeroTicket, CodeArticle, "
                                                   "PrixVenteTTC, TVA, qt, TauxTVA) VALUES (?, "
                                                   "?, ?, ?, ?, ?)"),
                                    {numero, n.codeArticle, n.prix.versBase(), n.tva.versBase(),
                                     n.qt.versBase(), n.taux ? QVariant(*n.taux) : QVariant()});
            !r)
            return r.echec();
        // An article's line gives back what the sale took from the stock of the article the
        // till sold (the first of that code); a Null stock stays Null.
        if (!l.libelle.isNull() && !l.qt.estNul()) {
            const Resultat<std::optional<ArticleCaisse>> article = ventes.chercher(l.codeArticle);
            if (!article)
                return article.echec();
            if (*article) {
                if (Resultat<> r = executer(q,
                                            QStringLiteral("UPDATE ARTICLES SET EnStock = "
                                                           "round(EnStock - ?, 3) WHERE rowid = ?"),
                                            {n.qt.versBase(), (*article)->cle});
                    !r)
                    return r.echec();
            }
        }
        lignes << n;
    }
    signatureticket::Fermeture f;
    f.numero = numero;
    f.total = -origine.entete.total;
    f.quand = a.quand;
    f.caisse = a.caisse;
    f.vendeur = a.vendeur;
    f.genre = textefiscal::Genre::Annulation;
    f.annule = origine.entete.numero;
    if (Resultat<QByteArray> s = signatureticket::cloreDans(bdd, cle, f, lignes); !s)
        return s.echec();
    return numero;
}
} // namespace

Resultat<qint64> annuler(const Database& bdd, const CleFiscale& cle, const Annulation& a) {
    qint64 numero = 0;
    {
        Transaction t(bdd);
        if (!t.debut())
            return t.debut().echec();
        // Read inside the transaction: no other cancellation slips in between.
        const Resultat<TicketClos> origine = lire(bdd, a.numero);
        if (!origine)
            return origine.echec();
        if (origine->entete.genre == textefiscal::Genre::Annulation)
            return echec(QStringLiteral("Le ticket n° %1 est lui-même une annulation (du ticket "
                                        "n° %2) : il ne peut pas être annulé.")
                             .arg(a.numero)
                             .arg(origine->entete.annule));
        if (origine->annulePar)
            return echec(QStringLiteral("Le ticket n° %1 est déjà annulé par le ticket n° %2.")
                             .arg(a.numero)
                             .arg(origine->annulePar));
        const Resultat<qint64> ecrit = ecrireAnnulation(bdd, cle, *origine, a);
        if (!ecrit)
            return ecrit.echec();
        if (Resultat<> r = t.valider(); !r)
            return r.echec();
        numero = *ecrit;
    }
    if (Resultat<qint64> e = evenements::consigner(
            bdd, cle, evenements::annulation(),
            QStringLiteral("ticket n° %1 annulé par le ticket n° %2").arg(a.numero).arg(numero),
            a.quand);
        !e)
        return echec(QStringLiteral("Le ticket n° %1 est annulé par le ticket n° %2, mais "
                                    "l'annulation n'a pas pu être consignée au journal des "
                                    "événements (%3).")
                         .arg(a.numero)
                         .arg(numero)
                         .arg(e.raison()));
    return numero;
}

} // namespace historique
