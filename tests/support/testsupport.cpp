#include "support/testsupport.h"

#include "common/cp1252.h"
#include "database/adresseserveur.h"
#include "database/creation.h"
#include "printing/surface.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

Dialogues::Reponse DialoguesScript::message(const QString& texte, const QString& titre,
                                            Boutons boutons, Icone icone, Reponse parDefaut) {
    boites.append({texte, titre, boutons, icone, parDefaut, false, {}, {}});
    if (aLAffichage)
        aLAffichage(boites.last());
    return reponses.isEmpty() ? parDefaut : reponses.takeFirst();
}

std::optional<QString> DialoguesScript::saisie(const QString& invite, const QString& titre,
                                               const QString& defaut,
                                               const Verification& verification) {
    boites.append(
        {invite, titre, Boutons::OkAnnuler, Icone::Aucune, Reponse::Ok, true, defaut, {}});
    if (aLAffichage)
        aLAffichage(boites.last());
    bool premiere = true;
    for (;;) {
        std::optional<QString> reponse;
        if (saisies.isEmpty())
            reponse = premiere ? std::optional<QString>(defaut) : std::nullopt;
        else
            reponse = saisies.takeFirst();
        premiere = false;
        if (!reponse || !verification)
            return reponse;
        const QString raison = verification(*reponse);
        if (raison.isEmpty())
            return reponse;
        boites.last().refus << raison;
    }
}

QStringList DialoguesScript::textes() const {
    QStringList t;
    for (const Boite& b : boites)
        t << b.texte;
    return t;
}

namespace {
class TravailTest : public TravailImpression {
  public:
    TravailTest(ImprimantesTest& service, int index) : service_(service), index_(index) {}
    Surface& surface() override { return *service_.travaux[index_].surface; }
    Resultat<> EndDoc() override {
        if (service_.enPanne)
            return echec(QStringLiteral("l'imprimante ne répond pas"));
        service_.travaux[index_].termine = true;
        return {};
    }

  private:
    ImprimantesTest& service_;
    int index_;
};
} // namespace

ImprimantesTest::ImprimantesTest(QStringList noms)
    : noms_(std::move(noms)), courante_(noms_.value(0)) {}

void ImprimantesTest::SelectPrinter(const QString& nom) {
    for (const QString& n : noms_)
        if (n == nom) {
            courante_ = n;
            return;
        }
}

std::unique_ptr<TravailImpression> ImprimantesTest::commencer(FormatPapier format) {
    // 300 dpi pages: 80 mm wide receipts, A4 sheets.
    const double dpi = 300;
    const double largeur = (format == FormatPapier::Ticket ? 80.0 : 210.0) / 25.4 * dpi;
    const double hauteur = (format == FormatPapier::Ticket ? 2000.0 : 297.0) / 25.4 * dpi;
    auto surface = std::make_shared<Surface>(largeur, hauteur, dpi);
    surface->setImprimante(true); // as a real job's: Cls has nothing to clear
    travaux.append({courante_, format, std::move(surface), false});
    return std::make_unique<TravailTest>(*this, int(travaux.size() - 1));
}

Resultat<> LanceurTest::ouvrir(const QString& fichier, Role role, SiEchec siEchec) {
    if (echoue)
        return echec(QStringLiteral("programme introuvable"));
    ouverts.append({fichier, role});
    echecsPlusTard.append(std::move(siEchec));
    return {};
}

void exiger(bool fait, const char* quoi, const QString& raison) {
    if (!fait)
        qFatal("test fixture: %s failed%s%s", quoi, raison.isEmpty() ? "" : ": ",
               qPrintable(raison));
}

namespace {
// A new empty database of the cluster whose socket lies in `socket`, and its address.
QString nouvelleBaseSurServeur(const QString& socket) {
    static int n = 0;
    const QString nom = QStringLiteral("b%1_%2").arg(QCoreApplication::applicationPid()).arg(++n);
    const QString connexion = QStringLiteral("creation_") + nom;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connexion);
        db.setHostName(socket);
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(QStringLiteral("postgres"));
        exiger(db.open(), "the test server", db.lastError().text());
        QSqlQuery q(db);
        exiger(q.exec(QStringLiteral("CREATE DATABASE ") + nom), "the shop's server database",
               q.lastError().text());
    }
    QSqlDatabase::removeDatabase(connexion);
    return AdresseServeur{socket, 5432, nom, QStringLiteral("postgres")}.texte();
}
} // namespace

BoutiqueTest::BoutiqueTest(Base base) {
    exiger(dir_.isValid(), "the temporary shop folder", dir_.errorString());
    inst_ = {dir_.path(), QStringLiteral("TALMIR_vestimentaire")};
    if (base == Base::Aucune)
        return;
    if (const QString socket = qEnvironmentVariable("TALMIR_TEST_SERVEUR"); !socket.isEmpty())
        adresse_ = nouvelleBaseSurServeur(socket);
    const Resultat<> cree =
        creation::creerBase(adresse_.isEmpty() ? inst_.baseParDefaut() : adresse_);
    exiger(cree.ok(), "the shop database", cree.raison());
    if (base == Base::Demo) {
        const Resultat<> rempli =
            creation::remplirDemo(adresse_.isEmpty() ? inst_.baseParDefaut() : adresse_);
        exiger(rempli.ok(), "the demo shop", rempli.raison());
    }
}

bool BoutiqueTest::ouvrir() {
    return bdd.ouvrir(adresse_.isEmpty() ? inst_.baseParDefaut() : adresse_).ok();
}

bool BoutiqueTest::sql(const QString& requete, const QVariantList& valeurs) {
    QSqlQuery q(bdd.connexion());
    return executer(q, requete, valeurs).ok();
}

QVariant BoutiqueTest::valeur(const QString& requete, const QVariantList& valeurs) {
    QSqlQuery q(bdd.connexion());
    if (!executer(q, requete, valeurs) || !q.next())
        return {};
    return q.value(0);
}

namespace {
// Trigger and table names are the tests' own words, never typed text: they must be plain
// identifiers, as they cannot be bound.
bool identifiant(const QString& nom) {
    static const QRegularExpression motif(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return motif.match(nom).hasMatch();
}

// A statement that defines or changes the schema: the server does not prepare those.
bool definir(const Database& base, const QString& requete) {
    QSqlQuery q(base.connexion());
    return q.exec(requete);
}

QString litteral(const QString& texte) {
    return u'\'' + QString(texte).replace(u'\'', QStringLiteral("''")) + u'\'';
}
} // namespace

bool BoutiqueTest::panne(const QString& nom, const QString& quand, const QString& message) {
    if (!identifiant(nom))
        return false;
    if (!surServeur())
        return definir(bdd,
                       QStringLiteral("CREATE TRIGGER %1 %2 BEGIN SELECT RAISE(ABORT, %3); END")
                           .arg(nom, quand, litteral(message)));
    return definir(bdd, QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                                       "$$ BEGIN RAISE EXCEPTION '%', TG_ARGV[0]; END $$")
                            .arg(nom)) &&
           definir(bdd, QStringLiteral("CREATE TRIGGER %1 %2 FOR EACH ROW EXECUTE FUNCTION %1(%3)")
                            .arg(nom, quand, litteral(message)));
}

bool BoutiqueTest::reparer(const QString& nom, const QString& table) {
    if (!identifiant(nom) || !identifiant(table))
        return false;
    if (!surServeur())
        return definir(bdd, QStringLiteral("DROP TRIGGER ") + nom);
    return definir(bdd, QStringLiteral("DROP TRIGGER %1 ON %2").arg(nom, table)) &&
           definir(bdd, QStringLiteral("DROP FUNCTION %1()").arg(nom));
}

bool BoutiqueTest::leverGardes(const QStringList& tables) {
    for (const QString& table : tables) {
        if (!identifiant(table))
            return false;
        // The file's guards are dropped; the server's are switched off (its AFTER triggers,
        // which number the tickets, go on working).
        const QString lecture =
            surServeur() ? QStringLiteral("SELECT tgname FROM pg_trigger WHERE tgrelid = "
                                          "lower(?)::regclass AND NOT tgisinternal "
                                          "AND (tgtype & 2) <> 0")
                         : QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                          "'trigger' AND tbl_name = ? COLLATE NOCASE");
        QSqlQuery q(bdd.connexion());
        if (!executer(q, lecture, {table}))
            return false;
        QStringList gardes;
        while (q.next())
            gardes << q.value(0).toString();
        q.finish();
        if (gardes.isEmpty())
            return false; // no such table, or nothing guards it: the test would prove nothing
        for (const QString& garde : gardes) {
            const QString nomCite =
                u'"' + QString(garde).replace(u'"', QStringLiteral("\"\"")) + u'"';
            if (!definir(bdd, surServeur() ? QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER %2")
                                                 .arg(table, nomCite)
                                           : QStringLiteral("DROP TRIGGER ") + nomCite))
                return false;
        }
    }
    return true;
}

CleFiscale cleDeTest() {
    static const CleFiscale cle = [] {
        Resultat<CleFiscale> c = CleFiscale::nouvelle();
        exiger(c.ok(), "clé de signature de test", c.ok() ? QString() : c.raison());
        return *c;
    }();
    return cle;
}

QStringList BoutiqueTest::lignesJournal() const {
    QFile f(inst_.chemin(QStringLiteral("inventaire.txt")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lignes = depuisWindows1252(f.readAll()).split(QStringLiteral("\r\n"));
    if (!lignes.isEmpty() && lignes.last().isEmpty())
        lignes.removeLast();
    return lignes;
}

Services& BoutiqueTest::services() {
    if (!services_)
        services_ = std::make_unique<Services>(
            Services{inst_, bdd, dialogues, imprimantes, lanceur, horloge, progression, fin, cle});
    return *services_;
}
