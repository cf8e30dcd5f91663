#include "database/creation.h"

#include "common/montant.h"
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
#include <atomic>
#include <cmath>
#include <functional>
#include <optional>
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
// The price of each type, in cents.
const QList<qint64> kPrixCentimes = {3990,  4500, 1499, 4990, 5990, 6450, 5500, 4200, 7900, 14900,
                                     22900, 5490, 2490, 4750, 8900, 2990, 3490, 4490, 3900, 999};
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

// The rows the filler makes, one struct per table, their amounts exact.
struct Fournisseur {
    QString code, nom, adresse, telephone;
};
struct Article {
    QString code, libelle, taille, couleur;
    Montant prix, achat; // including and excluding VAT
    double taux;         // the VAT rate of the sale and of the purchase, %
    QString fournisseur; // null: none
    int stock;
    int aImprimer;
    QString creation;
};
struct Ligne {
    qint64 ticket;
    QString code; // the article's code, or the means of a payment
    Montant prix, tva;
    double qt;
    std::optional<double> taux; // a payment has no rate
};
struct Ticket {
    qint64 numero;
    QString date;
    Montant total;
};

// Where the filler's rows go: a file's tables or a server's. A ticket's lines are given before
// the ticket, which comes closed: both engines refuse a line added to a closed ticket.
class Puits {
  public:
    virtual ~Puits() = default;
    virtual Resultat<> fournisseur(const Fournisseur& f) = 0;
    virtual Resultat<> article(const Article& a) = 0;
    virtual Resultat<> ligne(const Ligne& l) = 0;
    virtual Resultat<> ticket(const Ticket& t) = 0;
    // Writes what is still held back; the rows given are all written once it succeeds.
    virtual Resultat<> terminer() = 0;
};

// The shop's rows, the same on every engine for the same counts: `articles` articles of the
// clothing types above, a few suppliers, closed tickets of 1 to 4 articles and their payment
// until about `lignes` lines are written. A demo shop has some EAN-13 codes, labels to print
// and its tickets over 60 days; a large one spreads them over a year.
Resultat<> generer(Puits& puits, int articles, int lignes, bool demo) {
    const int jours = demo ? 60 : 365;
    QRandomGenerator alea(20261210);

    const QStringList adresses = {QStringLiteral("12 rue des Tisserands, 59100 Roubaix"),
                                  QStringLiteral("3 place du Marché, 69002 Lyon"),
                                  QStringLiteral("Zone artisanale, 49300 Cholet"),
                                  QStringLiteral("8 impasse des Fileuses, 75011 Paris"),
                                  QStringLiteral("21 route de Lille, 59200 Tourcoing")};
    for (int i = 0; i < kFournisseurs.size(); ++i)
        if (Resultat<> r =
                puits.fournisseur({QString::number(i + 1), kFournisseurs[i], adresses[i],
                                   QStringLiteral("03 20 %1 %2").arg(10 + i * 7).arg(40 + i * 3)});
            !r)
            return r;

    const QDateTime debut = QDateTime::currentDateTime().addDays(-400);
    QStringList codes;
    codes.reserve(articles);
    for (int n = 1; n <= articles; ++n) {
        const int t = (n - 1) % kTypes.size();
        const QString code = demo && n % 25 == 0
                                 ? QStringLiteral("3%1").arg(760000000000LL + n * 37) // EAN-13
                                 : codeBoutique(n);
        codes << code;
        const qint64 prix = kPrixCentimes[t];
        // The purchase price, to the cent: 45 % of the price before VAT.
        const qint64 achat = std::llround(double(prix) / 100 / 1.196 * 0.45 * 100);
        const int stock = n % 9 == 0 ? 0 : int(alea.bounded(1, 12));
        const int aImprimer = demo ? (n % 17 == 0 ? int(alea.bounded(1, 4)) : 0) : 0;
        if (Resultat<> r = puits.article(
                {code, kTypes[t] + u' ', kTailles[(n / kTypes.size()) % kTailles.size()] + u' ',
                 kCouleurs[(n * 7 / 3) % kCouleurs.size()] + u' ', Montant::depuisCentimes(prix),
                 Montant::depuisCentimes(achat), 19.6,
                 n % 13 == 0 ? QString() : kFournisseurs[n % kFournisseurs.size()], stock,
                 aImprimer,
                 debut.addSecs(qint64(n) * 3600 % (400 * 86400))
                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
            !r)
            return r;
    }

    const QDateTime maintenant = QDateTime::currentDateTime();
    const QString moyens[] = {QStringLiteral("ESPECES"), QStringLiteral("CB"),
                              QStringLiteral("CHEQUE")};
    int ecrites = 0;
    int numero = 0;
    while (ecrites < lignes && !codes.isEmpty()) {
        ++numero;
        const int nbArticles = 1 + int(alea.bounded(4));
        qint64 total = 0; // cents
        for (int k = 0; k < nbArticles; ++k) {
            const int idx = int(alea.bounded(qint64(codes.size())));
            const qint64 cents = kPrixCentimes[idx % kTypes.size()];
            const qint64 tva = cents * 196 / 1196;
            if (Resultat<> r = puits.ligne({numero, codes[idx], Montant::depuisCentimes(cents),
                                            Montant::depuisCentimes(tva), 1, 19.6});
                !r)
                return r;
            total += cents;
            ++ecrites;
        }
        if (Resultat<> r = puits.ligne({numero, moyens[numero % 3], Montant::depuisCentimes(-total),
                                        Montant(), 0, std::nullopt});
            !r)
            return r;
        ++ecrites;
        // Spread over the past weeks (a year for a large shop) in the order of their numbers,
        // as a till closes them; the last few tickets are today's.
        const qint64 restantes = qMax(0, lignes - ecrites);
        const qint64 avant = qint64(jours) * 86400 * restantes / qMax(lignes, 1);
        const QDateTime quand = restantes < 30 ? maintenant.addSecs(-60 * restantes)
                                               : maintenant.addSecs(-86400 - avant);
        if (Resultat<> r =
                puits.ticket({numero, quand.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                              Montant::depuisCentimes(total)});
            !r)
            return r;
    }
    return puits.terminer();
}

// The rows into a file, one prepared insert per table, in the caller's transaction.
class PuitsFichier : public Puits {
  public:
    explicit PuitsFichier(sqlite3* db)
        : fournisseur_(db, "INSERT INTO FOURNISSEURS VALUES (?, ?, ?, ?)"),
          article_(db, "INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, "
                       "tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, EnStock, nbraimprimer, "
                       "DateDeCreation) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          ticket_(db, "INSERT INTO TICKETS (NumeroTicket, Date, TotalTTC, TicketClos, caisse, "
                      "vendeur) VALUES (?, ?, ?, 1, '1', '1')"),
          ligne_(db, "INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt, "
                     "TauxTVA) VALUES (?, ?, ?, ?, ?, ?)") {}
    Resultat<> fournisseur(const Fournisseur& f) override {
        return fournisseur_.texte(f.code)
            .texte(f.nom)
            .texte(f.adresse)
            .texte(f.telephone)
            .executer();
    }
    // The file keeps amounts as the nearest double, as the till writes them.
    Resultat<> article(const Article& a) override {
        return article_.texte(a.code)
            .texte(a.libelle)
            .texte(a.taille)
            .texte(a.couleur)
            .reel(a.prix.enDouble())
            .reel(a.taux)
            .reel(a.achat.enDouble())
            .reel(a.taux)
            .texte(a.fournisseur)
            .reel(a.stock)
            .entier(a.aImprimer)
            .texte(a.creation)
            .executer();
    }
    Resultat<> ligne(const Ligne& l) override {
        ligne_.entier(l.ticket)
            .texte(l.code)
            .reel(l.prix.enDouble())
            .reel(l.tva.enDouble())
            .reel(l.qt);
        if (l.taux)
            ligne_.reel(*l.taux);
        else
            ligne_.texte(QString());
        return ligne_.executer();
    }
    Resultat<> ticket(const Ticket& t) override {
        return ticket_.entier(t.numero).texte(t.date).reel(t.total.enDouble()).executer();
    }
    Resultat<> terminer() override { return {}; }

  private:
    Insertion fournisseur_, article_, ticket_, ligne_;
};

// An amount as the exact decimal a NUMERIC column takes ("-39.9000"), never through a double.
QString decimal(Montant m) {
    const qint64 v = m.dixMilliemes();
    const quint64 a = v < 0 ? 0 - quint64(v) : quint64(v);
    return QStringLiteral("%1%2.%3")
        .arg(v < 0 ? QStringLiteral("-") : QString())
        .arg(a / quint64(Montant::echelle))
        .arg(a % quint64(Montant::echelle), 4, 10, QLatin1Char('0'));
}

// The rows of one table gathered and written a few hundred at a time, by one INSERT of many
// rows whose values are all bound: a row per statement would cost the server's round trip a
// million times over.
class Lot {
  public:
    static constexpr int kRangs = 400;

    Lot(const QSqlDatabase& db, QString debut, int colonnes)
        : db_(db), debut_(std::move(debut)), colonnes_(colonnes), plein_(db), reste_(db) {
        valeurs_.reserve(kRangs * colonnes);
    }
    // One row: exactly `colonnes` values.
    void ajouter(std::initializer_list<QVariant> rang) {
        for (const QVariant& v : rang)
            valeurs_.append(v);
    }
    bool plein() const { return valeurs_.size() >= qsizetype(kRangs) * colonnes_; }
    // Writes the whole batches gathered, and the rows left over too when `reste`.
    Resultat<> ecrire(bool reste) {
        qsizetype debut = 0;
        const qsizetype parLot = qsizetype(kRangs) * colonnes_;
        Resultat<> fait;
        for (; fait && valeurs_.size() - debut >= parLot; debut += parLot)
            fait = executer(plein_, prepare_, debut, kRangs);
        const int restants = int((valeurs_.size() - debut) / colonnes_);
        if (fait && reste && restants > 0) {
            // The last, shorter statement, prepared for itself.
            bool prepare = false;
            fait = executer(reste_, prepare, debut, restants);
            debut = valeurs_.size();
        }
        valeurs_.remove(0, debut);
        return fait;
    }

  private:
    QString instruction(int rangs) const {
        QString marques = QStringLiteral("(?");
        for (int c = 1; c < colonnes_; ++c)
            marques += QStringLiteral(", ?");
        marques += u')';
        QString sql = debut_;
        for (int r = 0; r < rangs; ++r)
            sql += (r ? QStringLiteral(", ") : QStringLiteral(" VALUES ")) + marques;
        return sql;
    }
    Resultat<> executer(QSqlQuery& q, bool& prepare, qsizetype debut, int rangs) {
        if (!prepare && !q.prepare(instruction(rangs)))
            return echec(raisonSql(q.lastError()));
        prepare = true;
        const qsizetype n = qsizetype(rangs) * colonnes_;
        for (qsizetype i = 0; i < n; ++i)
            q.bindValue(int(i), valeurs_[debut + i]);
        if (!q.exec())
            return echec(raisonSql(q.lastError()));
        return {};
    }

    QSqlDatabase db_;
    QString debut_;
    int colonnes_;
    // The statements are kept as long as the rows' transaction: the server lets a prepared
    // statement go at once only while that transaction has not failed.
    QSqlQuery plein_, reste_;
    bool prepare_ = false;
    QVariantList valeurs_;
};

// The rows onto a server, in batches, in the caller's transaction. Amounts go as exact
// decimals. A ticket is written after its lines, so that no line meets its ticket closed.
class PuitsServeur : public Puits {
  public:
    explicit PuitsServeur(const QSqlDatabase& db)
        : fournisseurs_(db,
                        QStringLiteral("INSERT INTO FOURNISSEURS (codefournisseur, nom, adresse, "
                                       "telephone)"),
                        4),
          articles_(db,
                    QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, "
                                   "PrixVenteTTC, tauxTVAvente, PrixHAHT, tauxTVAHA, fournisseur, "
                                   "EnStock, nbraimprimer, DateDeCreation)"),
                    12),
          lignes_(db,
                  QStringLiteral("INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, "
                                 "TVA, qt, TauxTVA)"),
                  6),
          tickets_(db,
                   QStringLiteral("INSERT INTO TICKETS (NumeroTicket, Date, TotalTTC, TicketClos, "
                                  "caisse, vendeur)"),
                   6) {}
    Resultat<> fournisseur(const Fournisseur& f) override {
        fournisseurs_.ajouter({f.code, f.nom, f.adresse, f.telephone});
        return fournisseurs_.ecrire(false);
    }
    Resultat<> article(const Article& a) override {
        articles_.ajouter({a.code, a.libelle, a.taille, a.couleur, decimal(a.prix), a.taux,
                           decimal(a.achat), a.taux, texteOuNul(a.fournisseur), a.stock,
                           a.aImprimer, a.creation});
        return articles_.ecrire(false);
    }
    // The tickets are written when the lines are: every ticket gathered then has its lines
    // written already.
    Resultat<> ligne(const Ligne& l) override {
        lignes_.ajouter({l.ticket, l.code, decimal(l.prix), decimal(l.tva), l.qt,
                         l.taux ? QVariant(*l.taux) : QVariant(QMetaType::fromType<double>())});
        if (!lignes_.plein())
            return {};
        if (Resultat<> r = lignes_.ecrire(false); !r)
            return r;
        return tickets_.ecrire(false);
    }
    Resultat<> ticket(const Ticket& t) override {
        tickets_.ajouter(
            {t.numero, t.date, decimal(t.total), 1, QStringLiteral("1"), QStringLiteral("1")});
        return {};
    }
    Resultat<> terminer() override {
        for (Lot* l : {&fournisseurs_, &articles_, &lignes_, &tickets_})
            if (Resultat<> r = l->ecrire(true); !r)
                return r;
        return {};
    }

  private:
    static QVariant texteOuNul(const QString& s) {
        return s.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(s);
    }
    Lot fournisseurs_, articles_, lignes_, tickets_;
};

// Fills the shop of the file `chemin` in one transaction: a failure leaves none of its rows.
Resultat<> remplirFichier(const QString& chemin, int articles, int lignes, bool demo) {
    Connexion c(chemin, false);
    if (!c.ouverture())
        return c.ouverture();
    if (Resultat<> r = c.exec("BEGIN"); !r)
        return r;
    {
        PuitsFichier puits(c.db());
        if (Resultat<> r = generer(puits, articles, lignes, demo); !r)
            return r; // rolled back as the connection closes
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
// What a new shop is filled with: nothing, the demo shop or a large one.
struct Remplissage {
    int articles = 0;
    int lignes = 0;
    bool demo = false;
    bool vide() const { return articles <= 0; }
};
const Remplissage kDemo{300, 160, true};

// Runs `travail` on a connection of its own to the server at `texte`, in one transaction that
// is committed when it succeeds and rolled back otherwise.
Resultat<>
surServeur(const QString& texte,
           const std::function<Resultat<>(const QSqlDatabase&, const AdresseServeur&)>& travail) {
    const Resultat<AdresseServeur> a = AdresseServeur::lire(texte);
    if (!a)
        return a.echec();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return echec(QStringLiteral("le pilote PostgreSQL de Qt n'est pas installé (paquet "
                                    "libqt6sql6-psql)"));
    static std::atomic<int> connexions = 0;
    const QString nom = QStringLiteral("creation_%1").arg(++connexions);
    Resultat<> fait;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nom);
        a->appliquer(db);
        if (!db.open())
            fait = echec(QStringLiteral("le serveur de la base %1 ne peut pas être joint : %2")
                             .arg(a->texte(), raisonSql(db.lastError())));
        else if (!db.transaction())
            fait = echec(raisonSql(db.lastError()));
        else {
            fait = travail(db, *a);
            if (fait && !db.commit())
                fait = echec(raisonSql(db.lastError()));
            if (!fait)
                db.rollback();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(nom);
    return fait;
}

// Fills the shop of the server's connection `db`, in its transaction. A failure takes the
// rows back at once, so that the server lets the batches' statements go before the caller's
// rollback.
Resultat<> remplirSur(const QSqlDatabase& db, Remplissage remplissage) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SAVEPOINT remplissage")))
        return echec(raisonSql(q.lastError()));
    PuitsServeur puits(db);
    const Resultat<> fait =
        generer(puits, remplissage.articles, remplissage.lignes, remplissage.demo);
    if (!fait)
        q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT remplissage"));
    return fait;
}

// A new shop in an empty database of a PostgreSQL server: its tables, its search functions and
// the code look-up's index, and the rows of `remplissage`, together or not at all.
Resultat<> creerSurServeur(const QString& texte, Remplissage remplissage) {
    chargerRessources();
    QFile schema(QStringLiteral(":/talmir/schema_postgres.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        return echec(QStringLiteral("le schéma de la base est introuvable dans le programme"));
    return surServeur(texte, [&](const QSqlDatabase& db, const AdresseServeur& a) -> Resultat<> {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral(
                "SELECT count(*) FROM information_schema.tables WHERE table_schema = "
                "current_schema() AND table_name = 'articles'")) ||
            !q.next())
            return echec(raisonSql(q.lastError()));
        if (q.value(0).toInt() != 0)
            return echec(
                QStringLiteral("la base %1 contient déjà une boutique : elle n'est pas remplacée")
                    .arg(a.texte()));
        if (!q.exec(QString::fromUtf8(schema.readAll()) + fonctionsServeur() +
                    indexCleCode(Database::Moteur::PostgreSQL)))
            return echec(QStringLiteral("la boutique ne peut pas être créée sur %1 : %2")
                             .arg(a.texte(), raisonSql(q.lastError())));
        q.finish();
        if (remplissage.vide())
            return {};
        if (Resultat<> r = remplirSur(db, remplissage); !r)
            return echec(QStringLiteral("la boutique ne peut pas être remplie sur %1 : %2")
                             .arg(a.texte(), r.raison()));
        return {};
    });
}

// Fills the shop already made in the database of a server, in one transaction.
Resultat<> remplirServeur(const QString& texte, Remplissage remplissage) {
    return surServeur(texte, [&](const QSqlDatabase& db, const AdresseServeur&) {
        return remplirSur(db, remplissage);
    });
}

Resultat<> remplir(const QString& chemin, Remplissage remplissage) {
    if (AdresseServeur::estServeur(chemin))
        return remplirServeur(chemin, remplissage);
    return remplirFichier(chemin, remplissage.articles, remplissage.lignes, remplissage.demo);
}

// A new shop filled: on a server in the one transaction of its tables; a file that cannot be
// filled is removed.
Resultat<> creerRemplie(const QString& chemin, Remplissage remplissage) {
    if (AdresseServeur::estServeur(chemin))
        return creerSurServeur(chemin, remplissage);
    if (Resultat<> r = creerBase(chemin); !r)
        return r;
    Resultat<> r = remplir(chemin, remplissage);
    if (!r)
        QFile::remove(chemin);
    return r;
}
} // namespace

Resultat<> creerBase(const QString& chemin) {
    if (AdresseServeur::estServeur(chemin))
        return creerSurServeur(chemin, {});
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
    return remplir(chemin, kDemo);
}

Resultat<> remplirGrande(const QString& chemin, int articles, int lignes) {
    return remplir(chemin, {articles, lignes, false});
}

Resultat<> creerDemo(const QString& chemin) {
    return creerRemplie(chemin, kDemo);
}

Resultat<> creerGrande(const QString& chemin, int articles, int lignes) {
    return creerRemplie(chemin, {articles, lignes, false});
}

} // namespace creation
