#include "stock/cloture.h"

#include "common/formats.h"
#include "database/database.h"
#include "frame/installation.h"
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

std::optional<qint64> articlesDuFichier(const QString& chemin, QString* erreur) {
    sqlite3* base = nullptr;
    std::optional<qint64> nombre;
    int rc = sqlite3_open_v2(QFile::encodeName(chemin).constData(), &base, SQLITE_OPEN_READONLY,
                             nullptr);
    sqlite3_stmt* requete = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(base, "SELECT count(*) FROM ARTICLES", -1, &requete, nullptr);
    if (rc == SQLITE_OK && sqlite3_step(requete) == SQLITE_ROW)
        nombre = sqlite3_column_int64(requete, 0);
    else if (erreur)
        *erreur = QString::fromUtf8(base ? sqlite3_errmsg(base) : sqlite3_errstr(rc));
    sqlite3_finalize(requete);
    sqlite3_close(base);
    return nombre;
}

std::optional<QString> copier(const Database& bdd, const Installation& installation,
                              const QDateTime& quand, QString* erreur) {
    auto echec = [&](const QString& raison) -> std::optional<QString> {
        if (erreur)
            *erreur = raison;
        return std::nullopt;
    };
    const QString rep = dossier(installation);
    if (!QDir().mkpath(rep))
        return echec(QStringLiteral("le dossier %1 ne peut pas être créé").arg(rep));
    QString raison;
    const std::optional<qint64> attendus = nombreArticles(bdd, &raison);
    if (!attendus)
        return echec(QStringLiteral("la base de données ne peut pas être lue (%1)").arg(raison));
    const QString chemin = rep + u'/' + nomFichier(quand);
    if (!bdd.copierVers(chemin, &raison))
        return echec(QStringLiteral("la copie %1 n'a pas pu être écrite (%2)").arg(chemin, raison));
    const std::optional<qint64> copies = articlesDuFichier(chemin, &raison);
    if (copies != attendus) {
        QFile::remove(chemin);
        if (!copies)
            return echec(
                QStringLiteral("la copie %1 ne peut pas être relue (%2)").arg(chemin, raison));
        return echec(QStringLiteral("la copie %1 contient %2 articles au lieu de %3")
                         .arg(chemin)
                         .arg(*copies)
                         .arg(*attendus));
    }
    return chemin;
}

bool remettreStockAZero(const Database& bdd, QString* erreur) {
    Transaction t(bdd);
    if (!t.active()) {
        if (erreur)
            *erreur = QStringLiteral("la base de données n'est pas ouverte");
        return false;
    }
    QSqlQuery q(bdd.connexion());
    if (!executer(q, QStringLiteral("UPDATE ARTICLES SET EnStock = 0"), {}, erreur))
        return false;
    if (!t.valider()) {
        if (erreur)
            *erreur = QStringLiteral("l'enregistrement de la remise à zéro a échoué");
        return false;
    }
    return true;
}

QStringList lister(const Installation& installation) {
    return QDir(dossier(installation))
        .entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

} // namespace cloture
