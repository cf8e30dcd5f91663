#include "stock/cloture.h"

#include "common/formats.h"
#include "database/database.h"
#include "frame/installation.h"
#include "platform/fichiers.h"
#include "stock/recomptage.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <sqlite3.h>

namespace cloture {

QString dossier(const Installation& installation) {
    return installation.chemin(QStringLiteral("SAUVEANNUELS"));
}

QString nomFichier(const QDateTime& quand) {
    return nomCloture(quand) + Installation::extensionBase();
}

Resultat<qint64> articlesDuFichier(const QString& chemin) {
    sqlite3* base = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(chemin).constData(), &base, SQLITE_OPEN_READONLY,
                             nullptr);
    sqlite3_stmt* requete = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(base, "SELECT count(*) FROM ARTICLES", -1, &requete, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(requete);
    Resultat<qint64> nombre =
        rc == SQLITE_ROW
            ? Resultat<qint64>(sqlite3_column_int64(requete, 0))
            : Resultat<qint64>(echec(raisonSqlite(
                  base ? sqlite3_extended_errcode(base) : rc,
                  QString::fromUtf8(base ? sqlite3_errmsg(base) : sqlite3_errstr(rc)))));
    sqlite3_finalize(requete);
    sqlite3_close(base);
    return nombre;
}

Resultat<QString> copier(const Database& bdd, const Installation& installation,
                         const QDateTime& quand) {
    const QString rep = dossier(installation);
    if (Resultat<> r = creerDossier(rep); !r)
        return r.echec();
    const Resultat<qint64> attendus = nombreArticles(bdd);
    if (!attendus)
        return echec(
            QStringLiteral("la base de données ne peut pas être lue (%1)").arg(attendus.raison()));
    const QString chemin = rep + u'/' + nomFichier(quand);
    if (Resultat<> r = bdd.copierVers(chemin); !r)
        return echec(
            QStringLiteral("la copie %1 n'a pas pu être écrite (%2)").arg(chemin, r.raison()));
    const Resultat<qint64> copies = articlesDuFichier(chemin);
    if (!copies || *copies != *attendus) {
        QFile::remove(chemin);
        if (!copies)
            return echec(QStringLiteral("la copie %1 ne peut pas être relue (%2)")
                             .arg(chemin, copies.raison()));
        return echec(QStringLiteral("la copie %1 contient %2 articles au lieu de %3")
                         .arg(chemin)
                         .arg(*copies)
                         .arg(*attendus));
    }
    return chemin;
}

Resultat<> remettreStockAZero(const Database& bdd) {
    Transaction t(bdd);
    if (!t.debut())
        return t.debut();
    QSqlQuery q(bdd.connexion());
    if (Resultat<> r = executer(q, QStringLiteral("UPDATE ARTICLES SET EnStock = 0")); !r)
        return r;
    return t.valider();
}

QStringList lister(const Installation& installation) {
    return QDir(dossier(installation))
        .entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

} // namespace cloture
