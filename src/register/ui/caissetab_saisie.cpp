// The Enter processing of the till: articles, words and quantities.
#include "register/ui/caissetab.h"

#include "common/formats.h"
#include "common/texte.h"
#include "common/ui/affichageaccessible.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "platform/horloge.h"
#include "printing/ui/picturebox.h"
#include "register/motscaisse.h"
#include "register/ui/afficheurlcd.h"
#include "register/ui/capturescanner.h"
#include "register/ui/codebarreaffichage.h"
#include "register/ui/zonesaisie.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <cmath>

namespace {
// Lets the running flag go even if an action ends early.
class Drapeau {
  public:
    explicit Drapeau(bool& d) : d_(d) { d_ = true; }
    ~Drapeau() { d_ = false; }

  private:
    bool& d_;
};
} // namespace

void CaisseTab::executer(std::function<void()> action) {
    attente_.enqueue(std::move(action));
    if (enCours_)
        return; // the action under way runs this one when it is done
    Drapeau enCours(enCours_);
    for (;;) {
        while (!attente_.isEmpty())
            attente_.dequeue()();
        if (!offreDue_)
            break;
        offreDue_ = false;
        proposerCloture();
    }
}

void CaisseTab::saisie_KeyPress(int touche) {
    if (touche != 13)
        return;
    // The text is taken now; what the scanner types next replaces it, even while this Enter
    // waits for its turn.
    const QString texte = saisie->text();
    saisie->setModified(false);
    saisie->selectAll();
    executer([this, texte] { traiter(texte); });
}

void CaisseTab::saisie_GotFocus() {
    saisie->selectAll();
}

void CaisseTab::mot(const QString& texte) {
    saisie->setText(texte);
    saisie_KeyPress(13);
    saisie->setFocus();
}

void CaisseTab::demanderRemiseSurTotal() {
    mot(mots::remiseSurSousTotal());
}

void CaisseTab::demanderRemiseSurDernier() {
    mot(mots::remiseSurArticle());
}

void CaisseTab::demanderRemiseEnEuros() {
    mot(mots::remiseExceptionnelle());
}

void CaisseTab::demanderPrixSolde() {
    mot(mots::prixRemise());
}

void CaisseTab::demanderSousTotal() {
    mot(mots::sousTotal());
}

void CaisseTab::payer(int rang) {
    if (rang >= 0 && rang < paiements_.size())
        mot(paiements_[rang]->text());
}

void CaisseTab::traiter(const QString& texte) {
    DetailAchat->clear();
    avis->clear();
    rendu_.reset();
    if (const QDate jour = services_.horloge.maintenant().date();
        auNouveauJour_ && jour != jourVerifie_) {
        jourVerifie_ = jour;
        if (const QString notice = auNouveauJour_(); !notice.isEmpty())
            avertir(notice);
    }
    if (!texte.isEmpty()) {
        const Resultat<Caisse::Lecture> lu = caisse_.lire(texte);
        using Genre = Caisse::Lecture::Genre;
        if (!lu)
            signaler(lu.raison() + QStringLiteral(" : rien n'est enregistré."));
        else if (lu->genre == Genre::Article)
            vendreArticle(*lu->article);
        else if (lu->genre == Genre::ArticleSansPrix)
            avertir(
                QStringLiteral("Article sans prix : %1 n'est pas vendu").arg(lu->article->code));
        else if (lu->genre == Genre::Quantite) {
            caisse_.fixerQuantite(lu->quantite);
            texteQuantite_ = texte;
        } else if (lu->genre == Genre::QuantiteHorsLimites)
            avertir(QStringLiteral("Quantité hors limites : ") + texte.left(40));
        else if (lu->genre == Genre::Inconnu)
            avertir(QStringLiteral("Code inconnu : ") + texte.left(40));
        else if (texte == mots::sousTotal()) {
            if (Resultat<LigneCalculee> r = caisse_.sousTotal(); !r)
                signaler(r.raison());
        } else if (texte == mots::prixRemise() || texte == mots::remiseExceptionnelle() ||
                   texte == mots::remiseSurArticle() || texte == mots::remiseSurSousTotal())
            remise(texte);
        else if (mots::paiements().contains(texte))
            paiement(texte);
        else
            terminer(texte == mots::imprimeEtTermine());
    }
    imprimerTicket(ticket->surface(), false);
    // Ready for the next scan, unless the operator has already begun typing it.
    if (!saisie->isModified())
        saisie->selectAll();
}

void CaisseTab::signaler(const QString& texte) {
    scanner_->ouvrirBoite();
    services_.dialogues.message(texte, titres::caisse(), Dialogues::Boutons::Ok,
                                Dialogues::Icone::Avertissement);
    scanner_->reprendre(scanner_->fermerBoite());
}

void CaisseTab::avertir(const QString& texte) {
    avis->setText(texte);
    QApplication::beep();
}

std::optional<QString> CaisseTab::demanderMontant(const QString& invite, const QString& defaut,
                                                  bool pourcentage) {
    // Only what reads as an amount (or a rate) closes the box; a scan typed into it is a scan.
    const auto verification = [pourcentage](const QString& t) -> QString {
        if (t.trimmed().isEmpty())
            return {};
        bool lu = false;
        const double v = lireNombre(QString(t).replace(u',', u'.'), &lu);
        static const QRegularExpression montant(
            QStringLiteral("^\\s*-?[\\d\\s]*([.,][\\d\\s]*)?(€|%)?\\s*$"));
        if (!lu || !montant.match(t).hasMatch() || !std::isfinite(v))
            return pourcentage ? QStringLiteral("« %1 » n'est pas un pourcentage : tapez un "
                                                "nombre, par exemple 10 ou 12,5.")
                                     .arg(t.left(40))
                               : QStringLiteral("« %1 » n'est pas un montant : tapez un nombre, "
                                                "par exemple 12,50.")
                                     .arg(t.left(40));
        return {};
    };
    scanner_->ouvrirBoite();
    std::optional<QString> reponse =
        services_.dialogues.saisie(invite, titres::caisse(), defaut, verification);
    scanner_->reprendre(scanner_->fermerBoite());
    return reponse;
}

void CaisseTab::montrerLigne(const LigneCalculee& ligne) {
    montrerValeur(tva, formatDeuxDecimales(ligne.tvaAffichee));
    montrerValeur(prix, formatPrixDetail(ligne.prixAffiche));
}

void CaisseTab::vendreArticle(const ArticleCaisse& article) {
    const Resultat<LigneCalculee> ligne = caisse_.vendre(article);
    if (!ligne) {
        signaler(ligne.raison());
        return;
    }
    DetailAchat->setText(article.libelle);
    montrerLigne(*ligne);
}

void CaisseTab::remise(const QString& mot) {
    if (Resultat<> pret = caisse_.ticketPret(); !pret) {
        signaler(pret.raison());
        return;
    }
    // The last line and the ticket's totals as stored: nothing is read back from a display.
    const std::optional<LigneTicket> derniere = caisse_.dernierePrixee();
    const Montant dernier = derniere ? derniere->prix : Montant();
    QString invite, defaut = QStringLiteral("10");
    const bool pourcentage = mot == mots::remiseSurArticle() || mot == mots::remiseSurSousTotal();
    if (mot == mots::prixRemise()) {
        invite = QStringLiteral("Entrez le nouveau prix au lieu de ") + formatPrixDetail(dernier);
        defaut = QStringLiteral("0");
    } else if (mot == mots::remiseExceptionnelle()) {
        invite = QStringLiteral("Entrez le montant à déduire");
        defaut = QStringLiteral("0");
    } else if (mot == mots::remiseSurArticle()) {
        invite = QStringLiteral("Entrez % de remise sur le dernier article : ") +
                 formatPrixDetail(dernier);
    } else {
        invite = QStringLiteral("Entrez % de remise sur le total : ") +
                 formatDeuxDecimales(caisse_.totaux().restant);
    }
    // A discount needs something to discount: said before any box is shown.
    if (!derniere) {
        signaler(QStringLiteral("Aucun article n'est sur ce ticket : la remise n'est pas "
                                "enregistrée."));
        return;
    }
    const std::optional<QString> reponse = demanderMontant(invite, defaut, pourcentage);
    const double x = texteVersNombre(reponse.value_or(QString()), 2);
    if (x == 0)
        return;
    bool lisible = true;
    const Montant montant = Montant::depuisDouble(x, &lisible);
    if (!pourcentage && !lisible) {
        signaler(QStringLiteral("Ce montant dépasse ce que la caisse peut enregistrer : rien "
                                "n'est enregistré."));
        return;
    }
    Resultat<LigneCalculee> ligne = mot == mots::prixRemise() ? caisse_.prixSolde(montant)
                                    : mot == mots::remiseExceptionnelle()
                                        ? caisse_.remiseEnEuros(montant)
                                    : mot == mots::remiseSurArticle() ? caisse_.remiseSurDernier(x)
                                                                      : caisse_.remiseSurTotal(x);
    if (!ligne) {
        signaler(ligne.raison());
        return;
    }
    montrerLigne(*ligne);
}

void CaisseTab::paiement(const QString& moyen) {
    if (Resultat<> pret = caisse_.ticketPret(); !pret) {
        signaler(pret.raison());
        return;
    }
    const std::optional<QString> reponse =
        demanderMontant(QStringLiteral("Entrez le montant réglé"),
                        formatDeuxDecimales(caisse_.totaux().restant), false);
    bool lisible = true;
    const Montant montant =
        Montant::depuisDouble(texteVersNombre(reponse.value_or(QString()), 2), &lisible);
    if (lisible && montant.estNul())
        return;
    if (!lisible) {
        signaler(QStringLiteral("Ce montant dépasse ce que la caisse peut enregistrer : rien "
                                "n'est enregistré."));
        return;
    }
    const Resultat<Caisse::Paiement> p = caisse_.payer(moyen, montant);
    if (!p) {
        signaler(p.raison());
        return;
    }
    if (!p->rendu.estNul())
        rendu_ = p->rendu;
}
