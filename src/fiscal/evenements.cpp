#include "fiscal/evenements.h"

#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "fiscal/textefiscal.h"

#include <QSqlQuery>
#include <QVariant>

namespace evenements {

Resultat<qint64> consigner(const Database& bdd, const CleFiscale& cle, const QString& genre,
                           const QString& detail, const QDateTime& quand) {
    Transaction t(bdd);
    if (!t.debut())
        return t.debut().echec();
    const Resultat<qint64> numero = consignerDans(bdd, cle, genre, detail, quand);
    if (!numero)
        return numero;
    if (Resultat<> r = t.valider(); !r)
        return r.echec();
    return numero;
}

Resultat<qint64> consignerDans(const Database& bdd, const CleFiscale& cle, const QString& genre,
                               const QString& detail, const QDateTime& quand) {
    if (Resultat<> r = bdd.reserverRegistres(); !r)
        return r.echec();
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r = executer(q, QStringLiteral("SELECT Numero, Signature FROM EVENEMENTS "
                                                  "ORDER BY Numero DESC LIMIT 1"));
        !r)
        return r.echec();
    textefiscal::Evenement e;
    e.numero = 1;
    if (q.next()) {
        e.numero = q.value(0).toLongLong() + 1;
        e.precedente = q.value(1).toString().toLatin1();
    }
    q.finish();
    const QString date = quand.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    e.quand = textefiscal::dateStockee(date);
    e.genre = genre;
    e.detail = detail;
    const Resultat<QByteArray> signature = cle.signer(textefiscal::texte(e));
    if (!signature)
        return signature.echec();
    if (Resultat<> r =
            executer(q,
                     QStringLiteral("INSERT INTO EVENEMENTS (Numero, Date, Genre, "
                                    "Detail, Signature) VALUES (?, ?, ?, ?, ?)"),
                     {e.numero, date, genre, detail.isNull() ? QStringLiteral("") : detail,
                      QString::fromLatin1(*signature)});
        !r)
        return r.echec();
    return e.numero;
}

Resultat<QDateTime> derniereDate(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r = executer(
            q, QStringLiteral("SELECT max(d) FROM (SELECT max(Date) AS d FROM TICKETS WHERE "
                              "Signature IS NOT NULL UNION ALL SELECT max(Date) FROM CLOTURES "
                              "UNION ALL SELECT max(Date) FROM EVENEMENTS) AS dates"));
        !r)
        return r.echec();
    if (!q.next() || q.value(0).isNull())
        return QDateTime();
    return textefiscal::dateStockee(q.value(0).toString());
}

} // namespace evenements
