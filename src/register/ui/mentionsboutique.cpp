#include "register/ui/mentionsboutique.h"

#include "register/signatureticket.h"
#include "settings/reglage.h"

MentionsRecu mentionsBoutique(const Reglages& reglages, std::optional<qint64> numero,
                              const QByteArray& signature) {
    const QString section = QStringLiteral("boutique");
    auto lire = [&](const QString& cle) { return reglages.lire({section, cle, QString()}); };
    MentionsRecu m;
    m.numero = numero;
    m.signature = signatureticket::extrait(signature);
    m.boutique << lire(QStringLiteral("nom")) << lire(QStringLiteral("adresse"));
    if (const QString siret = lire(QStringLiteral("siret")); !siret.trimmed().isEmpty())
        m.boutique << QStringLiteral("SIRET : ") + siret;
    if (const QString tva = lire(QStringLiteral("numero de TVA")); !tva.trimmed().isEmpty())
        m.boutique << QStringLiteral("N° de TVA : ") + tva;
    m.programme = QStringLiteral("TALMIR_vestimentaire %1.%2.%3")
                      .arg(TALMIR_VERSION_MAJOR)
                      .arg(TALMIR_VERSION_MINOR)
                      .arg(TALMIR_VERSION_PATCH);
    return m;
}
