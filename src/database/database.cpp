#include "database/database.h"

#include "common/journalisation.h"
#include "database/adresseserveur.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <array>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace {
QAtomicInt compteur;

sqlite3* poignee(const QSqlDriver* pilote) {
    const QVariant v = pilote ? pilote->handle() : QVariant();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.data());
    return nullptr;
}

// Text as the shop compares it: without regard to letter case or accents. Each character
// becomes its base letter in lower case ("É" -> "e", "ç" -> "c"); a combining accent counts
// for nothing. A byte that is not UTF-8 stands for itself.
constexpr char32_t kSansCaractere = 0xFFFFFFFF;

char32_t plierParUnicode(char32_t c) {
    QChar q(char16_t(c & 0xFFFF));
    if (q.category() == QChar::Mark_NonSpacing)
        return kSansCaractere;
    while (q.decompositionTag() == QChar::Canonical) {
        const QString d = q.decomposition();
        if (d.isEmpty() || d.front() == q)
            break;
        q = d.front();
    }
    return q.toLower().unicode();
}

char32_t plier(char32_t c) {
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
    // The Latin letters, the only ones the shop's descriptions use, from a table made once.
    static const std::array<char32_t, 0x250> latin = [] {
        std::array<char32_t, 0x250> t{};
        for (char32_t i = 0; i < t.size(); ++i)
            t[i] = i < 0x80 ? i : plierParUnicode(i);
        return t;
    }();
    if (c < latin.size())
        return latin[c];
    if (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF))
        return c;
    return plierParUnicode(c);
}

// Reads UTF-8 text character by character, folded; kSansCaractere at the end.
class LecteurPlie {
  public:
    LecteurPlie(const unsigned char* texte, int octets) : p_(texte), fin_(texte + octets) {}
    char32_t suivant() {
        while (p_ < fin_) {
            const char32_t c = plier(decoder());
            if (c != kSansCaractere)
                return c;
        }
        return kSansCaractere;
    }

  private:
    char32_t decoder() {
        const unsigned char b = *p_++;
        if (b < 0x80)
            return b;
        const int suite = b >= 0xF0 && b <= 0xF4   ? 3
                          : b >= 0xE0 && b <= 0xEF ? 2
                          : b >= 0xC2 && b <= 0xDF ? 1
                                                   : 0;
        char32_t c = b & (0x3F >> suite);
        if (suite == 0 || fin_ - p_ < suite)
            return 0xDC00 + b; // not UTF-8: the byte itself, apart from every character
        for (int i = 0; i < suite; ++i) {
            if ((p_[i] & 0xC0) != 0x80)
                return 0xDC00 + b;
            c = (c << 6) | (p_[i] & 0x3F);
        }
        p_ += suite;
        return c;
    }
    const unsigned char* p_;
    const unsigned char* fin_;
};

void plierTexte(sqlite3_value* v, std::u32string& sortie) {
    sortie.clear();
    LecteurPlie l(sqlite3_value_text(v), sqlite3_value_bytes(v));
    for (char32_t c = l.suivant(); c != kSansCaractere; c = l.suivant())
        sortie.push_back(c);
}

// The whole text against the pattern: "*" any text, "?" one character, every other character
// itself.
bool correspondGlobal(const std::u32string& motif, const std::u32string& texte) {
    std::size_t m = 0, t = 0;
    std::size_t etoile = std::u32string::npos, reprise = 0;
    while (t < texte.size()) {
        if (m < motif.size() && motif[m] == U'*') {
            etoile = m++;
            reprise = t;
        } else if (m < motif.size() && (motif[m] == U'?' || motif[m] == texte[t])) {
            ++m;
            ++t;
        } else if (etoile != std::u32string::npos) {
            m = etoile + 1;
            t = ++reprise;
        } else {
            return false;
        }
    }
    while (m < motif.size() && motif[m] == U'*')
        ++m;
    return m == motif.size();
}
sqlite3* poignee(const QSqlDatabase& db) {
    return poignee(db.driver());
}

// The file of a connection's main database, for the operator's messages.
QString fichierDe(const QSqlDriver* pilote) {
    sqlite3* h = poignee(pilote);
    const char* nom = h ? sqlite3_db_filename(h, "main") : nullptr;
    return nom && *nom ? QDir::toNativeSeparators(QString::fromUtf8(nom)) : QString();
}

// Why the writes of a database whose file has gone are refused: the engine only knows that a
// commit was turned down, so the reason is kept here for raisonSqlite.
QMutex verrouPerte;
QString raisonPerte;

// correspond(motif, texte): the shop's wildcard match, used where typed text is a pattern.
void fonctionCorrespond(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    // A search runs one pattern over every row: it is folded once.
    thread_local std::string dernierMotif;
    thread_local std::u32string motif;
    thread_local std::u32string texte;
    const std::string_view brut(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])),
                                std::size_t(sqlite3_value_bytes(argv[0])));
    if (motif.empty() || brut != dernierMotif) {
        dernierMotif = brut;
        plierTexte(argv[0], motif);
    }
    plierTexte(argv[1], texte);
    sqlite3_result_int(ctx, correspondGlobal(motif, texte) ? 1 : 0);
}

// The collation "sansaccents": texts in the order of their folded characters, so that
// "Écharpe" sorts with "echarpe", before "T-shirt".
int comparerSansAccents(void*, int n1, const void* t1, int n2, const void* t2) {
    LecteurPlie a(static_cast<const unsigned char*>(t1), n1);
    LecteurPlie b(static_cast<const unsigned char*>(t2), n2);
    for (;;) {
        const char32_t x = a.suivant(), y = b.suivant();
        if (x != y)
            return x == kSansCaractere ? -1 : y == kSansCaractere ? 1 : x < y ? -1 : 1;
        if (x == kSansCaractere)
            return 0;
    }
}

// The reason of the last failure on an SQLite connection.
QString raisonDe(sqlite3* base, int code) {
    return raisonSqlite(base ? sqlite3_extended_errcode(base) : code,
                        QString::fromUtf8(base ? sqlite3_errmsg(base) : sqlite3_errstr(code)));
}

Resultat<> copier(sqlite3* source, const QString& destination) {
    const QString provisoire = destination + QStringLiteral(".partiel");
    QFile::remove(provisoire);
    sqlite3* cible = nullptr;
    auto abandon = [&](const QString& raison) -> Resultat<> {
        if (cible)
            sqlite3_close(cible);
        QFile::remove(provisoire);
        return echec(raison);
    };
    int rc = sqlite3_open_v2(QFile::encodeName(provisoire).constData(), &cible,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        return abandon(raisonDe(cible, rc));
    sqlite3_backup* copie = sqlite3_backup_init(cible, "main", source, "main");
    if (!copie)
        return abandon(raisonDe(cible, SQLITE_ERROR));
    rc = sqlite3_backup_step(copie, -1);
    sqlite3_backup_finish(copie);
    if (rc != SQLITE_DONE)
        return abandon(raisonSqlite(rc, QString::fromUtf8(sqlite3_errstr(rc))));
    // The copy is a plain single file, whatever the journal mode of the source.
    rc = sqlite3_exec(cible, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return abandon(raisonDe(cible, rc));
    rc = sqlite3_close(cible);
    cible = nullptr;
    if (rc != SQLITE_OK)
        return abandon(raisonSqlite(rc, QString::fromUtf8(sqlite3_errstr(rc))));
    if (QFile::exists(destination) && !QFile::remove(destination))
        return abandon(
            QStringLiteral("la copie précédente %1 ne peut pas être remplacée").arg(destination));
    if (!QFile::rename(provisoire, destination))
        return abandon(
            QStringLiteral("la copie ne peut pas être enregistrée sous %1").arg(destination));
    return {};
}
} // namespace

// The file that was opened, to tell it from whatever lies at its path later.
struct Database::Garde {
    QByteArray chemin;
    dev_t peripherique = 0;
    ino_t inode = 0;
    QString raison; // what the operator is told once the file has gone
    bool perdue = false;

    bool toujoursLa() const {
        struct stat st {};
        return ::stat(chemin.constData(), &st) == 0 && st.st_dev == peripherique &&
               st.st_ino == inode;
    }

    // Runs before every commit of a write: a non-zero answer turns the commit into a rollback.
    // Once the file has gone, the connection writes into a file no one will open again.
    static int verifier(void* donnees) {
        auto* garde = static_cast<Garde*>(donnees);
        if (!garde->perdue && garde->toujoursLa())
            return 0;
        garde->perdue = true;
        QMutexLocker verrou(&verrouPerte);
        raisonPerte = garde->raison;
        return 1;
    }
};

Database::Database()
    : nomConnexion_(QStringLiteral("bdd_%1").arg(compteur.fetchAndAddRelaxed(1))) {}

Database::~Database() {
    fermer();
    QSqlDatabase::removeDatabase(nomConnexion_);
}

QSqlDatabase Database::connexionPilote(const QString& pilote) {
    if (QSqlDatabase::contains(nomConnexion_)) {
        if (QSqlDatabase::database(nomConnexion_, false).driverName() == pilote)
            return QSqlDatabase::database(nomConnexion_, false);
        QSqlDatabase::removeDatabase(nomConnexion_);
    }
    return QSqlDatabase::addDatabase(pilote, nomConnexion_);
}

Resultat<> Database::ouvrir(const QString& chemin, Acces acces) {
    fermer();
    if (AdresseServeur::estServeur(chemin))
        return ouvrirServeur(chemin, acces);
    moteur_ = Moteur::SQLite;
    auto abandon = [&](const QString& raison) -> Resultat<> {
        fermer();
        return echec(raison);
    };
    const QFileInfo info(chemin);
    if (!info.exists() || !info.isFile())
        return abandon(QStringLiteral("la base de données %1 est introuvable").arg(chemin));
    if (info.size() == 0)
        return abandon(QStringLiteral("la base de données %1 est vide").arg(chemin));
    QSqlDatabase db = connexionPilote(QStringLiteral("QSQLITE"));
    db.setDatabaseName(chemin);
    db.setConnectOptions(acces == Acces::Lecture
                             ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY")
                             : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return abandon(QStringLiteral("la base de données %1 ne peut pas être ouverte : %2")
                           .arg(chemin, raisonSql(db.lastError())));
    chemin_ = chemin;
    QSqlQuery q(db);
    // Reading the schema tells a database from any other file.
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return abandon(QStringLiteral("%1 n'est pas une base de données utilisable : %2")
                           .arg(chemin, raisonSql(q.lastError())));
    // A read-only folder cannot hold the write-ahead log: the shop then works in the file's
    // own journal mode, which only the log needs to know.
    if (acces == Acces::Ecriture &&
        (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next() ||
         q.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0))
        consigner(Resultat<>(echec(q.lastError().isValid()
                                       ? raisonSql(q.lastError())
                                       : QStringLiteral("mode ") + q.value(0).toString())),
                  QStringLiteral("journal WAL de %1").arg(chemin));
    q.finish();
    if (acces == Acces::Ecriture && !q.exec(QStringLiteral("PRAGMA synchronous=FULL")))
        consigner(Resultat<>(echec(raisonSql(q.lastError()))),
                  QStringLiteral("écriture synchrone de %1").arg(chemin));
    // The code look-up's index, for a shop made before it existed; without it codes are still
    // found, only more slowly.
    if (acces == Acces::Ecriture && !q.exec(indexCleCode()))
        consigner(Resultat<>(echec(raisonSql(q.lastError()))),
                  QStringLiteral("index des codes de %1").arg(chemin));
    // The searches need the wildcard match and the listing its order: without them the base is
    // not usable.
    sqlite3* h = poignee(db);
    int rc = h ? sqlite3_create_function_v2(h, "correspond", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                            nullptr, fonctionCorrespond, nullptr, nullptr, nullptr)
               : SQLITE_MISUSE;
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation_v2(h, "sansaccents", SQLITE_UTF8, nullptr,
                                         comparerSansAccents, nullptr);
    if (rc != SQLITE_OK)
        return abandon(QStringLiteral("la recherche ne peut pas être installée sur %1 : %2")
                           .arg(chemin, raisonDe(h, rc)));
    // The file opened, told from any file put at its path later by its device and inode.
    auto garde = std::make_unique<Garde>();
    garde->chemin = QFile::encodeName(chemin);
    struct stat st {};
    if (::stat(garde->chemin.constData(), &st) != 0)
        return abandon(QStringLiteral("la base de données %1 est introuvable").arg(chemin));
    garde->peripherique = st.st_dev;
    garde->inode = st.st_ino;
    const QString natif = QDir::toNativeSeparators(chemin);
    garde->raison =
        dossierCopies_.isEmpty()
            ? QStringLiteral("le fichier de la base de données %1 a été supprimé ou remplacé "
                             "pendant que le programme était ouvert : plus rien n'est "
                             "enregistré ; quittez le programme et remettez ce fichier en place")
                  .arg(natif)
            : QStringLiteral("le fichier de la base de données %1 a été supprimé ou remplacé "
                             "pendant que le programme était ouvert : plus rien n'est "
                             "enregistré ; quittez le programme et remettez en place la copie "
                             "la plus récente du dossier %2")
                  .arg(natif, QDir::toNativeSeparators(dossierCopies_));
    garde_ = std::move(garde);
    sqlite3_commit_hook(h, &Garde::verifier, garde_.get());
    return {};
}

Resultat<> Database::ouvrirServeur(const QString& adresse, Acces acces) {
    const Resultat<AdresseServeur> a = AdresseServeur::lire(adresse);
    if (!a)
        return a.echec();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return echec(QStringLiteral("le pilote PostgreSQL de Qt n'est pas installé (paquet "
                                    "libqt6sql6-psql) : la base %1 ne peut pas être ouverte")
                         .arg(a->texte()));
    moteur_ = Moteur::PostgreSQL;
    auto abandon = [&](const QString& raison) -> Resultat<> {
        fermer();
        return echec(raison);
    };
    QSqlDatabase db = connexionPilote(QStringLiteral("QPSQL"));
    a->appliquer(db);
    // Amounts are exact decimals on the server; read back as the file's are, to the
    // ten-thousandth (see Montant).
    db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!db.open())
        return abandon(QStringLiteral("le serveur de la base %1 ne peut pas être joint : %2")
                           .arg(a->texte(), raisonSql(db.lastError())));
    chemin_ = a->texte();
    QSqlQuery q(db);
    // A database without the shop's tables is not a shop (creer_base prepares one).
    if (!q.exec(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE "
                               "table_schema = current_schema() AND table_name = 'articles'")) ||
        !q.next() || q.value(0).toInt() != 1)
        return abandon(QStringLiteral("%1 n'est pas une base de boutique utilisable%2")
                           .arg(chemin_, q.lastError().isValid()
                                             ? QStringLiteral(" : ") + raisonSql(q.lastError())
                                             : QStringLiteral(" (creer_base la prépare)")));
    acces_ = acces;
    if (Resultat<> r = preparerSession(db); !r)
        return abandon(r.raison());
    return {};
}

Resultat<> Database::preparerSession(QSqlDatabase& db) const {
    QSqlQuery q(db);
    if (acces_ == Acces::Lecture &&
        !q.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY")))
        return echec(raisonSql(q.lastError()));
    return {};
}

Resultat<bool> Database::retablir() const {
    if (moteur_ != Moteur::PostgreSQL || chemin_.isEmpty())
        return false;
    QSqlDatabase db = connexion();
    if (db.isOpen()) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT 1")))
            return false;
    }
    preparees_.clear();
    db.close();
    if (!db.open())
        return echec(QStringLiteral("le serveur de la base de données ne répond pas (%1)")
                         .arg(raisonSql(db.lastError())));
    if (Resultat<> r = preparerSession(db); !r) {
        db.close();
        return r.echec();
    }
    return true;
}

void Database::fermer() {
    preparees_.clear();
    if (QSqlDatabase::contains(nomConnexion_)) {
        QSqlDatabase db = QSqlDatabase::database(nomConnexion_, false);
        if (db.isOpen()) {
            if (sqlite3* h = poignee(db))
                sqlite3_commit_hook(h, nullptr, nullptr);
            db.close();
        }
    }
    garde_.reset();
    chemin_.clear();
}

bool Database::estOuverte() const {
    return QSqlDatabase::contains(nomConnexion_) &&
           QSqlDatabase::database(nomConnexion_, false).isOpen();
}

QSqlDatabase Database::connexion() const {
    if (!QSqlDatabase::contains(nomConnexion_))
        return QSqlDatabase::addDatabase(moteur_ == Moteur::PostgreSQL ? QStringLiteral("QPSQL")
                                                                       : QStringLiteral("QSQLITE"),
                                         nomConnexion_);
    return QSqlDatabase::database(nomConnexion_, false);
}

QSqlQuery* Database::preparee(const QString& sql) const {
    if (!estOuverte())
        return nullptr;
    if (const auto trouvee = preparees_.find(sql); trouvee != preparees_.end())
        return trouvee->second->isActive() ? nullptr : trouvee->second.get();
    auto q = std::make_unique<QSqlQuery>(connexion());
    q->setForwardOnly(true);
    if (!q->prepare(sql))
        return nullptr;
    return preparees_.emplace(sql, std::move(q)).first->second.get();
}

Resultat<> Database::copierVers(const QString& destination) const {
    if (!estOuverte())
        return copierFichier(chemin_, destination);
    sqlite3* h = poignee(connexion());
    if (!h)
        return echec(QStringLiteral("la connexion à la base de données est inutilisable"));
    return copier(h, destination);
}

Resultat<> Database::copierFichier(const QString& source, const QString& destination) {
    const QFileInfo info(source);
    if (!info.isFile() || info.size() == 0)
        return echec(QStringLiteral("le fichier %1 est introuvable ou vide").arg(source));
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
        const QString raison = raisonDe(src, rc);
        sqlite3_close(src);
        return echec(QStringLiteral("%1 ne peut pas être lu : %2").arg(source, raison));
    }
    Resultat<> r = copier(src, destination);
    sqlite3_close(src);
    return r;
}

Resultat<> executer(QSqlQuery& requete, const QString& sql, const QVariantList& valeurs) {
    // A closed connection refuses the statement without an error of its own.
    if (!requete.prepare(sql))
        return echec(requete.lastError().isValid()
                         ? raisonSql(requete.lastError(), fichierDe(requete.driver()))
                         : QStringLiteral("la base de données n'est pas ouverte"));
    for (const QVariant& v : valeurs)
        requete.addBindValue(v);
    if (!requete.exec())
        return echec(raisonSql(requete.lastError(), fichierDe(requete.driver())));
    return {};
}

Preparee::Preparee(const Database& base, const QString& sql)
    : sql_(sql), requete_(base.preparee(sql)) {
    if (!requete_) {
        propre_ = std::make_unique<QSqlQuery>(base.connexion());
        propre_->setForwardOnly(true);
        requete_ = propre_.get();
    }
}

Preparee::~Preparee() {
    requete_->finish();
}

Resultat<> Preparee::executer(const QVariantList& valeurs) {
    if (propre_)
        return ::executer(*propre_, sql_, valeurs);
    for (int i = 0; i < valeurs.size(); ++i)
        requete_->bindValue(i, valeurs.at(i));
    if (!requete_->exec())
        return echec(raisonSql(requete_->lastError(), fichierDe(requete_->driver())));
    return {};
}

namespace {
int lier(sqlite3_stmt* st, int rang, const QVariant& v) {
    if (v.isNull())
        return sqlite3_bind_null(st, rang);
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(st, rang, v.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(st, rang, v.toDouble());
    default: {
        const QString texte = v.toString();
        return sqlite3_bind_text16(st, rang, texte.utf16(), int(texte.size() * sizeof(QChar)),
                                   SQLITE_TRANSIENT);
    }
    }
}
} // namespace

namespace {
// The rows of a server, through QtSql: each column's text once, then its view.
Resultat<> parcourirParRequete(const QSqlDatabase& db, const QString& sql,
                               const QVariantList& valeurs,
                               const std::function<void(std::span<const QStringView>)>& ligne) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, sql, valeurs); !r)
        return r;
    const int colonnes = q.record().count();
    QList<QString> textes(colonnes);
    QList<QStringView> vues(colonnes);
    while (q.next()) {
        for (int c = 0; c < colonnes; ++c) {
            textes[c] = q.value(c).toString();
            vues[c] = textes[c];
        }
        ligne(vues);
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return {};
}
} // namespace

Resultat<> parcourirTextes(const Database& base, const QString& sql, const QVariantList& valeurs,
                           const std::function<void(std::span<const QStringView>)>& ligne) {
    const QSqlDatabase db = base.connexion();
    if (!db.isOpen())
        return echec(QStringLiteral("la base de données n'est pas ouverte"));
    sqlite3* h = poignee(db);
    if (!h)
        return parcourirParRequete(db, sql, valeurs, ligne);
    const QString fichier = fichierDe(db.driver());
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare16_v2(h, sql.utf16(), int(sql.size() * sizeof(QChar)), &st, nullptr);
    auto raison = [&](int code) {
        return raisonSqlite(code, QString::fromUtf8(sqlite3_errmsg(h)), fichier);
    };
    if (rc != SQLITE_OK) {
        const QString r = raison(rc);
        sqlite3_finalize(st);
        return echec(r);
    }
    for (int i = 0; i < valeurs.size() && rc == SQLITE_OK; ++i)
        rc = lier(st, i + 1, valeurs.at(i));
    const int colonnes = sqlite3_column_count(st);
    QList<QStringView> vues(colonnes);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(st);
        if (rc != SQLITE_ROW)
            break;
        for (int c = 0; c < colonnes; ++c) {
            const auto* texte = static_cast<const char16_t*>(sqlite3_column_text16(st, c));
            vues[c] = QStringView(texte, texte ? sqlite3_column_bytes16(st, c) / 2 : 0);
        }
        ligne(vues);
    }
    const Resultat<> fin = rc == SQLITE_DONE ? Resultat<>() : Resultat<>(echec(raison(rc)));
    sqlite3_finalize(st);
    return fin;
}

QString raisonPostgres(const QString& etat, const QString& message) {
    const QString classe = etat.left(2);
    // The server's own words (its first line), after the operator's.
    const QString detail = message.section(u'\n', 0, 0).trimmed();
    if (etat == QStringLiteral("P0001")) // a refusal of the shop's triggers, in French already
        return QStringLiteral("la base de données refuse l'écriture : ") + detail;
    if (classe == QStringLiteral("08") || etat == QStringLiteral("57P01") ||
        etat == QStringLiteral("57P02") || etat == QStringLiteral("57P03"))
        return QStringLiteral("la connexion au serveur de la base de données est perdue");
    if (etat == QStringLiteral("40001") || etat == QStringLiteral("40P01") ||
        etat == QStringLiteral("55P03"))
        return QStringLiteral("la base de données est occupée par une autre caisse");
    if (etat == QStringLiteral("53100"))
        return QStringLiteral("le disque du serveur de la base de données est plein");
    if (classe == QStringLiteral("53"))
        return QStringLiteral("le serveur de la base de données manque de ressources : ") + detail;
    if (etat == QStringLiteral("25006"))
        return QStringLiteral("la base de données est ouverte en lecture seule");
    if (etat == QStringLiteral("42501") || classe == QStringLiteral("28"))
        return QStringLiteral("le serveur refuse l'accès à la base de données : ") + detail;
    if (classe == QStringLiteral("23"))
        return QStringLiteral("la base de données refuse l'écriture : ") + detail;
    if (etat == QStringLiteral("3D000"))
        return QStringLiteral("la base n'existe pas sur le serveur : ") + detail;
    return QStringLiteral("erreur du serveur de la base de données : ") + detail;
}

QString raisonSqlite(int code, const QString& message, const QString& fichier) {
    // The same reason with the file concerned, when it is known.
    auto dire = [&fichier](const QString& sans, const QString& avec) {
        return fichier.isEmpty() ? sans : avec.arg(fichier);
    };
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return dire(QStringLiteral("la base de données est occupée par un autre programme"),
                    QStringLiteral("la base de données %1 est occupée par un autre programme"));
    case SQLITE_READONLY:
        return dire(QStringLiteral("la base de données est en lecture seule"),
                    QStringLiteral("la base de données %1 est en lecture seule : rien ne peut y "
                                   "être enregistré"));
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return dire(QStringLiteral("l'accès à la base de données est refusé"),
                    QStringLiteral("l'accès à la base de données %1 est refusé"));
    case SQLITE_NOMEM:
        return QStringLiteral("la mémoire est insuffisante");
    case SQLITE_IOERR:
        return dire(QStringLiteral("le disque ne peut pas être lu ou écrit"),
                    QStringLiteral("le disque de la base de données %1 ne peut pas être lu ou "
                                   "écrit"));
    case SQLITE_CORRUPT:
        return dire(QStringLiteral("le fichier de la base de données est endommagé"),
                    QStringLiteral("le fichier de la base de données %1 est endommagé"));
    case SQLITE_NOTADB:
        return dire(QStringLiteral("le fichier n'est pas une base de données"),
                    QStringLiteral("le fichier %1 n'est pas une base de données"));
    case SQLITE_FULL:
        return dire(QStringLiteral("le disque est plein"),
                    QStringLiteral("le disque est plein : la base de données %1 ne peut plus "
                                   "être écrite"));
    case SQLITE_CANTOPEN:
        return dire(QStringLiteral("le fichier de la base de données ne peut pas être ouvert"),
                    QStringLiteral("le fichier de la base de données %1 ne peut pas être "
                                   "ouvert"));
    case SQLITE_CONSTRAINT:
        // A commit turned down because the database's file has gone (the engine tells no more
        // than a bare "constraint failed").
        if (code == SQLITE_CONSTRAINT_COMMITHOOK ||
            message == QLatin1String(sqlite3_errstr(SQLITE_CONSTRAINT))) {
            QMutexLocker verrou(&verrouPerte);
            if (!raisonPerte.isEmpty())
                return raisonPerte;
        }
        return QStringLiteral("la base de données refuse l'écriture : ") + message;
    default:
        break;
    }
    // What a statement names that the database does not have.
    static const QRegularExpression absent(QStringLiteral("^no such (table|column): (.*)$"));
    if (const QRegularExpressionMatch m = absent.match(message); m.hasMatch())
        return (m.captured(1) == u"table" ? QStringLiteral("la table %1 est absente de la base de "
                                                           "données")
                                          : QStringLiteral("la colonne %1 est absente de la base "
                                                           "de données"))
            .arg(m.captured(2));
    return QStringLiteral("erreur de la base de données : ") + message;
}

QString raisonSql(const QSqlError& erreur, const QString& fichier) {
    // A server's errors carry their five-character state; SQLite's codes are numbers of at most
    // four digits.
    if (erreur.nativeErrorCode().size() == 5)
        return raisonPostgres(erreur.nativeErrorCode(), erreur.databaseText().isEmpty()
                                                            ? erreur.text()
                                                            : erreur.databaseText());
    bool ok = false;
    int code = erreur.nativeErrorCode().toInt(&ok);
    const QString message = erreur.databaseText().isEmpty() ? erreur.text() : erreur.databaseText();
    // Some failures (a commit, a transaction) come without their code, only with the engine's
    // own text, which then tells the code.
    if (!ok || code == SQLITE_OK) {
        code = SQLITE_OK;
        for (int c = SQLITE_ERROR; c <= SQLITE_NOTADB && code == SQLITE_OK; ++c)
            if (message == QLatin1String(sqlite3_errstr(c)))
                code = c;
    }
    if (code == SQLITE_OK)
        return QStringLiteral("erreur de la base de données : ") + message;
    return raisonSqlite(code, message, fichier);
}

namespace {
// A key of the shop's own, released by the server at the transaction's end.
Resultat<> reserver(const Database& bdd, qint64 cle) {
    if (bdd.moteur() != Database::Moteur::PostgreSQL)
        return {};
    QSqlQuery q(bdd.connexion());
    return executer(q, QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {cle});
}
} // namespace

Resultat<> Database::reserverRegistres() const {
    return reserver(*this, 7243051986);
}

Resultat<> Database::reserverArticles() const {
    return reserver(*this, 7243051987);
}

QString Database::pourModifier() const {
    return moteur_ == Moteur::PostgreSQL ? QStringLiteral(" FOR UPDATE") : QString();
}

Transaction::Transaction(const Database& base) : connexion_(base.connexion()) {
    if (!connexion_.isOpen())
        debut_ = echec(QStringLiteral("la base de données n'est pas ouverte"));
    else if (!connexion_.transaction())
        debut_ = echec(raisonSql(connexion_.lastError(), fichierDe(connexion_.driver())));
    active_ = debut_.ok();
}

Transaction::~Transaction() {
    // A failure such as a full disk may have ended the transaction already: the engine rolled
    // it back itself.
    sqlite3* h = poignee(connexion_);
    if (active_ && h && sqlite3_get_autocommit(h))
        return;
    if (active_ && !connexion_.rollback())
        consigner(Resultat<>(echec(raisonSql(connexion_.lastError()))),
                  QStringLiteral("annulation d'une transaction"));
}

Resultat<> Transaction::valider() {
    if (!active_)
        return debut_.ok() ? echec(QStringLiteral("la transaction est déjà terminée")) : debut_;
    active_ = false;
    if (!connexion_.commit()) {
        const QString raison = raisonSql(connexion_.lastError(), fichierDe(connexion_.driver()));
        connexion_.rollback();
        return echec(raison);
    }
    return {};
}

namespace {
// The accented capital letters of French (and of German names), with their small letters. Each
// is one nested call in the index's expression, and SQLite's parser takes about twenty.
const QString kCapitales = QStringLiteral("ÀÂÄÆÇÉÈÊËÎÏÔÖŒÙÛÜŸ");
const QString kMinuscules = QStringLiteral("àâäæçéèêëîïôöœùûüÿ");
} // namespace

QString cleCode(const QString& code) {
    qsizetype fin = code.size();
    while (fin > 0 && code.at(fin - 1) == u' ')
        --fin;
    QString cle = code.left(fin);
    for (QChar& c : cle) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
        else if (const qsizetype i = kCapitales.indexOf(c); i >= 0)
            c = kMinuscules.at(i);
    }
    return cle;
}

QString cleCodeSql(const QString& colonne, Database::Moteur moteur) {
    if (moteur == Database::Moteur::PostgreSQL) {
        // The server's lower() would follow its locale: the key changes exactly the letters
        // cleCode() changes, whatever the server's settings.
        QString capitales, minuscules;
        for (char16_t c = u'A'; c <= u'Z'; ++c) {
            capitales += QChar(c);
            minuscules += QChar(c + (u'a' - u'A'));
        }
        return QStringLiteral("translate(rtrim(%1), '%2', '%3')")
            .arg(colonne, capitales + kCapitales, minuscules + kMinuscules);
    }
    // lower() of SQLite knows A to Z only: each accented capital is replaced first.
    QString expression = QStringLiteral("rtrim(") + colonne + u')';
    for (qsizetype i = 0; i < kCapitales.size(); ++i)
        expression = QStringLiteral("replace(%1, '%2', '%3')")
                         .arg(expression, kCapitales.at(i), kMinuscules.at(i));
    return QStringLiteral("lower(") + expression + u')';
}

QString indexCleCode(Database::Moteur moteur) {
    const QString cle = cleCodeSql(QStringLiteral("CodeArticle"), moteur);
    // The server wants an expression of an index between its own parentheses.
    return QStringLiteral("CREATE INDEX IF NOT EXISTS ARTICLES_cle_code ON ARTICLES (") +
           (moteur == Database::Moteur::PostgreSQL ? u'(' + cle + u')' : cle) + u')';
}

Resultat<QList<ColonneTable>> colonnesTable(const Database& base, const QString& table) {
    QSqlQuery q(base.connexion());
    q.setForwardOnly(true);
    const QString sql =
        base.moteur() == Database::Moteur::PostgreSQL
            ? QStringLiteral(
                  "SELECT column_name, coalesce(col_description(c.oid, ordinal_position), "
                  "upper(data_type)) FROM information_schema.columns JOIN pg_class c ON c.oid = "
                  "to_regclass(quote_ident(table_name)) WHERE table_schema = current_schema() "
                  "AND table_name = lower(?) AND column_name <> 'rowid' ORDER BY "
                  "ordinal_position")
            : QStringLiteral("SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
    if (Resultat<> r = executer(q, sql, {table}); !r)
        return r.echec();
    QList<ColonneTable> colonnes;
    while (q.next())
        colonnes.append({q.value(0).toString(), q.value(1).toString()});
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return colonnes;
}

QString fonctionsServeur() {
    QString depuis, vers, retires;
    for (char32_t c = 0x80; c < 0x250; ++c) {
        const char32_t p = plier(c);
        if (p == kSansCaractere)
            retires += QChar(char16_t(c));
        else if (p != c && p <= 0xFFFF) {
            depuis += QChar(char16_t(c));
            vers += QChar(char16_t(p));
        }
    }
    for (char32_t c = 0x300; c < 0x370; ++c)
        if (plier(c) == kSansCaractere)
            retires += QChar(char16_t(c));
    // None of these characters is a quote: the table is written into the function as it is.
    // Every text inside is given a deterministic collation of its own: a column compared
    // without regard to case (a nondeterministic one) would refuse these substring operations.
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION plier(texte text) RETURNS text LANGUAGE sql IMMUTABLE "
               "STRICT PARALLEL SAFE AS $$ SELECT translate(lower(texte COLLATE \"und-x-icu\") "
               "COLLATE \"C\", '%1', '%2') $$;\n"
               "CREATE OR REPLACE FUNCTION correspond(motif text, texte text) RETURNS boolean "
               "LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT plier(texte COLLATE "
               "\"C\") COLLATE \"C\" LIKE replace(replace(replace(replace(replace(plier(motif "
               "COLLATE \"C\") COLLATE \"C\", '\\', '\\\\'), '%', '\\%'), '_', '\\_'), '*', "
               "'%'), '?', '_') COLLATE \"C\" $$;\n")
        .arg(depuis + retires, vers);
}

Resultat<> executerScript(const Database& base, const QByteArray& script) {
    if (base.moteur() == Database::Moteur::PostgreSQL) {
        // The server takes the statements of a script in one request (no bound value).
        QSqlQuery q(base.connexion());
        if (!base.estOuverte() || !q.exec(QString::fromUtf8(script)))
            return echec(base.estOuverte()
                             ? raisonSql(q.lastError())
                             : QStringLiteral("la base de données n'est pas ouverte"));
        return {};
    }
    sqlite3* h = poignee(base.connexion());
    if (!h)
        return echec(QStringLiteral("la base de données n'est pas ouverte"));
    char* msg = nullptr;
    const int rc = sqlite3_exec(h, script.constData(), nullptr, nullptr, &msg);
    const QString texte = QString::fromUtf8(msg ? msg : sqlite3_errmsg(h));
    sqlite3_free(msg);
    if (rc == SQLITE_OK)
        return {};
    return echec(raisonSqlite(sqlite3_extended_errcode(h), texte, base.chemin()));
}

namespace {
// A PostgreSQL client program (pg_dump, pg_restore) run to its end; its own words on failure.
Resultat<> lancerOutilServeur(const QString& outil, const QStringList& arguments,
                              QByteArray* sortie = nullptr) {
    QString programme = QStandardPaths::findExecutable(outil);
    if (programme.isEmpty()) {
        // Debian puts the versioned programs out of the PATH when only the server is there.
        const QStringList versions =
            QDir(QStringLiteral("/usr/lib/postgresql"))
                .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        for (const QString& v : versions)
            if (programme.isEmpty())
                programme = QStandardPaths::findExecutable(
                    outil, {QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v)});
    }
    if (programme.isEmpty())
        return echec(QStringLiteral("l'outil %1 de PostgreSQL est introuvable (paquet "
                                    "postgresql-client)")
                         .arg(outil));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    p.setProcessEnvironment(env);
    p.start(programme, arguments);
    // A copy of a large shop takes its time; a server gone quiet does not hold the program.
    if (!p.waitForStarted() || !p.waitForFinished(30 * 60 * 1000)) {
        p.kill();
        p.waitForFinished();
        return echec(QStringLiteral("%1 n'a pas abouti : %2").arg(outil, p.errorString()));
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return echec(QStringLiteral("%1 a échoué : %2")
                         .arg(outil, QString::fromLocal8Bit(p.readAllStandardError())
                                         .trimmed()
                                         .section(u'\n', 0, 0)));
    if (sortie)
        *sortie = p.readAllStandardOutput();
    return {};
}
} // namespace

Resultat<qint64> Database::articlesDeLArchive(const QString& archive) {
    QByteArray donnees;
    if (Resultat<> r =
            lancerOutilServeur(QStringLiteral("pg_restore"),
                               {QStringLiteral("--data-only"), QStringLiteral("--table=articles"),
                                QStringLiteral("--file=-"), archive},
                               &donnees);
        !r)
        return r.echec();
    // The table's rows are the lines between its COPY statement and the end mark.
    qint64 lignes = 0;
    bool dedans = false;
    for (const QByteArray& l : donnees.split('\n')) {
        if (!dedans)
            dedans = l.startsWith("COPY ");
        else if (l == "\\.")
            return lignes;
        else
            ++lignes;
    }
    return echec(QStringLiteral("la table des articles manque dans la copie %1")
                     .arg(QDir::toNativeSeparators(archive)));
}

Resultat<> Database::copierServeur(const QString& adresse, const QString& destination) {
    const Resultat<AdresseServeur> a = AdresseServeur::lire(adresse);
    if (!a)
        return a.echec();
    const QString provisoire = destination + QStringLiteral(".partiel");
    QFile::remove(provisoire);
    QStringList arguments{QStringLiteral("--no-password"), QStringLiteral("--format=custom"),
                          QStringLiteral("--file=") + provisoire};
    if (!a->hote.isEmpty())
        arguments << QStringLiteral("--host=") + a->hote;
    arguments << QStringLiteral("--port=") + QString::number(a->port);
    if (!a->utilisateur.isEmpty())
        arguments << QStringLiteral("--username=") + a->utilisateur;
    arguments << QStringLiteral("--dbname=") + a->base;
    Resultat<> r = lancerOutilServeur(QStringLiteral("pg_dump"), arguments);
    // Read back whole: a copy cut short or damaged does not restore.
    if (r)
        r = lancerOutilServeur(QStringLiteral("pg_restore"),
                               {QStringLiteral("--file=/dev/null"), provisoire});
    if (r) {
        QFile::remove(destination);
        if (!QFile::rename(provisoire, destination))
            r = echec(
                QStringLiteral("la copie %1 ne peut pas être mise en place").arg(destination));
    }
    if (!r) {
        QFile::remove(provisoire);
        return echec(QStringLiteral("la copie de %1 dans %2 a échoué : %3")
                         .arg(a->texte(), QDir::toNativeSeparators(destination), r.raison()));
    }
    return {};
}

Resultat<> Database::verifierFichier(const QString& chemin) {
    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QString verdict;
    if (rc == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr);
        if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            verdict = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        else
            rc = sqlite3_errcode(db);
        sqlite3_finalize(st);
    }
    const QString raison = rc == SQLITE_OK ? verdict : raisonDe(db, rc);
    sqlite3_close(db);
    if (rc == SQLITE_OK && verdict == QStringLiteral("ok"))
        return {};
    return echec(QStringLiteral("la copie %1 n'est pas saine : %2").arg(chemin, raison.left(200)));
}
