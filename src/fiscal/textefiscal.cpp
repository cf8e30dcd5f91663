#include "fiscal/textefiscal.h"

#include "common/tauxtva.h"

#include <QMap>
#include <cstdlib>

namespace textefiscal {

QByteArray montant(Montant m) {
    const std::int64_t v = m.dixMilliemes();
    const std::uint64_t a = v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v);
    return (v < 0 ? QByteArrayLiteral("-") : QByteArray()) +
           QByteArray::number(qulonglong(a / Montant::echelle)) + '.' +
           QByteArray::number(qulonglong(a % Montant::echelle)).rightJustified(4, '0');
}

QByteArray texte(const Ticket& t) {
    QMap<qint64, Montant> parTaux;
    for (const MontantParTaux& m : t.parTaux)
        parTaux[centiemesDeTaux(m.taux)] += m.ttc;
    QByteArray s =
        QByteArrayLiteral("TICKET;NUMERO=") + QByteArray::number(t.numero) +
        QByteArrayLiteral(";GENRE=") +
        (t.genre == Genre::Vente ? QByteArrayLiteral("VENTE") : QByteArrayLiteral("ANNULATION")) +
        QByteArrayLiteral(";DATE=") +
        t.cloture.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
        QByteArrayLiteral(";TOTAL=") + montant(t.total);
    for (auto i = parTaux.cbegin(); i != parTaux.cend(); ++i) {
        const qint64 c = i.key();
        const qint64 a = std::llabs(c);
        s += QByteArrayLiteral(";TVA_") + (c < 0 ? QByteArrayLiteral("-") : QByteArray()) +
             QByteArray::number(a / 100) + '.' +
             QByteArray::number(a % 100).rightJustified(2, '0') + '=' + montant(i.value());
    }
    s += QByteArrayLiteral(";PRECEDENTE=") +
         (t.precedente.isEmpty() ? premiereSignature() : t.precedente);
    return s;
}

} // namespace textefiscal
