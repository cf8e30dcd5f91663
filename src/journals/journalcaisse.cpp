#include "journals/journalcaisse.h"

#include "common/formats.h"
#include "database/database.h"
#include "printing/surface.h"
#include "register/tickets.h"

#include <QSqlError>
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
    imprimerADroiteDuMilieu(s, texte);
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
        aMoitie(s, formatEuros(l.prix.divisePar(l.qt)) + QStringLiteral(" x ") + nombreCourt(l.qt) +
                       QStringLiteral(" =     ") + formatEuros(l.prix));
    else
        aMoitie(s, formatEuros(l.prix));
}

} // namespace

Resultat<QList<qint64>> ticketsDuJour(const Database& bdd, const QDate& jour,
                                      const QString& caisse) {
    // Dates are stored as "yyyy-mm-dd hh:nn:ss": the day is a range of that text.
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r =
            executer(q,
                     QStringLiteral("SELECT NumeroTicket FROM TICKETS WHERE TicketClos "
                                    "<> 0 AND Date >= ? AND Date < ? AND coalesce(caisse, '1') "
                                    "= ? ORDER BY NumeroTicket"),
                     {jour.toString(Qt::ISODate), jour.addDays(1).toString(Qt::ISODate), caisse});
        !r)
        return r.echec();
    QList<qint64> numeros;
    while (q.next())
        numeros << q.value(0).toLongLong();
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));
    return numeros;
}

void imprimerADroiteDuMilieu(Surface& ticket, const QString& texte) {
    ticket.setCurrentX(ticket.ScaleWidth() / 2 - ticket.TextWidth(texte) - 40);
    ticket.Print(texte);
}

JournalImprime imprimerJournal(Surface& page, const Database& bdd, const QList<qint64>& tickets,
                               const QDate& jour, const QDateTime& maintenant) {
    JournalImprime journal;
    TotauxTicket& totaux = journal.totaux; // never reset between tickets
    if (tickets.isEmpty()) {
        imprimer(page, QStringLiteral("   Aucun ticket clos le ") + dateCourte(jour) +
                           QStringLiteral(" : le journal de caisse est vide."));
        imprimer(page, QStringLiteral("   ") + dateLongue(maintenant));
        return journal;
    }
    const Tickets table(bdd);
    for (qint64 numero : tickets) {
        const Resultat<QList<LigneTicket>> lignes = table.lignes(numero);
        if (!lignes) {
            journal.ticketsSansLignes << numero;
            page.setFontBold(true);
            imprimer(page, QStringLiteral("   *** Ticket n° %1 : lignes illisibles (%2) ; ce "
                                          "journal est incomplet ***")
                               .arg(numero)
                               .arg(lignes.raison()));
            page.setFontBold(false);
        }
        for (const LigneTicket& l : lignes.valeurOu({})) {
            imprimerLigne(page, l);
            totaux.ajouter(l);
        }
        placeLigne(page);
        page.Print();
        aMoitie(page, QStringLiteral("TVA : ") + formatEuros(totaux.totalTva));
        page.setFontBold(true);
        aMoitie(page, QStringLiteral("Total ttc : ") + formatEuros(totaux.totalTtc));
        aMoitie(page, QStringLiteral("Total ttc dû : ") + formatEuros(totaux.restant));
        page.setFontBold(false);
        imprimer(page, QStringLiteral("   ") + dateLongue(maintenant));
    }
    return journal;
}
