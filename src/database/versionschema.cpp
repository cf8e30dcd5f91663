#include "database/versionschema.h"

#include "database/creation.h"
#include "database/database.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <algorithm>

namespace versionschema {
namespace {
Resultat<bool> aLaColonne(const Database& bdd, const QString& table, const QString& colonne) {
    const Resultat<QList<ColonneTable>> colonnes = colonnesTable(bdd, table);
    if (!colonnes)
        return colonnes.echec();
    return std::any_of(colonnes->cbegin(), colonnes->cend(), [&](const ColonneTable& c) {
        return c.nom.compare(colonne, Qt::CaseInsensitive) == 0;
    });
}

// A column added unless the table already has it (a shop whose file was changed by hand).
Resultat<> ajouterColonne(const Database& bdd, const QString& table, const QString& colonne,
                          const QString& declaration) {
    const Resultat<bool> deja = aLaColonne(bdd, table, colonne);
    if (!deja)
        return deja.echec();
    if (*deja)
        return {};
    // (a script: a server does not prepare a change of the tables)
    return executerScript(bdd, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                   .arg(table, colonne, declaration)
                                   .toUtf8());
}

// Version 1: each ticket line keeps the VAT rate it was sold at, so that a day's sales add up
// per rate (a line's VAT amount alone cannot tell its rate on small amounts).
Resultat<> versionUn(const Database& bdd) {
    return ajouterColonne(bdd, QStringLiteral("VENTES"), QStringLiteral("TauxTVA"),
                          QStringLiteral("DOUBLE"));
}
// Version 2: the fiscal records. Tickets are signed in one chain when they close, closures and
// technical events get their tables, and triggers keep what is closed as it was closed.
Resultat<> versionDeux(const Database& bdd) {
    const QString tickets = QStringLiteral("TICKETS");
    for (const auto& [colonne, declaration] :
         {std::pair{QStringLiteral("Genre"), QStringLiteral("TEXT")},
          std::pair{QStringLiteral("TicketAnnule"), QStringLiteral("INTEGER")},
          std::pair{QStringLiteral("Chainage"), QStringLiteral("INTEGER")},
          std::pair{QStringLiteral("Signature"), QStringLiteral("TEXT")},
          // (version 4's column, which the fiscal script's index reads)
          std::pair{QStringLiteral("ChaineCaisse"), QStringLiteral("TEXT")}})
        if (Resultat<> r = ajouterColonne(bdd, tickets, colonne, declaration); !r)
            return r;
    const QByteArray script = creation::scriptFiscal();
    if (script.isEmpty())
        return echec(QStringLiteral("le schéma des enregistrements fiscaux est introuvable dans "
                                    "le programme"));
    return executerScript(bdd, script);
}
// Version 3: the suppliers' names that the article form offers are read through an index: at
// each start on a shop of a hundred thousand articles, a tenth of a second less.
Resultat<> versionTrois(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    return executer(q, QStringLiteral("CREATE INDEX IF NOT EXISTS ARTICLES_fournisseur ON "
                                      "ARTICLES (fournisseur)"));
}
// Version 4: each till signs its tickets in a chain of its own and closes its own days (tills
// sharing a shop on a server). The ticket and the closure name the till whose chain they are in;
// the place is unique per till. Everything signed before, whatever till closed it, stays the
// first till's chain as it was signed.
Resultat<> versionQuatre(const Database& bdd) {
    for (const QString& table : {QStringLiteral("TICKETS"), QStringLiteral("CLOTURES")})
        if (Resultat<> r =
                ajouterColonne(bdd, table, QStringLiteral("ChaineCaisse"), QStringLiteral("TEXT"));
            !r)
            return r;
    return executerScript(bdd, "DROP INDEX IF EXISTS TICKETS_chaine;\n"
                               "CREATE UNIQUE INDEX IF NOT EXISTS TICKETS_chaine_caisse ON TICKETS "
                               "((coalesce(ChaineCaisse, '1')), Chainage) WHERE Chainage IS NOT "
                               "NULL;");
}
} // namespace

Resultat<int> lire(const Database& bdd) {
    QSqlQuery q(bdd.connexion());
    // A server keeps it in a table of its own (a shop made there starts at this version).
    const QString sql = bdd.moteur() == Database::Moteur::PostgreSQL
                            ? QStringLiteral("SELECT max(numero) FROM VERSION_SCHEMA")
                            : QStringLiteral("PRAGMA user_version");
    if (Resultat<> r = executer(q, sql); !r)
        return r.echec();
    if (!q.next())
        return echec(QStringLiteral("la version de la base de données est illisible"));
    return q.value(0).toInt();
}

Resultat<> mettreANiveau(const Database& bdd) {
    const Resultat<int> version = lire(bdd);
    if (!version)
        return version.echec();
    if (*version > kActuelle)
        return echec(QStringLiteral("la base de données %1 a été faite par une version plus "
                                    "récente du programme (schéma n° %2, ce programme connaît "
                                    "le n° %3) : elle n'est pas ouverte, pour ne pas l'abîmer. "
                                    "Installez la dernière version du programme")
                         .arg(bdd.chemin())
                         .arg(*version)
                         .arg(kActuelle));
    if (*version == kActuelle)
        return {};
    Transaction t(bdd);
    if (!t.debut())
        return t.debut();
    if (bdd.moteur() == Database::Moteur::PostgreSQL) {
        // A server's shop was made at version 3 at the earliest.
        if (*version < 3)
            return echec(QStringLiteral("la base %1 du serveur est au schéma n° %2, que ce "
                                        "programme ne sait pas mettre à niveau")
                             .arg(bdd.chemin())
                             .arg(*version));
        if (Resultat<> r = versionQuatre(bdd); !r)
            return r;
        QSqlQuery q(bdd.connexion());
        if (Resultat<> r =
                executer(q, QStringLiteral("INSERT INTO VERSION_SCHEMA VALUES (?)"), {kActuelle});
            !r)
            return r;
        return t.valider();
    }
    if (*version < 1)
        if (Resultat<> r = versionUn(bdd); !r)
            return r;
    if (*version < 2)
        if (Resultat<> r = versionDeux(bdd); !r)
            return r;
    if (*version < 3)
        if (Resultat<> r = versionTrois(bdd); !r)
            return r;
    if (*version < 4)
        if (Resultat<> r = versionQuatre(bdd); !r)
            return r;
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r = executer(q, QStringLiteral("PRAGMA user_version = %1").arg(kActuelle)); !r)
        return r;
    return t.valider();
}

} // namespace versionschema
