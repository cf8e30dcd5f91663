#include "register/tvapartaux.h"

#include "common/tauxtva.h"

#include <QMap>

namespace {
void ajouter(QMap<qint64, TotalTaux>& parTaux, double taux, Montant ttc, Montant tva) {
    TotalTaux& t = parTaux[centiemesDeTaux(taux)];
    t.taux = taux == kTauxInconnu ? kTauxInconnu : double(centiemesDeTaux(taux)) / 100;
    t.ttc += ttc;
    t.tva += tva;
}
} // namespace

QList<TotalTaux> totauxParTaux(const QList<LigneTicket>& lignes) {
    QMap<qint64, TotalTaux> ticket;
    QList<const LigneTicket*> sansTaux;
    for (const LigneTicket& l : lignes) {
        if (!l.estPrixee())
            continue;
        if (l.taux)
            ajouter(ticket, *l.taux, l.prix, l.tva);
        else
            sansTaux << &l;
    }
    Montant base;
    for (const TotalTaux& t : ticket)
        base += t.ttc;
    // The shares are fixed before any is added, so that they do not follow the amounts.
    const QList<qint64> cles = ticket.keys();
    QList<Montant> parts;
    for (qint64 c : cles)
        parts << ticket[c].ttc;
    for (const LigneTicket* l : sansTaux) {
        if (cles.isEmpty() || base.estNul()) {
            ajouter(ticket, kTauxInconnu, l->prix, l->tva);
            continue;
        }
        Montant resteTtc = l->prix, resteTva = l->tva;
        for (qsizetype i = 0; i < cles.size(); ++i) {
            TotalTaux& t = ticket[cles[i]];
            const bool dernier = i + 1 == cles.size();
            const Montant ttc = dernier ? resteTtc : l->prix.proportion(parts[i], base);
            const Montant tva = dernier ? resteTva : l->tva.proportion(parts[i], base);
            t.ttc += ttc;
            t.tva += tva;
            resteTtc = resteTtc - ttc;
            resteTva = resteTva - tva;
        }
    }
    return ticket.values();
}

void cumulerParTaux(QList<TotalTaux>& cumul, const QList<TotalTaux>& ajout) {
    QMap<qint64, TotalTaux> tous;
    for (const TotalTaux& t : cumul)
        ajouter(tous, t.taux, t.ttc, t.tva);
    for (const TotalTaux& t : ajout)
        ajouter(tous, t.taux, t.ttc, t.tva);
    cumul = tous.values();
}
