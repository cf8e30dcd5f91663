#include "register/recu.h"

#include "common/formats.h"
#include "common/unites.h"
#include "printing/image.h"
#include "printing/surface.h"
#include "register/motscaisse.h"
#include "register/tvapartaux.h"

#include <QLocale>

namespace {
constexpr int kLignesEntete = 12;

// The text's lines within the receipt's width between its margins: cut between words, a word
// longer than the width cut where it must.
QStringList enLignes(const Surface& s, const QString& texte, double largeur) {
    QStringList lignes;
    QString reste = texte;
    while (s.TextWidth(reste) > largeur && reste.size() > 1) {
        qsizetype n = reste.size() - 1;
        while (n > 1 && s.TextWidth(reste.left(n)) > largeur)
            --n;
        const qsizetype blanc = reste.lastIndexOf(u' ', n);
        const qsizetype coupe = blanc > 0 ? blanc : n;
        lignes << reste.left(coupe);
        reste = reste.mid(coupe).trimmed();
    }
    lignes << reste;
    return lignes;
}

// A text from the left margin, on as many lines as it needs.
void imprimerAGauche(Surface& s, const QString& texte) {
    const double marge = margeRecu();
    for (const QString& ligne : enLignes(s, texte, s.ScaleWidth() - 2 * marge)) {
        s.setCurrentX(marge);
        s.Print(ligne);
    }
}

void imprimerLigne(Surface& s, const LigneTicket& l) {
    const QString taille =
        l.taille.isNull() ? QString() : QStringLiteral("Taille : ") + l.taille.toString();
    const QString couleur =
        l.couleur.isNull() ? QString() : QStringLiteral("Couleur : ") + l.couleur.toString();
    if (l.libelle.isNull())
        imprimerAGauche(s, l.codeArticle + QStringLiteral(" *********"));
    else
        imprimerAGauche(s, l.codeArticle + QStringLiteral(" : ") + l.libelle.toString());
    if (!taille.isEmpty() || !couleur.isEmpty())
        imprimerAGauche(s, QStringLiteral("   > ") + taille + u' ' + couleur);
    if (l.estPrixee()) {
        imprimerADroite(s, formatEuros(l.prix.divisePar(l.qt)) + QStringLiteral(" x ") +
                               nombreCourt(l.qt) + QStringLiteral(" =     ") + formatEuros(l.prix));
    } else if (l.codeArticle == mots::rendu()) {
        // The change handed back in cash.
        s.setFontBold(true);
        imprimerADroite(s, QStringLiteral("Rendu : ") + formatEuros(l.prix));
        s.setFontBold(false);
    } else if (!l.prix.estNul()) {
        // A payment: the means and the amount paid.
        s.setFontBold(true);
        imprimerADroite(s, l.codeArticle + QStringLiteral(" : ") + formatEuros(-l.prix));
        s.setFontBold(false);
    }
}
} // namespace

double margeRecu() {
    return unites::convertir(2, unites::Unite::Millimetres, unites::Unite::Twips);
}

void imprimerADroite(Surface& ticket, const QString& texte) {
    ticket.setCurrentX(ticket.ScaleWidth() - ticket.TextWidth(texte) - margeRecu());
    ticket.Print(texte);
}

namespace {
void imprimerEntete(Surface& ticket, const Image& entete) {
    ticket.Cls();
    if (!entete.estNulle())
        ticket.PaintPicture(entete, 0, 0, ticket.ScaleWidth(), entete.tailleTwips().height());
    for (int i = 0; i < kLignesEntete; ++i)
        ticket.Print();
}

// What follows the lines: the VAT, the total and the remaining amount, the date.
void imprimerFin(Surface& ticket, const TotauxTicket& totaux, const QDateTime& maintenant) {
    ticket.Print();
    imprimerADroite(ticket, QStringLiteral("TVA : ") + formatEuros(totaux.totalTva));
    ticket.setFontBold(true);
    imprimerADroite(ticket, QStringLiteral("Total ttc : ") + formatEuros(totaux.totalTtc));
    imprimerADroite(ticket, QStringLiteral("Restant dû : ") + formatEuros(totaux.restant));
    ticket.setFontBold(false);
    imprimerAGauche(ticket, dateLongue(maintenant));
}
} // namespace

TotauxTicket imprimerTicket(Surface& ticket, const QList<LigneTicket>& lignes, const Image& entete,
                            const QDateTime& maintenant) {
    imprimerEntete(ticket, entete);
    TotauxTicket totaux;
    for (const LigneTicket& l : lignes) {
        imprimerLigne(ticket, l);
        totaux.ajouter(l);
    }
    imprimerFin(ticket, totaux, maintenant);
    return totaux;
}

struct TicketAffiche::Dessine {
    Image entete;
    double largeur = 0;
    QList<qint64> lignes; // the lines drawn, by their number
    TotauxTicket totaux;
    Surface::Marque finDesLignes;
};

TotauxTicket TicketAffiche::dessiner(Surface& ecran, const QList<LigneTicket>& lignes,
                                     const Image& entete, const QDateTime& maintenant) {
    std::shared_ptr<Dessine> d = std::move(dessine_);
    bool suite = d && d->entete == entete && d->largeur == ecran.ScaleWidth() &&
                 d->lignes.size() <= lignes.size();
    for (qsizetype i = 0; suite && i < d->lignes.size(); ++i)
        suite = d->lignes[i] == lignes[i].id;
    if (suite)
        suite = ecran.revenirA(d->finDesLignes);
    if (!suite) {
        d = std::make_shared<Dessine>();
        d->entete = entete;
        d->largeur = ecran.ScaleWidth();
        imprimerEntete(ecran, entete);
    }
    for (qsizetype i = d->lignes.size(); i < lignes.size(); ++i) {
        imprimerLigne(ecran, lignes[i]);
        d->totaux.ajouter(lignes[i]);
        d->lignes << lignes[i].id;
    }
    d->finDesLignes = ecran.marque();
    imprimerFin(ecran, d->totaux, maintenant);
    dessine_ = d;
    return d->totaux;
}

void imprimerMentions(Surface& ticket, const QList<LigneTicket>& lignes, const MentionsRecu& m) {
    ticket.Print();
    if (m.duplicata) {
        ticket.setFontBold(true);
        imprimerAGauche(ticket, QStringLiteral("DUPLICATA n° %1").arg(*m.duplicata));
        ticket.setFontBold(false);
    }
    if (m.numero)
        imprimerAGauche(ticket, QStringLiteral("Ticket n° %1").arg(*m.numero));
    const QLocale francais(QLocale::French, QLocale::France);
    for (const TotalTaux& t : totauxParTaux(lignes)) {
        const QString taux =
            t.taux == kTauxInconnu
                ? QStringLiteral("TVA (taux non enregistré)")
                : QStringLiteral("TVA ") + francais.toString(t.taux, 'g', 6) + QStringLiteral(" %");
        imprimerAGauche(ticket, taux + QStringLiteral(" : HT ") + formatEuros(t.ht()) +
                                    QStringLiteral("  TVA ") + formatEuros(t.tva) +
                                    QStringLiteral("  TTC ") + formatEuros(t.ttc));
    }
    for (const QString& ligne : m.boutique)
        if (!ligne.simplified().isEmpty())
            imprimerAGauche(ticket, ligne.simplified());
    if (!m.programme.isEmpty())
        imprimerAGauche(ticket, m.programme);
    if (!m.signature.isEmpty())
        imprimerAGauche(ticket, QStringLiteral("Signature : ") + m.signature);
}
