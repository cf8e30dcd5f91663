// The Enter processing of the till: articles, words and quantities.
#include "register/ui/caissetab.h"

#include "common/formats.h"
#include "common/texte.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "printing/ui/picturebox.h"
#include "register/motscaisse.h"
#include "register/ui/afficheurlcd.h"
#include "register/ui/codebarreaffichage.h"
#include "register/ui/zonesaisie.h"

#include <QLabel>
#include <QPushButton>

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
    // An article code wins over a word, and a word over a quantity: a code that cannot be
    // looked up is neither.
    const Resultat<std::optional<ArticleCaisse>> article = ventes_.chercher(texte);
    if (!article)
        signaler(QStringLiteral("« %1 » n'a pas pu être cherché dans les articles (%2) : rien "
                                "n'est enregistré.")
                     .arg(texte.left(40), article.raison()));
    else if (*article)
        vendreArticle(**article);
    else if (texte == mots::sousTotal())
        sousTotal();
    else if (texte == mots::prixRemise() || texte == mots::remiseExceptionnelle() ||
             texte == mots::remiseSurArticle() || texte == mots::remiseSurSousTotal())
        remise(texte);
    else if (mots::paiements().contains(texte))
        paiement(texte);
    else if (texte == mots::termine() || texte == mots::imprimeEtTermine())
        terminer(texte == mots::imprimeEtTermine());
    else if (estQuantiteCanonique(texte))
        nombre->setText(texte);
    // Ready for the next scan, unless the operator has already begun typing it.
    if (!saisie->isModified())
        saisie->selectAll();
}

void CaisseTab::signaler(const QString& texte) {
    services_.dialogues.message(texte, titres::caisse(), Dialogues::Boutons::Ok,
                                Dialogues::Icone::Avertissement);
}

void CaisseTab::refuserMontant() {
    signaler(QStringLiteral("Ce montant dépasse ce que la caisse peut enregistrer : rien n'est "
                            "enregistré."));
}

bool CaisseTab::ticketPret() {
    if (!ticket_)
        nouveauTicket();
    if (ticket_)
        return true;
    signaler(QStringLiteral("Aucun ticket n'est ouvert : la base de données refuse le nouveau "
                            "ticket. Rien n'est enregistré ; vérifiez la base de données, puis "
                            "recommencez."));
    return false;
}

bool CaisseTab::enregistrer(const LigneCalculee& ligne, const ArticleCaisse* article) {
    const Resultat<Ecriture> e =
        article ? ventes_.vendre(*ticket_, *article, ligne.qt, ligne.prix, ligne.tva)
                : ventes_.ajouterLigne(*ticket_, ligne.code, ligne.prix, ligne.tva, ligne.qt);
    if (e && *e == Ecriture::Faite)
        return true;
    QString raison = e.raison();
    if (e) {
        raison = QStringLiteral("le ticket n° %1 n'est plus ouvert").arg(*ticket_);
        nouveauTicket();
    }
    signaler(QStringLiteral("La ligne « %1 » n'est pas enregistrée (%2). Recommencez la saisie.")
                 .arg(ligne.code.left(40), raison));
    return false;
}

void CaisseTab::vendreArticle(const ArticleCaisse& article) {
    if (!ticketPret())
        return;
    const std::optional<Quantite> quantite = Quantite::depuisDouble(lireNombre(nombre->text()));
    const LigneCalculee ligne = ligneArticle(article, quantite.value_or(Quantite()));
    if (!quantite || !ligne.admise) {
        nombre->setText(QStringLiteral("1"));
        signaler(QStringLiteral("Le montant de cette ligne dépasse ce que la caisse peut "
                                "enregistrer : l'article n'est pas vendu et la quantité revient "
                                "à 1."));
        return;
    }
    if (!enregistrer(ligne, &article))
        return;
    DetailAchat->setText(article.libelle);
    codebarre->setText(article.code);
    tva->setText(formatPrixDetail(ligne.tvaAffichee));
    prix->setText(formatPrixDetail(ligne.prixAffiche));
    nombre->setText(QStringLiteral("1"));
    imprimerTicket(ticket->surface(), false);
}

void CaisseTab::sousTotal() {
    if (!ticketPret() || !enregistrer(ligneSousTotal(total->text()), nullptr))
        return;
    imprimerTicket(ticket->surface(), false);
}

void CaisseTab::remise(const QString& mot) {
    if (!ticketPret())
        return;
    QString invite, defaut = QStringLiteral("10");
    if (mot == mots::prixRemise()) {
        invite = QStringLiteral("Entrez le nouveau prix au lieu de ") + prix->text();
        defaut = QStringLiteral("0");
    } else if (mot == mots::remiseExceptionnelle()) {
        invite = QStringLiteral("Entrez le montant à déduire");
        defaut = QStringLiteral("0");
    } else if (mot == mots::remiseSurArticle()) {
        invite = QStringLiteral("Entrez % de remise sur le dernier article : ") + prix->text();
    } else {
        invite = QStringLiteral("Entrez % de remise sur le total : ") + total->text();
    }
    const std::optional<QString> reponse =
        services_.dialogues.saisie(invite, titres::caisse(), defaut);
    const double x = texteVersNombre(reponse.value_or(QString()), 2);
    if (x == 0)
        return;
    // The last line and the ticket's totals as the displays show them.
    auto affiche = [](const QLabel* l) {
        return Montant::depuisDouble(texteVersNombre(l->text(), 2));
    };
    bool montantLisible = true;
    const Montant montant = Montant::depuisDouble(x, &montantLisible);
    LigneCalculee ligne;
    if (mot == mots::prixRemise())
        ligne = lignePrixRemise(montant, affiche(prix));
    else if (mot == mots::remiseExceptionnelle())
        ligne = ligneRemiseExceptionnelle(montant);
    else if (mot == mots::remiseSurArticle())
        ligne = ligneRemisePourcent(mot, x, affiche(prix), affiche(tva));
    else
        ligne = ligneRemisePourcent(mot, x, affiche(total), affiche(totaltva));
    const bool pourcent = mot == mots::remiseSurArticle() || mot == mots::remiseSurSousTotal();
    if (!ligne.admise || (!pourcent && !montantLisible)) {
        refuserMontant();
        return;
    }
    if (!enregistrer(ligne, nullptr))
        return;
    tva->setText(formatPrixDetail(ligne.tvaAffichee));
    prix->setText(formatPrixDetail(ligne.prixAffiche));
    imprimerTicket(ticket->surface(), false);
}

void CaisseTab::paiement(const QString& moyen) {
    if (!ticketPret())
        return;
    const std::optional<QString> reponse = services_.dialogues.saisie(
        QStringLiteral("Entrez le montant réglé"), titres::caisse(), total->text());
    bool lisible = true;
    const Montant montant =
        Montant::depuisDouble(texteVersNombre(reponse.value_or(QString()), 2), &lisible);
    if (lisible && montant.estNul())
        return;
    const LigneCalculee ligne = lignePaiement(moyen, montant);
    if (!lisible || !ligne.admise) {
        refuserMontant();
        return;
    }
    if (!enregistrer(ligne, nullptr))
        return;
    imprimerTicket(ticket->surface(), false);
}
