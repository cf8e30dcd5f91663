#include "frame/demarrage.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "common/texte.h"
#include "database/adresseserveur.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "frame/installation.h"
#include "platform/fichiers.h"
#include "platform/verroufichier.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <optional>

namespace {
// The numeric reading of a setting, rounded to a 16-bit whole number (halves to even); a value
// out of that range gives nothing.
std::optional<int> entier16(double v) {
    const double r = std::nearbyint(v);
    if (!std::isfinite(r) || r < -32768 || r > 32767)
        return std::nullopt;
    return int(r);
}
} // namespace

Demarrage::Demarrage(const Installation& installation, Database& bdd)
    : installation_(installation), bdd_(bdd), reglages_(installation.fichierIni()) {}

Demarrage::~Demarrage() {
    attendreSauvegarde();
}

Reglage Demarrage::reglageBase(const Installation& installation) {
    return {QStringLiteral("systeme"), QStringLiteral("Base de donnees"),
            installation.baseParDefaut()};
}

Reglage Demarrage::reglageNumeroSauvegarde() {
    return {QStringLiteral("system"), QStringLiteral("sauvegardes numero"), QStringLiteral("0")};
}

Reglage Demarrage::reglageNombreSauvegardes() {
    return {QStringLiteral("system"), QStringLiteral("sauvegardes nombre"), QStringLiteral("30")};
}

Resultat<> Demarrage::verifierBase() const {
    const QString base = reglages_.lire(reglageBase(installation_));
    // A shop on a server is found, or not, when it is opened.
    if (QFileInfo::exists(base) || AdresseServeur::estServeur(base))
        return {};
    // The tool that makes a shop lies beside the program in a build; elsewhere it is named.
    const QString outil = installation_.chemin(QStringLiteral("creer_base"));
    const QString commande = QFileInfo(outil).isExecutable() ? QDir::toNativeSeparators(outil)
                                                             : QStringLiteral("creer_base");
    const QString fichier = QDir::toNativeSeparators(base);
    return echec(QStringLiteral("la base de données %1 est introuvable.\n\nPour créer une boutique "
                                "à cet endroit, lancez :\n%2 --demo \"%1\"   (boutique de "
                                "démonstration)\n%2 \"%1\"   (boutique vide)\npuis redémarrez le "
                                "programme")
                     .arg(fichier, commande));
}

Resultat<> Demarrage::verrouiller() {
    // The database path is only read here, so a refused start writes nothing.
    const QString base = reglages_.lire(reglageBase(installation_));
    // Several tills on one server are what the server is for: no lock.
    if (AdresseServeur::estServeur(base))
        return {};
    auto verrou = std::make_unique<VerrouFichier>(base + QStringLiteral(".verrou"));
    const Resultat<bool> pris = verrou->essayer();
    // A folder that cannot hold a lock file has nothing to guard: the log says why.
    if (!pris) {
        consigner(pris, QStringLiteral("verrou de la base de données"));
        return {};
    }
    if (!*pris)
        return echec(QStringLiteral("Le programme est déjà ouvert sur cette base de données "
                                    "(%1). Fermez l'autre caisse avant de démarrer celle-ci.")
                         .arg(QDir::toNativeSeparators(base)));
    verrou_ = std::move(verrou);
    return {};
}

int Demarrage::emplacementSuivant() const {
    int emplacement = 0;
    if (auto v = entier16(lireNombre(reglages_.lireOuInitialiser(reglageNumeroSauvegarde())) + 1))
        emplacement = *v;
    int plusHaut = 0;
    if (auto v = entier16(lireNombre(reglages_.lireOuInitialiser(reglageNombreSauvegardes()))))
        plusHaut = *v;
    if (emplacement > plusHaut || emplacement < 0)
        emplacement = 0;
    return emplacement;
}

QString Demarrage::prochaineSauvegarde(const QString& base) {
    const bool serveur = AdresseServeur::estServeur(base);
    const int emplacement = emplacementSuivant();
    // The slot advances even when the copy fails.
    reglages_.ecrire(reglageNumeroSauvegarde(), nombreReglage(emplacement));
    sauvegardee_ = true;
    // A server's copy is its own tool's archive, not a database file.
    return installation_.chemin(dossierSauvegardes()) + u'/' + installation_.nom + u'_' +
           QString::number(emplacement) +
           (serveur ? QStringLiteral(".dump") : Installation::extensionBase());
}

Resultat<> Demarrage::sauvegarder(const QString& base, const QString& copie) {
    Resultat<> r = creerDossier(QFileInfo(copie).absolutePath());
    if (r && AdresseServeur::estServeur(base))
        return Database::copierServeur(base, copie);
    if (r)
        r = Database::copierFichier(base, copie);
    if (r)
        r = Database::verifierFichier(copie);
    return r;
}

Resultat<> Demarrage::sauvegardeTournante() {
    const QString base = reglages_.lire(reglageBase(installation_));
    return sauvegarder(base, prochaineSauvegarde(base));
}

void Demarrage::sauvegarderEnFond(std::function<void(const Resultat<>&)> fin) {
    if (sauvegardee_)
        return;
    const QString base = reglages_.lire(reglageBase(installation_));
    const QString copie = prochaineSauvegarde(base);
    fond_ = std::thread([base, copie, fin = std::move(fin)] { fin(sauvegarder(base, copie)); });
}

void Demarrage::attendreSauvegarde() {
    if (fond_.joinable())
        fond_.join();
}

Resultat<> Demarrage::ouvrirBase() {
    // Should the database's file disappear while the program runs, the operator is sent to the
    // rotating copies.
    bdd_.setDossierCopies(installation_.chemin(dossierSauvegardes()));
    if (Resultat<> r = bdd_.ouvrir(reglages_.lireOuInitialiser(reglageBase(installation_))); !r)
        return r;
    // A shop of an older program gets this one's tables now, the rotating copy made before;
    // a shop of a newer program is not touched.
    const Resultat<int> version = versionschema::lire(bdd_);
    versionAvant_ = version ? *version : -1;
    // The rotating copy is made before an upgrade, so that it holds the shop as it was; on
    // other starts it is made in the background once the window shows.
    if (versionAvant_ >= 0 && versionAvant_ < versionschema::kActuelle)
        consigner(sauvegardeTournante(), QStringLiteral("sauvegarde tournante"));
    if (Resultat<> r = versionschema::mettreANiveau(bdd_); !r) {
        bdd_.fermer();
        return r;
    }
    return {};
}
