#include "journals/journalcaisse.h"

#include "common/formats.h"
#include "database/database.h"
#include "printing/surface.h"
#include "register/tickets.h"

#include <QSqlQuery>

namespace {

// A sheet of paper is printed edge to edge: the journal keeps a centimetre clear around it.
constexpr double kMarge = 567;

// Moves to a new page when the next line would not fit on this one.
void placeLigne(Surface& s) {
    if (s.CurrentY() < kMarge)
        s.setCurrentY(kMarge);
    if (s.CurrentY() > kMarge && s.CurrentY() + s.TextHeight() > s.ScaleHeight() - kMarge) {
        s.NouvellePage();
        s.setCurrentY(kMarge);
    }
}

void imprimer(Surface& s, const QString& texte) {
    placeLigne(s);
    s.setCurrentX(kMarge);
    s.Print(texte);
}

void aMoitie(Surface& s, const QString& texte) {
    placeLigne(s);
    imprimer_a_droitemoitier(s, texte);
}

QString texteOuVide(const QVariant& v, const QString& prefixe) {
    return v.isNull() ? QString() : prefixe + v.toString();
}

void imprimerLigne(Surface& s, const LigneTicket& l) {
    const QString taille = texteOuVide(l.taille, QStringLiteral("Taille : "));
    const QString couleur = texteOuVide(l.couleur, QStringLiteral("Couleur : "));
    imprimer(s, QStringLiteral("   ") + l.codeArticle + QStringLiteral(" : ") +
                    texteOuVide(l.libelle, QString()));
    if (!taille.isEmpty() || !couleur.isEmpty())
        imprimer(s, QStringLiteral("   > ") + taille + u' ' + couleur);
    if (l.estPrixee())
        aMoitie(s, formatEuros(l.prix.enDouble() / l.qt) + QStringLiteral(" x ") +
                       nombreCourt(l.qt) + QStringLiteral(" =     ") +
                       formatEuros(l.prix.enDouble()));
    else
        aMoitie(s, formatEuros(l.prix.enDouble()));
}

} // namespace

std::optional<QList<qint64>> ticketsDuJour(const Database& bdd, const QDate& jour,
                                           QString* erreur) {
    // Dates are stored as "yyyy-mm-dd hh:nn:ss": the day is a range of that text.
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (!executer(q,
                  QStringLiteral("SELECT NumeroTicket FROM TICKETS WHERE TicketClos <> 0 AND "
                                 "Date >= ? AND Date < ? ORDER BY NumeroTicket"),
                  {jour.toString(Qt::ISODate), jour.addDays(1).toString(Qt::ISODate)}, erreur))
        return std::nullopt;
    QList<qint64> numeros;
    while (q.next())
        numeros << q.value(0).toLongLong();
    return numeros;
}

void imprimer_a_droitemoitier(Surface& ticket, const QString& texte) {
    ticket.setCurrentX(ticket.ScaleWidth() / 2 - ticket.TextWidth(texte) - 40);
    ticket.Print(texte);
}

TotauxTicket imprimerJournal(Surface& page, const Database& bdd, const QList<qint64>& tickets,
                             const QDate& jour, const QDateTime& maintenant) {
    TotauxTicket totaux; // never reset between tickets
    if (tickets.isEmpty()) {
        imprimer(page, QStringLiteral("   Aucun ticket clos le ") + dateCourte(jour) +
                           QStringLiteral(" : le journal de caisse est vide."));
        imprimer(page, QStringLiteral("   ") + dateLongue(maintenant));
        return totaux;
    }
    const Tickets table(bdd);
    for (qint64 numero : tickets) {
        for (const LigneTicket& l : table.lignes(numero).value_or(QList<LigneTicket>{})) {
            imprimerLigne(page, l);
            totaux.ajouter(l);
        }
        placeLigne(page);
        page.Print();
        aMoitie(page, QStringLiteral("TVA : ") + formatEuros(totaux.totalTva.enDouble()));
        page.setFontBold(true);
        aMoitie(page, QStringLiteral("Total ttc : ") + formatEuros(totaux.totalTtc.enDouble()));
        aMoitie(page, QStringLiteral("Total ttc dû : ") + formatEuros(totaux.restant.enDouble()));
        page.setFontBold(false);
        imprimer(page, QStringLiteral("   ") + dateLongue(maintenant));
    }
    return totaux;
}
