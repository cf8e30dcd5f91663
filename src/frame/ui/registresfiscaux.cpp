#include "frame/ui/registresfiscaux.h"

#include "controle/verification.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "journals/clotures.h"
#include "register/signatureticket.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
// The records of each chain checked at each start.
constexpr qint64 kDerniersControles = 50;
} // namespace

Resultat<QString> ouvrirRegistresFiscaux(const Database& bdd, CleFiscale& cle, int versionAvant,
                                         const QDateTime& maintenant,
                                         const QString& dossierProgramme) {
    const bool serveur = bdd.moteur() == Database::Moteur::PostgreSQL;
    if (serveur && dossierProgramme.isEmpty())
        return echec(QStringLiteral("Les ventes ne peuvent pas être signées : le dossier de la "
                                    "clé de signature n'est pas connu."));
    // The tills of a shop on a server sign with the shop's one key: a till without it does not
    // make one of its own once the shop has signed records, the chain would not check.
    if (serveur &&
        !QFileInfo::exists(QDir(dossierProgramme).filePath(CleFiscale::fichierPrive()))) {
        const Resultat<QDateTime> signe = evenements::derniereDate(bdd);
        if (!signe)
            return signe.echec();
        if (signe->isValid())
            return echec(QStringLiteral("Les ventes ne peuvent pas être signées : cette caisse n'a "
                                        "pas la clé de signature de la boutique. Copiez les "
                                        "fichiers %1 et %2 du dossier d'une autre caisse de la "
                                        "boutique dans %3, puis redémarrez.")
                             .arg(CleFiscale::fichierPrive(), CleFiscale::fichierPublic(),
                                  QDir::toNativeSeparators(dossierProgramme)));
    }
    Resultat<CleFiscale> chargee = CleFiscale::chargerOuCreer(
        serveur ? dossierProgramme : QFileInfo(bdd.chemin()).absolutePath());
    if (!chargee)
        return echec(QStringLiteral("Les ventes ne peuvent pas être signées : %1. Remettez en "
                                    "place la clé de signature de cette boutique (sauvegarde) "
                                    "avant de reprendre les ventes.")
                         .arg(chargee.raison()));
    cle = *chargee;
    if (versionAvant >= 0 && versionAvant < versionschema::kActuelle)
        if (Resultat<qint64> r = evenements::consigner(bdd, cle, evenements::miseANiveau(),
                                                       QStringLiteral("schéma n° %1 -> n° %2")
                                                           .arg(versionAvant)
                                                           .arg(versionschema::kActuelle),
                                                       maintenant);
            !r)
            return r.echec();
    const Resultat<qint64> scelles = signatureticket::sceller(bdd, cle);
    if (!scelles)
        return scelles.echec();
    if (*scelles > 0)
        if (Resultat<qint64> r =
                evenements::consigner(bdd, cle, evenements::scellement(),
                                      QStringLiteral("%1 tickets clos avant la signature des "
                                                     "tickets")
                                          .arg(*scelles),
                                      maintenant);
            !r)
            return r.echec();
    const Resultat<QDateTime> derniere = evenements::derniereDate(bdd);
    if (!derniere)
        return derniere.echec();
    if (derniere->isValid() && maintenant < *derniere)
        if (Resultat<qint64> r = evenements::consigner(
                bdd, cle, evenements::horlogeEnArriere(),
                QStringLiteral("horloge à %1, dernier enregistrement signé du %2")
                    .arg(maintenant.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                         derniere->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                maintenant);
            !r)
            return r.echec();
    // The last records are checked at each start: a change made around the program since the
    // last start is recorded, and told, before anything is added to the chains.
    QStringList avertissements;
    const Resultat<QString> controle =
        verification::verifierDerniers(bdd, cle.publique(), kDerniersControles);
    const QString raison = controle ? *controle : controle.raison();
    if (!raison.isEmpty()) {
        if (Resultat<qint64> r = evenements::consigner(bdd, cle, evenements::controleEchoue(),
                                                       raison.left(500), maintenant);
            !r)
            return r.echec();
        avertissements << QStringLiteral("Le contrôle des derniers enregistrements signés a "
                                         "échoué : %1. L'anomalie est consignée ; faites vérifier "
                                         "la base de la boutique avec controle_caisse.")
                              .arg(raison);
    }
    if (Resultat<qint64> r =
            evenements::consigner(bdd, cle, evenements::demarrage(), QString(), maintenant);
        !r)
        return r.echec();
    if (Resultat<QList<textefiscal::Cloture>> z = clotures::cloreJoursOublies(bdd, cle, maintenant);
        !z)
        avertissements << QStringLiteral("Les clôtures des jours précédents n'ont pas pu être "
                                         "faites : %1. Les ventes peuvent continuer ; faites la "
                                         "clôture du jour depuis l'onglet Journaux.")
                              .arg(z.raison());
    return avertissements.join(u'\n');
}
