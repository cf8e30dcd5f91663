#include "register/caisse.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "common/texte.h"
#include "database/database.h"
#include "register/signatureticket.h"

Caisse::Caisse(const Database& bdd, const CleFiscale& cle, QString numero, int vendeur)
    : bdd_(bdd), cle_(cle), tickets_(bdd), ventes_(bdd), numero_(std::move(numero)),
      vendeur_(vendeur) {}

bool Caisse::estMot(const QString& texte) {
    return texte == mots::sousTotal() || texte == mots::prixRemise() ||
           texte == mots::remiseExceptionnelle() || texte == mots::remiseSurArticle() ||
           texte == mots::remiseSurSousTotal() || mots::paiements().contains(texte) ||
           texte == mots::termine() || texte == mots::imprimeEtTermine();
}

Resultat<bool> Caisse::reprendre() {
    const Resultat<bool> repris = bdd_.retablir();
    if (repris && *repris && ticket_)
        consigner(relire(), QStringLiteral("ticket relu après la reconnexion"));
    return repris;
}

Resultat<Caisse::Lecture> Caisse::lire(const QString& texte) {
    Lecture l;
    Resultat<std::optional<ArticleCaisse>> article = ventes_.chercher(texte);
    if (!article) {
        const Resultat<bool> repris = reprendre();
        if (!repris)
            article = repris.echec();
        else if (*repris)
            article = ventes_.chercher(texte);
    }
    if (!article)
        return echec(QStringLiteral("« %1 » n'a pas pu être cherché dans les articles (%2)")
                         .arg(texte.left(40), article.raison()));
    if (*article) {
        l.article = **article;
        l.genre =
            (*article)->prix.estNul() ? Lecture::Genre::ArticleSansPrix : Lecture::Genre::Article;
    } else if (estMot(texte)) {
        l.genre = Lecture::Genre::Mot;
    } else if (estQuantiteCanonique(texte)) {
        // Thousandths are the finest quantity: a finer one is no quantity.
        const std::optional<Quantite> q = Quantite::depuisDouble(lireNombre(texte));
        if (q && q->enDouble() == lireNombre(texte)) {
            l.genre = Lecture::Genre::Quantite;
            l.quantite = *q;
        } else {
            l.genre = Lecture::Genre::QuantiteHorsLimites;
        }
    }
    return l;
}

Resultat<qint64> Caisse::ouvrirTicket() {
    Resultat<std::optional<qint64>> numero = tickets_.ouvertLePlusHaut(numero_);
    if (numero && !*numero) {
        consigner(tickets_.creer(numero_, vendeur_), QStringLiteral("nouveau ticket"));
        numero = tickets_.ouvertLePlusHaut(numero_);
    }
    ticket_ = numero.valeurOu(std::nullopt);
    lignes_.clear();
    totaux_ = TotauxTicket();
    if (!numero)
        return numero.echec();
    if (!ticket_)
        return echec(QStringLiteral("la base de données refuse le nouveau ticket"));
    if (Resultat<> r = relire(); !r)
        return r.echec();
    return *ticket_;
}

Resultat<> Caisse::relire() {
    if (!ticket_)
        return echec(QStringLiteral("aucun ticket n'est ouvert"));
    Resultat<QList<LigneTicket>> lues = tickets_.lignes(*ticket_);
    if (!lues)
        return lues.echec();
    lignes_ = std::move(*lues);
    totaux_ = totaliser(lignes_);
    return {};
}

std::optional<LigneTicket> Caisse::dernierePrixee() const {
    for (auto l = lignes_.crbegin(); l != lignes_.crend(); ++l)
        if (l->estPrixee())
            return *l;
    return std::nullopt;
}

bool Caisse::estVide() const {
    for (const LigneTicket& l : lignes_)
        if (l.estPrixee() || !l.prix.estNul())
            return false;
    return true;
}

Resultat<> Caisse::ticketPret() {
    if (!ticket_)
        consigner(ouvrirTicket(), QStringLiteral("ticket en cours"));
    if (ticket_)
        return {};
    return echec(QStringLiteral("Aucun ticket n'est ouvert : la base de données refuse le nouveau "
                                "ticket. Rien n'est enregistré ; vérifiez la base de données, puis "
                                "recommencez."));
}

Resultat<LigneCalculee> Caisse::enregistrer(const LigneCalculee& ligne,
                                            const ArticleCaisse* article) {
    if (Resultat<> pret = ticketPret(); !pret)
        return pret.echec();
    if (!ligne.admise)
        return echec(QStringLiteral("Ce montant dépasse ce que la caisse peut enregistrer : rien "
                                    "n'est enregistré."));
    Resultat<> ecrit = ecrire(
        [&](qint64 numero) {
            return article ? ventes_.vendre(numero, *article, ligne.qt, ligne.prix, ligne.tva)
                           : ventes_.ajouterLigne(numero, ligne.code, ligne.prix, ligne.tva,
                                                  ligne.qt, ligne.taux);
        },
        [&](const QString& raison) {
            return QStringLiteral("La ligne « %1 » n'est pas enregistrée (%2). Recommencez la "
                                  "saisie.")
                .arg(ligne.code.left(40), raison);
        });
    if (!ecrit)
        return ecrit.echec();
    return ligne;
}

Resultat<> Caisse::ecrire(const std::function<Resultat<Ecriture>(qint64)>& ecriture,
                          const std::function<QString(const QString&)>& refus) {
    const qint64 numero = *ticket_;
    const Resultat<Ecriture> e = ecriture(numero);
    QString raison = e.raison();
    if (!e) {
        // The server went away: its answer may have been lost after the line was recorded. The
        // ticket read again tells.
        const qsizetype avant = lignes_.size();
        const Resultat<bool> repris = reprendre();
        if (repris && *repris && ticket_ == numero && lignes_.size() > avant)
            return {};
    }
    if (e && *e == Ecriture::TicketFerme) {
        // Closed elsewhere meanwhile: the next entries go to the next ticket.
        raison = QStringLiteral("le ticket n° %1 n'est plus ouvert").arg(numero);
        consigner(ouvrirTicket(), QStringLiteral("ticket en cours"));
    }
    if (!e || *e != Ecriture::Faite)
        return echec(refus(raison));
    consigner(lireNouvelles(), QStringLiteral("lignes du ticket n° %1").arg(numero));
    return {};
}

Resultat<> Caisse::lireNouvelles() {
    if (!ticket_)
        return echec(QStringLiteral("aucun ticket n'est ouvert"));
    // The lines held are those stored; the ones just written follow them.
    const qint64 derniere = lignes_.isEmpty() ? 0 : lignes_.constLast().id;
    Resultat<QList<LigneTicket>> lues = tickets_.lignes(*ticket_, derniere);
    if (!lues)
        return lues.echec();
    for (const LigneTicket& l : *lues) {
        totaux_.ajouter(l);
        lignes_.append(l);
    }
    return {};
}

Resultat<LigneCalculee> Caisse::vendre(const ArticleCaisse& article) {
    const LigneCalculee ligne = ligneArticle(article, quantite_);
    if (!ligne.admise) {
        quantite_ = Quantite::unites(1);
        return echec(QStringLiteral("Le montant de cette ligne dépasse ce que la caisse peut "
                                    "enregistrer : l'article n'est pas vendu et la quantité "
                                    "revient à 1."));
    }
    Resultat<LigneCalculee> r = enregistrer(ligne, &article);
    if (r)
        quantite_ = Quantite::unites(1);
    return r;
}

Resultat<LigneCalculee> Caisse::sousTotal() {
    return enregistrer(ligneSousTotal(formatDeuxDecimales(totaux_.restant)));
}

namespace {
Echec sansArticle() {
    return echec(QStringLiteral("Aucun article n'est sur ce ticket : la remise n'est pas "
                                "enregistrée."));
}
} // namespace

Resultat<LigneCalculee> Caisse::prixSolde(Montant nouveauPrix) {
    const std::optional<LigneTicket> derniere = dernierePrixee();
    if (!derniere)
        return sansArticle();
    LigneCalculee remise = lignePrixRemise(nouveauPrix, derniere->prix, derniere->tva);
    remise.taux = derniere->taux;
    return enregistrer(remise);
}

Resultat<LigneCalculee> Caisse::remiseEnEuros(Montant montant) {
    if (!dernierePrixee())
        return sansArticle();
    return enregistrer(ligneRemiseExceptionnelle(montant, totaux_.totalTtc, totaux_.totalTva));
}

Resultat<LigneCalculee> Caisse::remiseSurDernier(double pourcent) {
    const std::optional<LigneTicket> derniere = dernierePrixee();
    if (!derniere)
        return sansArticle();
    LigneCalculee remise =
        ligneRemisePourcent(mots::remiseSurArticle(), pourcent, derniere->prix, derniere->tva);
    remise.taux = derniere->taux;
    return enregistrer(remise);
}

Resultat<LigneCalculee> Caisse::remiseSurTotal(double pourcent) {
    if (!dernierePrixee())
        return sansArticle();
    if (totaux_.restant.estNul())
        return echec(QStringLiteral("Il ne reste rien à payer sur ce ticket : la remise n'est pas "
                                    "enregistrée."));
    return enregistrer(ligneRemisePourcent(mots::remiseSurSousTotal(), pourcent, totaux_.restant,
                                           totaux_.totalTva));
}

namespace {
QString nomDuMoyen(const QString& moyen) {
    if (moyen == QStringLiteral("CB"))
        return QStringLiteral("carte bancaire");
    if (moyen == QStringLiteral("CHEQUE"))
        return QStringLiteral("chèque");
    if (moyen == QStringLiteral("AVOIR"))
        return QStringLiteral("avoir");
    return moyen;
}
} // namespace

Resultat<Caisse::Paiement> Caisse::payer(const QString& moyen, Montant montant) {
    Paiement p{lignePaiement(moyen, montant), {}};
    const Montant restant = totaux_.restant;
    // Change is given only on what remains to pay: a payment made before the articles, or one
    // that corrects an earlier one, is recorded as it is.
    const bool tropPaye = restant > Montant() && montant > restant;
    if (!tropPaye) {
        Resultat<LigneCalculee> r = enregistrer(p.ligne);
        if (!r)
            return r.echec();
        return p;
    }
    if (moyen != mots::especes())
        return echec(QStringLiteral("Un paiement par %1 ne peut pas dépasser le restant dû (%2) : "
                                    "seules les espèces donnent lieu à un rendu de monnaie. Rien "
                                    "n'est enregistré.")
                         .arg(nomDuMoyen(moyen), formatEuros(restant)));
    if (!p.ligne.admise)
        return echec(QStringLiteral("Ce montant dépasse ce que la caisse peut enregistrer : rien "
                                    "n'est enregistré."));
    if (Resultat<> pret = ticketPret(); !pret)
        return pret.echec();
    p.rendu = montant - restant;
    const LigneCalculee rendu = ligneRendu(p.rendu);
    // The payment and its change, together or not at all.
    Resultat<> ecrit = ecrire(
        [&](qint64 numero) {
            return ventes_.ajouterLignes(
                numero, {{p.ligne.code, p.ligne.prix, p.ligne.tva, p.ligne.qt, std::nullopt},
                         {rendu.code, rendu.prix, rendu.tva, rendu.qt, std::nullopt}});
        },
        [&](const QString& raison) {
            return QStringLiteral("Le paiement « %1 » n'est pas enregistré (%2). Recommencez "
                                  "la saisie.")
                .arg(moyen, raison);
        });
    if (!ecrit)
        return ecrit.echec();
    return p;
}

Resultat<Caisse::Cloture> Caisse::terminer(const QDateTime& quand) {
    if (Resultat<> pret = ticketPret(); !pret)
        return pret.echec();
    const qint64 numero = *ticket_;
    // The stored lines decide, not the displays, so a ticket is never closed on stale totals.
    if (Resultat<> lu = relire(); !lu)
        return echec(QStringLiteral("Le ticket n° %1 ne peut pas être terminé : ses lignes n'ont "
                                    "pas pu être relues (%2).")
                         .arg(numero)
                         .arg(lu.raison()));
    Cloture c;
    c.numero = numero;
    if (estVide()) {
        c.vide = true;
        return c;
    }
    if (!totaux_.soldeAuCentime())
        return echec(messageRestantDu());
    signatureticket::Fermeture f;
    f.numero = numero;
    f.total = totaux_.totalTtc.arrondiCentime();
    f.quand = quand;
    f.caisse = numero_;
    f.vendeur = QString::number(vendeur_);
    const Resultat<QByteArray> clos = signatureticket::clore(bdd_, cle_, f, lignes_);
    if (!clos) {
        consigner(ouvrirTicket(), QStringLiteral("ticket en cours"));
        return echec(QStringLiteral("Le ticket n° %1 n'a pas pu être terminé (%2).")
                         .arg(numero)
                         .arg(clos.raison()));
    }
    c.lignes = lignes_;
    c.signature = *clos;
    consigner(ouvrirTicket(), QStringLiteral("ticket suivant"));
    return c;
}
