#include "journals/clotures.h"

#include "database/database.h"

namespace clotures {

Resultat<QByteArray> texteAttendu(const Database&, qint64 numero) {
    return echec(QStringLiteral("la clôture n° %1 ne peut pas encore être recalculée").arg(numero));
}

} // namespace clotures
