#include "frame/ui/registresfiscaux.h"

#include "database/database.h"
#include "database/versionschema.h"
#include "fiscal/clefiscale.h"
#include "fiscal/evenements.h"
#include "journals/clotures.h"
#include "register/signatureticket.h"

#include <QFileInfo>

Resultat<QString> ouvrirRegistresFiscaux(const Database& bdd, CleFiscale& cle, int versionAvant,
                                         const QDateTime& maintenant) {
    Resultat<CleFiscale> chargee =
        CleFiscale::chargerOuCreer(QFileInfo(bdd.chemin()).absolutePath());
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
    if (Resultat<qint64> r =
            evenements::consigner(bdd, cle, evenements::demarrage(), QString(), maintenant);
        !r)
        return r.echec();
    if (Resultat<QList<textefiscal::Cloture>> z = clotures::cloreJoursOublies(bdd, cle, maintenant);
        !z)
        return QStringLiteral("Les clôtures des jours précédents n'ont pas pu être faites : %1. "
                              "Les ventes peuvent continuer ; faites la clôture du jour depuis "
                              "l'onglet Journaux.")
            .arg(z.raison());
    return QString();
}
