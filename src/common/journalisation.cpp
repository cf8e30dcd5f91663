#include "common/journalisation.h"

Q_LOGGING_CATEGORY(talmirLog, "talmir")

void consigner(const Resultat<>& resultat, const QString& quoi) {
    if (!resultat)
        qCWarning(talmirLog).noquote() << quoi << ":" << resultat.raison();
}
