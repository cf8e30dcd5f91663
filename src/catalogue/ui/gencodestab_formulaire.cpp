#include "catalogue/ui/gencodestab.h"

#include "catalogue/codeboutique.h"
#include "catalogue/enregistrementarticle.h"
#include "catalogue/listearticles.h"
#include "catalogue/magasinarticles.h"
#include "common/valeur.h"
#include "database/database.h"
#include "frame/dialogues.h"
#include "frame/services.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

// The article form: its two loads, the editing state, the save and the new code.

void GenCodesTab::CodeArticle_KeyPress(int touche) {
    if (touche == 13)
        NombreArticles->setFocus(Qt::OtherFocusReason);
}

void GenCodesTab::finEdition() {
    ListeDesArrivees->setEnabled(true);
    validation->hide();
    Annulersaisie->hide();
}

void GenCodesTab::modifierDonnees() {
    ListeDesArrivees->setEnabled(false);
    validation->show();
    Annulersaisie->show();
}

namespace {
// A stored text shown whole, however long: the box's length limits typing only.
void montrerEntier(QLineEdit* boite, int limite, const QString& texte) {
    boite->setMaxLength(qMax<int>(limite, texte.size()));
    boite->setText(texte);
}
} // namespace

void GenCodesTab::montrerArticle(const Article& a, bool avecCode) {
    // Texts are shown as stored, numbers in their short French form; a missing value shows as
    // an empty box rather than leaving another article's value behind.
    if (avecCode)
        CodeArticle->setText(sansNullTexte(a.code));
    Libelle->setText(sansNullTexte(a.libelle));
    prixdeventettc->setText(sansNullTexte(a.prixVenteTTC));
    montrerEntier(taille, kLongueurTaille, sansNullTexte(a.taille));
    montrerEntier(couleur, kLongueurCouleur, sansNullTexte(a.couleur));
    tauxtvavente->setText(sansNullTexte(a.tauxTVAvente));
    prixhaht->setText(sansNullTexte(a.prixHAHT));
    tauxtvaha->setText(sansNullTexte(a.tauxTVAHA));
    NombreArticles->setText(QStringLiteral("0"));
    totalarticle->setText(QStringLiteral("stock : ") + sansNullTexte(a.enStock));
    fourn->setEditText(sansNullTexte(a.fournisseur));
    aimprimer->setText(sansNullTexte(a.nbrAImprimer));
    montrerAImprimer(true);
}

void GenCodesTab::montrerAImprimer(bool montre) {
    aimprimer->setVisible(montre);
    Label13->setVisible(montre);
}

void GenCodesTab::valeursDeDepart() {
    for (QLineEdit* boite : {CodeArticle, Libelle, prixdeventettc, prixhaht, aimprimer})
        boite->clear();
    montrerEntier(taille, kLongueurTaille, QStringLiteral(" "));
    montrerEntier(couleur, kLongueurCouleur, QString());
    NombreArticles->setText(QStringLiteral("1"));
    tauxtvavente->setText(QStringLiteral("19.6%"));
    tauxtvaha->setText(QStringLiteral("19.6%"));
    fourn->setEditText(QString());
    totalarticle->clear();
    montrerAImprimer(false);
}

void GenCodesTab::CodeArticle_LostFocus() {
    const QString saisi = CodeArticle->text();
    const Resultat<std::optional<Article>> article = MagasinArticles(services_.bdd).parMotif(saisi);
    finEdition();
    if (!article) {
        signaler(QStringLiteral("L'article « %1 » n'a pas pu être cherché : %2.")
                     .arg(saisi.left(40), article.raison()));
        return;
    }
    // An unknown code keeps the form as it is, ready to be saved under that code. A pattern
    // ("*", "?") shows the first article it matches under that article's own code, so that a
    // save writes the article shown.
    if (*article)
        montrerArticle(**article, MagasinArticles::estMotif(saisi));
}

void GenCodesTab::ouvrirParCode(const QString& code) {
    CodeArticle->setText(code);
    CodeArticle_LostFocus();
}

void GenCodesTab::ListeDesArrivees_Click() {
    finEdition();
    const int rang = rangChoisi();
    if (rang >= 0) {
        const Resultat<std::optional<Article>> article =
            MagasinArticles(services_.bdd).parCode(codeEntree(rang));
        if (!article)
            signaler(QStringLiteral("L'article « %1 » n'a pas pu être lu : %2.")
                         .arg(codeEntree(rang).trimmed().left(40), article.raison()));
        else if (*article) {
            montrerArticle(**article, true);
            return;
        }
    }
    // Nothing selected, or the article is gone: the boxes keep their content.
    NombreArticles->setText(QStringLiteral("0"));
    montrerAImprimer(true);
}

void GenCodesTab::Annulersaisie_Click() {
    ListeDesArrivees_Click();
}

void GenCodesTab::NouvelArticle_Click() {
    const Resultat<QString> code = codeboutique::nouveau(services_.bdd, services_.reglages());
    if (!code) {
        signaler(QStringLiteral("Aucun nouveau code ne peut être donné : %1.").arg(code.raison()));
        return;
    }
    // A new article starts as a copy of the one shown, but has no stock of its own yet.
    CodeArticle->setText(*code);
    codeDonne_ = *code;
    totalarticle->clear();
    montrerAImprimer(false);
}

void GenCodesTab::validation_Click() {
    if (Libelle->text().isEmpty()) {
        services_.dialogues.message(
            QStringLiteral("Attention, il est nécessaire de donner un nom d'article"),
            titres::programme());
        return;
    }
    if (CodeArticle->text().isEmpty()) {
        services_.dialogues.message(
            QStringLiteral("le code article doit exister ! Merci de le créer..."),
            titres::programme());
        return;
    }
    SaisieArticle saisie;
    saisie.code = CodeArticle->text();
    saisie.libelle = Libelle->text();
    saisie.taille = taille->text();
    saisie.couleur = couleur->text();
    saisie.prixVente = prixdeventettc->text();
    saisie.tauxVente = tauxtvavente->text();
    saisie.prixAchat = prixhaht->text();
    saisie.tauxAchat = tauxtvaha->text();
    saisie.fournisseur = fourn->currentText();
    saisie.nombre = NombreArticles->text();
    saisie.aImprimer = aimprimer->text();
    saisie.aImprimerVisible = !aimprimer->isHidden();
    saisie.codeNouveau = !codeDonne_.isEmpty() && saisie.code == codeDonne_;
    // A box that does not hold a value of its kind: nothing is saved until it does.
    if (const std::optional<CaseRefusee> refus = caseRefusee(saisie)) {
        signaler(refus->raison);
        if (auto* boite = findChild<QLineEdit*>(refus->boite)) {
            boite->setFocus(Qt::OtherFocusReason);
            boite->selectAll();
        }
        return;
    }
    const Resultat<Enregistrement> e = enregistrerArticle(services_.bdd, saisie);
    if (!e) {
        // Nothing was written: the form keeps what was typed, for another try.
        signaler(QStringLiteral("L'article « %1 » n'a pas été enregistré : %2.")
                     .arg(saisie.code.left(40), e.raison()));
        return;
    }
    codeDonne_.clear();
    emit articleEnregistre(e->article);
    const Resultat<std::optional<Article>> enregistre =
        MagasinArticles(services_.bdd).parCle(e->article.rowid);
    if (e->nouveau && enregistre && *enregistre) {
        // A new code joins the list, chosen.
        const Article& a = **enregistre;
        auto* entree = new QListWidgetItem(
            listearticles::entree(sansNullTexte(a.code), sansNullTexte(a.libelle),
                                  sansNullTexte(a.taille), sansNullTexte(a.couleur)));
        entree->setData(Qt::UserRole, int(sansNullTexte(a.code).size()));
        const QSignalBlocker silence(ListeDesArrivees);
        ListeDesArrivees->addItem(entree);
        ListeDesArrivees->setCurrentItem(entree);
    }
    // The form shows the article as saved.
    finEdition();
    if (enregistre && *enregistre)
        montrerArticle(**enregistre, true);
    else
        signaler(QStringLiteral("L'article « %1 » est enregistré, mais n'a pas pu être relu : %2.")
                     .arg(saisie.code.left(40),
                          enregistre ? QStringLiteral("il a disparu") : enregistre.raison()));
}
