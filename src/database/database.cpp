#include "database/database.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {
QAtomicInt compteur;

sqlite3* poignee(const QSqlDatabase& db) {
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.data());
    return nullptr;
}

// correspond(motif, texte): the shop's wildcard match, used where typed text is a pattern.
void fonctionCorrespond(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    thread_local QString dernierMotif;
    thread_local QRegularExpression expression;
    const QString motif = QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    if (motif != dernierMotif || !expression.isValid() || expression.pattern().isEmpty()) {
        dernierMotif = motif;
        expression = QRegularExpression(motifVersExpression(motif),
                                        QRegularExpression::CaseInsensitiveOption |
                                            QRegularExpression::DotMatchesEverythingOption);
    }
    const QString texte = QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_value_text(argv[1])), sqlite3_value_bytes(argv[1]));
    sqlite3_result_int(ctx, expression.match(texte).hasMatch() ? 1 : 0);
}

bool copier(sqlite3* source, const QString& destination, QString* erreur) {
    const QString provisoire = destination + QStringLiteral(".partiel");
    QFile::remove(provisoire);
    sqlite3* cible = nullptr;
    auto echec = [&](const QString& raison) {
        if (erreur)
            *erreur = raison;
        if (cible)
            sqlite3_close(cible);
        QFile::remove(provisoire);
        return false;
    };
    if (sqlite3_open_v2(QFile::encodeName(provisoire).constData(), &cible,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return echec(QString::fromUtf8(sqlite3_errmsg(cible)));
    sqlite3_backup* copie = sqlite3_backup_init(cible, "main", source, "main");
    if (!copie)
        return echec(QString::fromUtf8(sqlite3_errmsg(cible)));
    const int rc = sqlite3_backup_step(copie, -1);
    sqlite3_backup_finish(copie);
    if (rc != SQLITE_DONE)
        return echec(QString::fromUtf8(sqlite3_errstr(rc)));
    // The copy is a plain single file, whatever the journal mode of the source.
    sqlite3_exec(cible, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (sqlite3_close(cible) != SQLITE_OK)
        return echec(QStringLiteral("fermeture de la copie impossible"));
    cible = nullptr;
    QFile::remove(destination);
    if (!QFile::rename(provisoire, destination))
        return echec(QStringLiteral("impossible de remplacer ") + destination);
    return true;
}
} // namespace

Database::Database()
    : nomConnexion_(QStringLiteral("bdd_%1").arg(compteur.fetchAndAddRelaxed(1))) {}

Database::~Database() {
    fermer();
    QSqlDatabase::removeDatabase(nomConnexion_);
}

bool Database::ouvrir(const QString& chemin, QString* erreur) {
    fermer();
    auto echec = [&](const QString& raison) {
        if (erreur)
            *erreur = raison;
        fermer();
        return false;
    };
    const QFileInfo info(chemin);
    if (!info.exists() || !info.isFile())
        return echec(QStringLiteral("la base de données %1 est introuvable").arg(chemin));
    if (info.size() == 0)
        return echec(QStringLiteral("la base de données %1 est vide").arg(chemin));
    QSqlDatabase db = QSqlDatabase::contains(nomConnexion_)
                          ? QSqlDatabase::database(nomConnexion_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nomConnexion_);
    db.setDatabaseName(chemin);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return echec(db.lastError().text());
    chemin_ = chemin;
    QSqlQuery q(db);
    // Reading the schema tells a database from any other file.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return echec(QStringLiteral("%1 n'est pas une base de données : %2")
                         .arg(chemin, q.lastError().text()));
    q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    if (sqlite3* h = poignee(db))
        sqlite3_create_function_v2(h, "correspond", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   fonctionCorrespond, nullptr, nullptr, nullptr);
    return true;
}

void Database::fermer() {
    if (QSqlDatabase::contains(nomConnexion_)) {
        QSqlDatabase db = QSqlDatabase::database(nomConnexion_, false);
        if (db.isOpen())
            db.close();
    }
    chemin_.clear();
}

bool Database::estOuverte() const {
    return QSqlDatabase::contains(nomConnexion_) &&
           QSqlDatabase::database(nomConnexion_, false).isOpen();
}

QSqlDatabase Database::connexion() const {
    if (!QSqlDatabase::contains(nomConnexion_))
        return QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nomConnexion_);
    return QSqlDatabase::database(nomConnexion_, false);
}

bool Database::copierVers(const QString& destination, QString* erreur) const {
    if (!estOuverte())
        return copierFichier(chemin_, destination, erreur);
    sqlite3* h = poignee(connexion());
    if (!h) {
        if (erreur)
            *erreur = QStringLiteral("connexion inutilisable");
        return false;
    }
    return copier(h, destination, erreur);
}

bool Database::copierFichier(const QString& source, const QString& destination, QString* erreur) {
    const QFileInfo info(source);
    if (!info.isFile() || info.size() == 0) {
        if (erreur)
            *erreur = QStringLiteral("le fichier %1 est introuvable ou vide").arg(source);
        return false;
    }
    sqlite3* src = nullptr;
    // Read-write, so that SQLite can roll back a journal that a crash left beside the file.
    int rc = sqlite3_open_v2(QFile::encodeName(source).constData(), &src, SQLITE_OPEN_READWRITE,
                             nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(src);
        src = nullptr;
        rc = sqlite3_open_v2(QFile::encodeName(source).constData(), &src, SQLITE_OPEN_READONLY,
                             nullptr);
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(src, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        if (erreur)
            *erreur = QString::fromUtf8(src ? sqlite3_errmsg(src) : sqlite3_errstr(rc));
        sqlite3_close(src);
        return false;
    }
    const bool ok = copier(src, destination, erreur);
    sqlite3_close(src);
    return ok;
}

bool executer(QSqlQuery& requete, const QString& sql, const QVariantList& valeurs,
              QString* erreur) {
    if (!requete.prepare(sql)) {
        if (erreur)
            *erreur = requete.lastError().text();
        return false;
    }
    for (const QVariant& v : valeurs)
        requete.addBindValue(v);
    if (!requete.exec()) {
        if (erreur)
            *erreur = requete.lastError().text();
        return false;
    }
    return true;
}

Transaction::Transaction(const Database& base) : connexion_(base.connexion()) {
    active_ = connexion_.isOpen() && connexion_.transaction();
}

Transaction::~Transaction() {
    if (active_)
        connexion_.rollback();
}

bool Transaction::valider() {
    if (!active_)
        return false;
    active_ = false;
    return connexion_.commit();
}

QString motifVersExpression(const QString& motif) {
    QString re = QStringLiteral("\\A");
    for (QChar c : motif) {
        if (c == u'*')
            re += QStringLiteral(".*");
        else if (c == u'?')
            re += u'.';
        else
            re += QRegularExpression::escape(QString(c));
    }
    return re + QStringLiteral("\\z");
}
