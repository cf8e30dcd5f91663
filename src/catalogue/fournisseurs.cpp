#include "catalogue/fournisseurs.h"

#include "database/database.h"

#include <QSqlError>
#include <QSqlQuery>

namespace fournisseurs {

namespace {
// A column name of the table inside a statement.
QString identifiant(const QString& nom) {
    return u'"' + QString(nom).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The columns of FOURNISSEURS as the database holds them now. The first statement reads the
// table, which makes the connection notice a change of its columns made from outside.
Resultat<QStringList> colonnes(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, QStringLiteral("SELECT 1 FROM FOURNISSEURS LIMIT 1")); !r)
        return r.echec();
    q.finish();
    const Resultat<QList<ColonneTable>> lues = colonnesTable(bdd, QStringLiteral("FOURNISSEURS"));
    if (!lues)
        return lues.echec();
    QStringList noms;
    for (const ColonneTable& c : *lues)
        noms << c.nom;
    if (noms.isEmpty())
        return echec(QStringLiteral("la table FOURNISSEURS est absente de la base de données"));
    return noms;
}
} // namespace

Resultat<QList<Entree>> liste(const Database& bdd) {
    const Resultat<QStringList> noms = colonnes(bdd);
    if (!noms)
        return noms.echec();
    auto colonne = [&](const char* nom) {
        for (const QString& c : *noms)
            if (c.compare(QLatin1String(nom), Qt::CaseInsensitive) == 0)
                return identifiant(c);
        return QStringLiteral("NULL");
    };
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, QStringLiteral("SELECT %1, %2 FROM FOURNISSEURS")
                                       .arg(colonne("codefournisseur"), colonne("nom")));
        !r)
        return r.echec();
    QList<Entree> entrees;
    while (q.next())
        entrees.append({q.value(0), q.value(1)});
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return entrees;
}

Resultat<Fiche> fiche(const Database& bdd, const std::optional<QVariant>& code) {
    const Resultat<QStringList> noms = colonnes(bdd);
    if (!noms)
        return noms.echec();
    if (!code)
        return Fiche{*noms, std::nullopt};
    QStringList selection;
    for (const QString& c : *noms)
        selection << identifiant(c);
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    // "IS" compares exactly: a Null code, a number or a text, each only with itself.
    if (Resultat<> r = executer(q,
                                QStringLiteral("SELECT %1 FROM FOURNISSEURS WHERE codefournisseur "
                                               "IS ? LIMIT 1")
                                    .arg(selection.join(QStringLiteral(", "))),
                                {*code});
        !r)
        return r.echec();
    Fiche f{*noms, std::nullopt};
    if (q.next()) {
        QVariantList valeurs;
        for (int i = 0; i < noms->size(); ++i)
            valeurs << q.value(i);
        f.valeurs = valeurs;
    } else if (q.lastError().isValid()) {
        return echec(raisonSql(q.lastError()));
    }
    return f;
}

} // namespace fournisseurs
