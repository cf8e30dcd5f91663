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

QByteArray taux(double pourcent) {
    const qint64 c = centiemesDeTaux(pourcent);
    const qint64 a = std::llabs(c);
    return (c < 0 ? QByteArrayLiteral("-") : QByteArray()) + QByteArray::number(a / 100) + '.' +
           QByteArray::number(a % 100).rightJustified(2, '0');
}

QByteArray date(const QDateTime& quand) {
    return quand.isValid() ? quand.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1()
                           : QByteArray();
}

QString caisseStockee(const QVariant& valeur) {
    return valeur.isNull() ? QStringLiteral("1") : valeur.toString();
}

QDateTime dateStockee(const QString& texte) {
    return QDateTime::fromString(texte.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

namespace {
QByteArray jour(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("yyyyMMdd")).toLatin1() : QByteArray();
}
// The till's field: none for the first till, whose texts are as they were before tills were
// numbered.
QByteArray caisse(const QString& c) {
    return c.isEmpty() || c == QStringLiteral("1") ? QByteArray()
                                                   : QByteArrayLiteral(";CAISSE=") + c.toUtf8();
}
QByteArray precedente(const QByteArray& p) {
    return QByteArrayLiteral(";PRECEDENTE=") + (p.isEmpty() ? premiereSignature() : p);
}
} // namespace

QByteArray texte(const Evenement& e) {
    QByteArray detail;
    for (const char c : e.detail.toUtf8()) {
        if (c == ';' || c == '%' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7f)
            detail += '%' + QByteArray::number(static_cast<unsigned char>(c), 16)
                                .rightJustified(2, '0')
                                .toUpper();
        else
            detail += c;
    }
    return QByteArrayLiteral("EVENEMENT;NUMERO=") + QByteArray::number(e.numero) +
           QByteArrayLiteral(";DATE=") + date(e.quand) + QByteArrayLiteral(";GENRE=") +
           e.genre.toUtf8() + QByteArrayLiteral(";DETAIL=") + detail + precedente(e.precedente);
}

QByteArray texte(const Cloture& c) {
    QByteArray s = QByteArrayLiteral("CLOTURE;NUMERO=") + QByteArray::number(c.numero) +
                   caisse(c.caisse) + QByteArrayLiteral(";GENRE=") + c.genre.toUtf8() +
                   QByteArrayLiteral(";DEBUT=") + jour(c.debut) + QByteArrayLiteral(";FIN=") +
                   jour(c.fin) + QByteArrayLiteral(";PREMIER=") + QByteArray::number(c.premier) +
                   QByteArrayLiteral(";DERNIER=") + QByteArray::number(c.dernier) +
                   QByteArrayLiteral(";DATE=") + date(c.quand) + QByteArrayLiteral(";TICKETS=") +
                   QByteArray::number(c.tickets) + QByteArrayLiteral(";TTC=") +
                   montant(c.totalTtc) + QByteArrayLiteral(";HT=") + montant(c.totalHt);
    QMap<qint64, TauxCloture> parTaux;
    for (const TauxCloture& t : c.parTaux) {
        TauxCloture& cumul = parTaux[centiemesDeTaux(t.taux)];
        cumul.taux = t.taux;
        cumul.ttc += t.ttc;
        cumul.ht += t.ht;
    }
    for (const TauxCloture& t : parTaux)
        s += QByteArrayLiteral(";TVA_") + taux(t.taux) + '=' + montant(t.ttc) + ':' + montant(t.ht);
    for (const auto& [moyen, m] : c.payes)
        s += ';' + moyen.toUtf8() + '=' + montant(m);
    s += QByteArrayLiteral(";RENDU=") + montant(c.rendu) + QByteArrayLiteral(";REMISES=") +
         montant(c.remises) + QByteArrayLiteral(";RETOURS=") + montant(c.retours) +
         QByteArrayLiteral(";ANNULATIONS=") + QByteArray::number(c.annulations) + ':' +
         montant(c.annule) + QByteArrayLiteral(";DUPLICATAS=") + QByteArray::number(c.duplicatas) +
         QByteArrayLiteral(";EVENEMENTS=") + QByteArray::number(c.dernierEvenement) +
         QByteArrayLiteral(";GRANDTOTAL=") + montant(c.grandTotal) + precedente(c.precedente);
    return s;
}

QByteArray texte(const Ticket& t) {
    QMap<qint64, Montant> parTaux;
    for (const MontantParTaux& m : t.parTaux)
        parTaux[centiemesDeTaux(m.taux)] += m.ttc;
    QByteArray s =
        QByteArrayLiteral("TICKET;NUMERO=") + QByteArray::number(t.numero) + caisse(t.caisse) +
        QByteArrayLiteral(";GENRE=") +
        (t.genre == Genre::Vente ? QByteArrayLiteral("VENTE") : QByteArrayLiteral("ANNULATION")) +
        QByteArrayLiteral(";DATE=") + date(t.cloture) + QByteArrayLiteral(";TOTAL=") +
        montant(t.total);
    for (auto i = parTaux.cbegin(); i != parTaux.cend(); ++i) {
        s += QByteArrayLiteral(";TVA_") + taux(double(i.key()) / 100) + '=' + montant(i.value());
    }
    s += precedente(t.precedente);
    return s;
}

} // namespace textefiscal
