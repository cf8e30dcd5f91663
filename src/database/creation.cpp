#include "database/creation.h"

#include "database/adresseserveur.h"
#include "database/database.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <sqlite3.h>

// The schema is a resource of the core library, which is static: register it before use.
static void chargerRessources() {
    Q_INIT_RESOURCE(core);
}

namespace creation {
namespace {

class Connexion {
  public:
    explicit Connexion(const QString& chemin, bool creer) {
        const int drapeaux = SQLITE_OPEN_READWRITE | (creer ? SQLITE_OPEN_CREATE : 0);
        const int rc =
            sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db_, drapeaux, nullptr);
        if (rc != SQLITE_OK)
            ouverture_ = echec(QStringLiteral("%1 ne peut pas être ouvert : %2")
                                   .arg(chemin, raisonSqlite(rc, message(rc))));
    }
    ~Connexion() { sqlite3_close(db_); }
    const Resultat<>& ouverture() const { return ouverture_; }
    sqlite3* db() const { return db_; }
    Resultat<> exec(const QByteArray& sql) {
        char* msg = nullptr;
        const int rc = sqlite3_exec(db_, sql.constData(), nullptr, nullptr, &msg);
        const QString texte = QString::fromUtf8(msg ? msg : sqlite3_errmsg(db_));
        sqlite3_free(msg);
        if (rc == SQLITE_OK)
            return {};
        return echec(raisonSqlite(sqlite3_extended_errcode(db_), texte));
    }
    QString message(int rc) const {
        return QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    }

  private:
    sqlite3* db_ = nullptr;
    Resultat<> ouverture_;
};

// A prepared insert whose values are bound in order.
class Insertion {
  public:
    Insertion(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK)
            st_ = nullptr;
    }
    ~Insertion() { sqlite3_finalize(st_); }
    Insertion& texte(const QString& v) {
        if (!st_)
            return *this;
        if (v.isNull())
            sqlite3_bind_null(st_, ++i_);
        else {
            const QByteArray u = v.toUtf8();
            sqlite3_bind_text(st_, ++i_, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        }
        return *this;
    }
    Insertion& reel(double v) {
        if (st_)
            sqlite3_bind_double(st_, ++i_, v);
        return *this;
    }
    Insertion& entier(qint64 v) {
        if (st_)
            sqlite3_bind_int64(st_, ++i_, v);
        return *this;
    }
    // The row is written, or the reason it is not.
    Resultat<> executer() {
        if (!st_)
            return echec(raisonSqlite(sqlite3_extended_errcode(db_),
                                      QString::fromUtf8(sqlite3_errmsg(db_))));
        const int rc = sqlite3_step(st_);
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
        i_ = 0;
        if (rc == SQLITE_DONE)
            return {};
        return echec(
            raisonSqlite(sqlite3_extended_errcode(db_), QString::fromUtf8(sqlite3_errmsg(db_))));
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    int i_ = 0;
};

const QStringList kTypes = {QStringLiteral("Pull col rond"),   QStringLiteral("Pull col V"),
                            QStringLiteral("T-shirt coton"),   QStringLiteral("Chemise lin"),
                            QStringLiteral("Jean droit"),      QStringLiteral("Jean slim"),
                            QStringLiteral("Robe d'été"),      QStringLiteral("Jupe plissée"),
                            QStringLiteral("Veste en jean"),   QStringLiteral("Manteau laine"),
                            QStringLiteral("Blouson cuir"),    QStringLiteral("Pantalon chino"),
                            QStringLiteral("Écharpe"),         QStringLiteral("Gilet maille"),
                            QStringLiteral("Chemisier soie"),  QStringLiteral("Short toile"),
                            QStringLiteral("Polo piqué"),      QStringLiteral("Sweat à capuche"),
                            QStringLiteral("Pyjama flanelle"), QStringLiteral("Chaussettes x3")};
const QList<double> kPrix = {39.90,  45.00, 14.99, 49.90, 59.90, 64.50, 55.00, 42.00, 79.00, 149.00,
                             229.00, 54.90, 24.90, 47.50, 89.00, 29.90, 34.90, 44.90, 39.00, 9.99};
const QStringList kTailles = {QStringLiteral("XS"), QStringLiteral("S"), QStringLiteral("M"),
                              QStringLiteral("L"), QStringLiteral("XL")};
const QStringList kCouleurs = {QStringLiteral("Noir"),   QStringLiteral("Blanc"),
                               QStringLiteral("Marine"), QStringLiteral("Rouge"),
                               QStringLiteral("Gris"),   QStringLiteral("Beige"),
                               QStringLiteral("Kaki"),   QStringLiteral("Écru")};
const QStringList kFournisseurs = {
    QStringLiteral("Textiles Martin"), QStringLiteral("Maison Dupont"),
    QStringLiteral("Confection Leroy"), QStringLiteral("Atelier Bérénice"),
    QStringLiteral("Laines du Nord")};

QString codeBoutique(int n) {
    return QStringLiteral("ART%1").arg(n, 6, 10, QLatin1Char('0'));
}

Resultat<> remplir(const QString& chemin, int articles, int lignes, bool demo) {
    const int jours = demo ? 60 : 365;
    Connexion c(chemin, false);
    if (!c.ouverture())
        return c.ouverture();
    if (Resultat<> r = c.exec("BEGIN"); !r)
        return r;
    QRandomGenerator alea(20261210);

    Insertion fournisseur(c.db(), "INSERT INTO FOURNISSEURS VALUES (?, ?, ?, ?)");
    const QStringList adresses = {QStringLiteral("12 rue des Tisserands, 59100 Roubaix"),
                                  QStringLiteral("3 place du Marché, 69002 Lyon"),
                                  QStringLiteral("Zone artisanale, 49300 Cholet"),
                                  QStringLiteral("8 impasse des Fileuses, 75011 Paris"),
                                  QStringLiteral("21 route de Lille, 59200 Tourcoing")};
    for (int i = 0; i < kFournisseurs.size(); ++i)
        if (Resultat<> r = fournisseur.texte(QString::number(i + 1))
                               .texte(kFournisseurs[i])
                               .texte(adresses[i])
                               .texte(QStringLiteral("03 20 %1 %2").arg(10 + i * 7).arg(40 + i * 3))
                               .executer();
            !r)
            return r;

    Insertion article(c.db(),
                      "INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, "
                      "tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, nbraimprimer, "
                      "DateDeCreation) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QDateTime debut = QDateTime::currentDateTime().addDays(-400);
    QStringList codes;
    codes.reserve(articles);
    for (int n = 1; n <= articles; ++n) {
        const int t = (n - 1) % kTypes.size();
        const QString code = demo && n % 25 == 0
                                 ? QStringLiteral("3%1").arg(760000000000LL + n * 37) // EAN-13
                                 : codeBoutique(n);
        codes << code;
        const double prix = kPrix[t];
        const double achat = std::round(prix / 1.196 * 0.45 * 100) / 100;
        const int stock = n % 9 == 0 ? 0 : int(alea.bounded(1, 12));
        const int aImprimer = demo ? (n % 17 == 0 ? int(alea.bounded(1, 4)) : 0) : 0;
        if (Resultat<> r =
                article.texte(code)
                    .texte(kTypes[t] + u' ')
                    .texte(kTailles[(n / kTypes.size()) % kTailles.size()] + u' ')
                    .texte(kCouleurs[(n * 7 / 3) % kCouleurs.size()] + u' ')
                    .reel(prix)
                    .reel(19.6)
                    .reel(achat)
                    .reel(19.6)
                    .texte(n % 13 == 0 ? QString() : kFournisseurs[n % kFournisseurs.size()])
                    .reel(stock)
                    .entier(aImprimer)
                    .texte(debut.addSecs(qint64(n) * 3600 % (400 * 86400))
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                    .executer();
            !r)
            return r;
    }

    Insertion ticket(c.db(), "INSERT INTO TICKETS (NumeroTicket, Date, TotalTTC, TicketClos, "
                             "caisse, vendeur) VALUES (?, ?, ?, 1, '1', '1')");
    Insertion ligne(c.db(), "INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt, "
                            "TauxTVA) VALUES (?, ?, ?, ?, ?, ?)");
    const QDateTime maintenant = QDateTime::currentDateTime();
    int ecrites = 0;
    int numero = 0;
    while (ecrites < lignes && !codes.isEmpty()) {
        ++numero;
        const int nbArticles = 1 + int(alea.bounded(4));
        qint64 total = 0; // cents
        for (int k = 0; k < nbArticles; ++k) {
            const int idx = int(alea.bounded(qint64(codes.size())));
            const double prix = kPrix[idx % kTypes.size()];
            const qint64 cents = qint64(std::llround(prix * 100));
            const qint64 tva = cents * 196 / 1196;
            if (Resultat<> r = ligne.entier(numero)
                                   .texte(codes[idx])
                                   .reel(cents / 100.0)
                                   .reel(tva / 100.0)
                                   .reel(1)
                                   .reel(19.6)
                                   .executer();
                !r)
                return r;
            total += cents;
            ++ecrites;
        }
        const char* moyens[] = {"ESPECES", "CB", "CHEQUE"};
        if (Resultat<> r = ligne.entier(numero)
                               .texte(QString::fromLatin1(moyens[numero % 3]))
                               .reel(-total / 100.0)
                               .reel(0)
                               .reel(0)
                               .texte(QString()) // a payment has no rate
                               .executer();
            !r)
            return r;
        ++ecrites;
        // Spread over the past weeks (a year for a large shop) in the order of their numbers,
        // as a till closes them; the last few tickets are today's.
        const qint64 restantes = qMax(0, lignes - ecrites);
        const qint64 avant = qint64(jours) * 86400 * restantes / qMax(lignes, 1);
        const QDateTime quand = restantes < 30 ? maintenant.addSecs(-60 * restantes)
                                               : maintenant.addSecs(-86400 - avant);
        if (Resultat<> r = ticket.entier(numero)
                               .texte(quand.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                               .reel(total / 100.0)
                               .executer();
            !r)
            return r;
    }
    return c.exec("COMMIT");
}

} // namespace

QByteArray scriptFiscal() {
    chargerRessources();
    QFile f(QStringLiteral(":/talmir/fiscal.sql"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

namespace {
// A new shop in an empty database of a PostgreSQL server: its tables, its search functions and
// the code look-up's index, together or not at all.
Resultat<> creerSurServeur(const QString& texte) {
    const Resultat<AdresseServeur> a = AdresseServeur::lire(texte);
    if (!a)
        return a.echec();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return echec(QStringLiteral("le pilote PostgreSQL de Qt n'est pas installé (paquet "
                                    "libqt6sql6-psql)"));
    chargerRessources();
    QFile schema(QStringLiteral(":/talmir/schema_postgres.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        return echec(QStringLiteral("le schéma de la base est introuvable dans le programme"));
    const QString nom = QStringLiteral("creation_%1").arg(quintptr(&texte));
    Resultat<> cree;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nom);
        a->appliquer(db);
        QSqlQuery q(db);
        if (!db.open())
            cree = echec(QStringLiteral("le serveur de la base %1 ne peut pas être joint : %2")
                             .arg(a->texte(), raisonSql(db.lastError())));
        else if (!q.exec(QStringLiteral(
                     "SELECT count(*) FROM information_schema.tables WHERE table_schema = "
                     "current_schema() AND table_name = 'articles'")) ||
                 !q.next())
            cree = echec(raisonSql(q.lastError()));
        else if (q.value(0).toInt() != 0)
            cree = echec(QStringLiteral("la base %1 contient déjà une boutique : elle n'est pas "
                                        "remplacée")
                             .arg(a->texte()));
        else if (!db.transaction())
            cree = echec(raisonSql(db.lastError()));
        else if (!q.exec(QString::fromUtf8(schema.readAll()) + fonctionsServeur() +
                         indexCleCode(Database::Moteur::PostgreSQL)) ||
                 !db.commit()) {
            cree = echec(QStringLiteral("la boutique ne peut pas être créée sur %1 : %2")
                             .arg(a->texte(), raisonSql(q.lastError().isValid() ? q.lastError()
                                                                                : db.lastError())));
            db.rollback();
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(nom);
    return cree;
}
} // namespace

Resultat<> creerBase(const QString& chemin) {
    if (AdresseServeur::estServeur(chemin))
        return creerSurServeur(chemin);
    if (QFileInfo::exists(chemin))
        return echec(
            QStringLiteral("le fichier %1 existe déjà : il n'est pas remplacé").arg(chemin));
    const QFileInfo dossier(QFileInfo(chemin).absolutePath());
    if (!dossier.isDir())
        return echec(QStringLiteral("le dossier %1 n'existe pas").arg(dossier.filePath()));
    chargerRessources();
    QFile schema(QStringLiteral(":/talmir/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        return echec(QStringLiteral("le schéma de la base est introuvable dans le programme"));
    const QByteArray sql = schema.readAll() + scriptFiscal();
    Resultat<> cree;
    {
        Connexion c(chemin, true);
        cree = c.ouverture();
        if (cree)
            cree = c.exec("PRAGMA journal_mode=WAL");
        if (cree)
            cree = c.exec("BEGIN;" + sql + indexCleCode().toUtf8() + ";COMMIT;");
    }
    if (!cree)
        QFile::remove(chemin);
    return cree;
}

Resultat<> remplirDemo(const QString& chemin) {
    return remplir(chemin, 300, 160, true);
}

Resultat<> remplirGrande(const QString& chemin, int articles, int lignes) {
    return remplir(chemin, articles, lignes, false);
}

} // namespace creation
