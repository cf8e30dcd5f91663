#include "register/totauxticket.h"

void TotauxTicket::ajouter(const LigneTicket& ligne) {
    if (ligne.estPrixee()) {
        totalTtc += ligne.prix;
        aLignePrixee = true;
        derniereQuantite = ligne.qt;
        dernierCode = ligne.codeArticle;
    }
    restant += ligne.prix;
    totalTva += ligne.tva;
}

TotauxTicket totaliser(const QList<LigneTicket>& lignes) {
    TotauxTicket t;
    for (const LigneTicket& l : lignes)
        t.ajouter(l);
    return t;
}
