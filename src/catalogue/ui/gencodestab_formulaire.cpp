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

void GenCodesTab::montrerArticle(const Article& a, bool avecCode) {
    // Texts are shown as stored, numbers in their short French form; a missing value shows as
    // an empty box rather than leaving another article's value behind.
    if (avecCode)
        CodeArticle->setText(sansNullTexte(a.code));
    Libelle->setText(sansNullTexte(a.libelle));
    prixdeventettc->setText(sansNullTexte(a.prixVenteTTC));
    taille->setText(sansNullTexte(a.taille));
    couleur->setText(sansNullTexte(a.couleur));
    tauxtvavente->setText(sansNullTexte(a.tauxTVAvente));
    prixhaht->setText(sansNullTexte(a.prixHAHT));
    tauxtvaha->setText(sansNullTexte(a.tauxTVAHA));
    NombreArticles->setText(QStringLiteral("0"));
    totalarticle->setText(QStringLiteral("stock : ") + sansNullTexte(a.enStock));
    fourn->setEditText(sansNullTexte(a.fournisseur));
    aimprimer->setText(sansNullTexte(a.nbrAImprimer));
    aimprimer->show();
}

void GenCodesTab::CodeArticle_LostFocus() {
    const Resultat<std::optional<Article>> article =
        MagasinArticles(services_.bdd).parMotif(CodeArticle->text());
    finEdition();
    if (!article) {
        signaler(QStringLiteral("L'article « %1 » n'a pas pu être cherché : %2.")
                     .arg(CodeArticle->text().left(40), article.raison()));
        return;
    }
    // An unknown code keeps the form as it is, ready to be saved under that code.
    if (*article)
        montrerArticle(**article, false);
}

void GenCodesTab::ouvrirParCode(const QString& code) {
    CodeArticle->setText(code);
    CodeArticle_LostFocus();
}

void GenCodesTab::ListeDesArrivees_Click() {
    finEdition();
    const int rang = ListeDesArrivees->currentRow();
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
    aimprimer->show();
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
    CodeArticle->setText(*code);
    aimprimer->hide();
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
    const Resultat<Enregistrement> e = enregistrerArticle(services_.bdd, saisie);
    if (!e) {
        // Nothing was written: the form keeps what was typed, for another try.
        signaler(QStringLiteral("L'article « %1 » n'a pas été enregistré : %2.")
                     .arg(saisie.code.left(40), e.raison()));
        return;
    }
    emit articleEnregistre(e->article);
    if (!saisie.aImprimerVisible) {
        // A new code joins the list, selected (which shows it).
        auto* entree = new QListWidgetItem(listearticles::entree(saisie.code, saisie.libelle));
        entree->setData(Qt::UserRole, int(saisie.code.size()));
        ListeDesArrivees->addItem(entree);
        ListeDesArrivees->setCurrentItem(entree);
    }
    CodeArticle->clear();
    aimprimer->hide();
    ListeDesArrivees_Click();
}
