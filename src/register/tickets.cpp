#include "register/tickets.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "database/database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

Reglage reglageCaisse() {
    return {QStringLiteral("systeme"), QStringLiteral("Caisse"), QStringLiteral("1")};
}

QString numeroCaisse(const Reglages& reglages) {
    const QString lu = reglages.lire(reglageCaisse()).trimmed();
    bool ok = false;
    const int n = lu.toInt(&ok);
    if (ok && n >= 1 && n <= 99)
        return QString::number(n);
    consigner(Resultat<>(echec(QStringLiteral("le réglage Caisse « %1 » n'est pas un numéro de 1 "
                                              "à 99 : cette caisse prend le numéro 1")
                                   .arg(lu.left(40)))),
              QStringLiteral("numéro de la caisse"));
    return QStringLiteral("1");
}

Resultat<std::optional<qint64>> Tickets::ouvertLePlusHaut(const QString& caisse) const {
    QSqlQuery q(bdd_.connexion());
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT max(NumeroTicket) FROM TICKETS WHERE "
                                               "TicketClos = 0 AND coalesce(caisse, '1') = ?"),
                                {caisse});
        !r)
        return r.echec();
    if (!q.next() || q.value(0).isNull())
        return std::optional<qint64>();
    return std::optional<qint64>(q.value(0).toLongLong());
}

Resultat<qint64> Tickets::creer(const QString& caisse, int vendeur) {
    Transaction t(bdd_);
    if (!t.debut())
        return t.debut().echec();
    QSqlQuery q(bdd_.connexion());
    if (Resultat<> r =
            executer(q, QStringLiteral("INSERT INTO TICKETS (caisse, vendeur) VALUES (?, ?)"),
                     {caisse, vendeur});
        !r)
        return r.echec();
    const QVariant numero = q.lastInsertId();
    if (!numero.isValid())
        return echec(QStringLiteral("le nouveau ticket n'a pas reçu de numéro"));
    if (Resultat<> r = t.valider(); !r)
        return r.echec();
    return numero.toLongLong();
}

Resultat<QList<LigneTicket>> Tickets::lignes(qint64 numero, qint64 apres) const {
    // One row per line: an article code shared by several rows shows the first of them.
    Preparee p(bdd_,
               QStringLiteral(
                   "SELECT V.Id, V.CodeArticle, V.PrixVenteTTC, V.TVA, V.qt, A.libelle, "
                   "A.taille, A.couleur, V.TauxTVA FROM VENTES V LEFT JOIN ARTICLES A ON A.rowid = "
                   "(SELECT min(rowid) FROM ARTICLES WHERE CodeArticle = V.CodeArticle) "
                   "WHERE V.NumeroTicket = ? AND V.Id > ? ORDER BY V.Id"));
    if (Resultat<> r = p.executer({numero, apres}); !r)
        return r.echec();
    QSqlQuery& q = p.requete();
    QList<LigneTicket> resultat;
    while (q.next()) {
        LigneTicket l;
        l.id = q.value(0).toLongLong();
        l.codeArticle = q.value(1).toString();
        l.prix = Montant::depuisVariant(q.value(2));
        l.tva = Montant::depuisVariant(q.value(3));
        l.qt = Quantite::depuisVariant(q.value(4));
        l.libelle = q.value(5);
        l.taille = q.value(6);
        l.couleur = q.value(7);
        if (const QVariant taux = q.value(8); !taux.isNull())
            l.taux = taux.toDouble();
        resultat.append(l);
    }
    // A row that cannot be read ends the walk: the lines would be incomplete.
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return resultat;
}

LigneTicket ligneVente(const QSqlQuery& q, int premiere) {
    LigneTicket l;
    l.codeArticle = q.value(premiere).toString();
    l.prix = Montant::depuisVariant(q.value(premiere + 1));
    l.tva = Montant::depuisVariant(q.value(premiere + 2));
    l.qt = Quantite::depuisVariant(q.value(premiere + 3));
    if (const QVariant taux = q.value(premiere + 4); !taux.isNull())
        l.taux = taux.toDouble();
    return l;
}
