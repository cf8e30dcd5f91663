#include "stock/cloture.h"

#include "common/formats.h"
#include "database/database.h"
#include "frame/installation.h"
#include "platform/fichiers.h"
#include "stock/recomptage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>
#include <sqlite3.h>
#include <tuple>

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

namespace {
// The copy is made and checked under a hidden name, which the closures list does not show.
const QString kProvisoire = QStringLiteral(".cloture-en-cours");
// Names tried for one minute: the closure's own, then "_2", "_3"...
constexpr int kSuffixesEssayes = 1000;

QString nomAvecSuffixe(const QDateTime& quand, int rang, const QString& extension) {
    return nomCloture(quand) + (rang <= 1 ? QString() : u'_' + QString::number(rang)) + extension;
}

// Gives the checked copy the first closure name of that minute that is free. A name that
// exists, whatever it holds, is never replaced: the rename refuses to overwrite.
Resultat<QString> nommer(const QString& provisoire, const QString& rep, const QDateTime& quand,
                         const QString& extension) {
    for (int rang = 1; rang <= kSuffixesEssayes; ++rang) {
        const QString chemin = rep + u'/' + nomAvecSuffixe(quand, rang, extension);
        if (QFileInfo::exists(chemin) || QFileInfo(chemin).isSymLink())
            continue;
        if (QFile::rename(provisoire, chemin))
            return chemin;
        if (!QFileInfo::exists(chemin))
            break; // not a name taken meanwhile: the folder refuses the file
    }
    QFile::remove(provisoire);
    return echec(QStringLiteral("la copie ne peut pas être enregistrée dans %1 sous un nom libre")
                     .arg(QDir::toNativeSeparators(rep)));
}
} // namespace

Resultat<QString> copier(const Database& bdd, const Installation& installation,
                         const QDateTime& quand) {
    const QString rep = dossier(installation);
    if (Resultat<> r = creerDossier(rep); !r)
        return r.echec();
    const Resultat<qint64> attendus = nombreArticles(bdd);
    if (!attendus)
        return echec(
            QStringLiteral("la base de données ne peut pas être lue (%1)").arg(attendus.raison()));
    // A shop on a server is copied by the server's own tool, into its archive format.
    const bool serveur = bdd.moteur() == Database::Moteur::PostgreSQL;
    const QString extension = serveur ? QStringLiteral(".dump") : Installation::extensionBase();
    const QString provisoire = rep + u'/' + kProvisoire + extension;
    if (Resultat<> r = serveur ? Database::copierServeur(bdd.chemin(), provisoire)
                               : bdd.copierVers(provisoire);
        !r)
        return echec(QStringLiteral("la copie %1 n'a pas pu être écrite (%2)")
                         .arg(QDir::toNativeSeparators(rep + u'/' + nomCloture(quand) + extension),
                              r.raison()));
    const Resultat<qint64> copies =
        serveur ? Database::articlesDeLArchive(provisoire) : articlesDuFichier(provisoire);
    if (!copies || *copies != *attendus) {
        QFile::remove(provisoire);
        if (!copies)
            return echec(
                QStringLiteral("la copie ne peut pas être relue (%1)").arg(copies.raison()));
        return echec(QStringLiteral("la copie contient %1 articles au lieu de %2")
                         .arg(*copies)
                         .arg(*attendus));
    }
    return nommer(provisoire, rep, quand, extension);
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

std::optional<QDateTime> dateDuNom(const QString& nom) {
    static const QRegularExpression forme(QStringLiteral(
        "^(\\d{2})(\\d{1,3})_(\\d{2})_(\\d{2})_(\\d{2})_(\\d{2})(?:_\\d+)?\\.[^.]+$"));
    const QRegularExpressionMatch m = forme.match(nom);
    if (!m.hasMatch())
        return std::nullopt;
    auto n = [&m](int i) { return m.captured(i).toInt(); };
    const QDate jour(2000 + n(1), n(3), n(4));
    const QTime heure(n(5), n(6));
    if (!jour.isValid() || !heure.isValid() || jour.dayOfYear() != n(2))
        return std::nullopt;
    return QDateTime(jour, heure);
}

QStringList lister(const Installation& installation) {
    struct Entree {
        QDateTime date;
        int rang; // the suffix of a second closure in the same minute
        QString nom;
    };
    QList<Entree> entrees;
    const QFileInfoList fichiers =
        QDir(dossier(installation)).entryInfoList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& f : fichiers) {
        const std::optional<QDateTime> date = dateDuNom(f.fileName());
        const QString base = f.completeBaseName();
        const int rang = date && base.count(u'_') == 5 ? base.section(u'_', 5).toInt() : 1;
        entrees.append({date.value_or(f.lastModified()), rang, f.fileName()});
    }
    std::sort(entrees.begin(), entrees.end(), [](const Entree& a, const Entree& b) {
        return std::tie(a.date, a.rang, a.nom) < std::tie(b.date, b.rang, b.nom);
    });
    QStringList noms;
    for (const Entree& e : entrees)
        noms << e.nom;
    return noms;
}

} // namespace cloture
