#include "support/testsupport.h"

#include "common/cp1252.h"
#include "database/adresseserveur.h"
#include "database/creation.h"
#include "printing/surface.h"

#include <QCoreApplication>
#include <QFile>
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
        const Resultat<> rempli = creation::remplirDemo(inst_.baseParDefaut());
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
