#include "catalogue/ui/gencodestab.h"

#include "catalogue/codeboutique.h"
#include "catalogue/listearticles.h"
#include "catalogue/magasinarticles.h"
#include "common/texte.h"
#include "frame/dialogues.h"
#include "frame/progression.h"
#include "frame/services.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

// The article list: the articles in stock, the search by description and the deletion.

namespace {
const QString kEchecArticles = QStringLiteral("problème d'ouverture de la table ARTICLES");
} // namespace

void GenCodesTab::remplirListe(const QStringList& entrees, const QList<int>& longueursCode) {
    const qint64 n = entrees.size();
    ListeDesArrivees->setUpdatesEnabled(false);
    for (qint64 i = 0; i < n; ++i) {
        auto* entree = new QListWidgetItem(entrees[i]);
        entree->setData(Qt::UserRole, longueursCode[i]);
        ListeDesArrivees->addItem(entree);
        services_.progression.progresser(i + 1, n);
    }
    ListeDesArrivees->setUpdatesEnabled(true);
    // A new list is read from its top, whatever part of the last one was in view.
    ListeDesArrivees->scrollToTop();
}

int GenCodesTab::rangChoisi() const {
    const QList<QListWidgetItem*> choisies = ListeDesArrivees->selectedItems();
    return choisies.isEmpty() ? -1 : ListeDesArrivees->row(choisies.first());
}

QString GenCodesTab::codeEntree(int rang) const {
    const QListWidgetItem* entree = ListeDesArrivees->item(rang);
    if (!entree)
        return {};
    // The code's length is kept with the entry, so that a code holding "|" is read whole.
    const QVariant longueur = entree->data(Qt::UserRole);
    if (longueur.isValid())
        return entree->text().left(longueur.toInt()) + u' ';
    return champ(entree->text(), QStringLiteral("|"), 1);
}

bool GenCodesTab::chargerArticles(const QString& raisonOuverture) {
    services_.progression.montrer();
    const Resultat<listearticles::Liste> r = listearticles::enStock(services_.bdd);
    if (!r) {
        services_.progression.fermer();
        // The reason the database could not be opened, when it could not, says more than
        // the reason the table could not be read.
        const QString raison = raisonOuverture.isEmpty() ? r.raison() : raisonOuverture;
        services_.dialogues.message(kEchecArticles + QStringLiteral("\n\n") + raison + u'.',
                                    titres::programme());
        return false;
    }
    nombrereponses->setText(QString::number(r->trouves));
    remplirListe(r->entrees, r->longueursCode);
    services_.progression.fermer();
    return true;
}

void GenCodesTab::rechargerListe() {
    ListeDesArrivees->clear();
    if (!chargerArticles())
        services_.fin.terminer();
}

void GenCodesTab::gorecherche_Click() {
    ListeDesArrivees->clear();
    services_.progression.montrer();
    const Resultat<listearticles::Liste> r =
        listearticles::rechercher(services_.bdd, recherche->text());
    if (!r) {
        services_.progression.fermer();
        services_.dialogues.message(kEchecArticles + QStringLiteral("\n\n") + r.raison() + u'.',
                                    titres::programme());
        services_.fin.terminer();
        return;
    }
    if (r->trouves >= listearticles::kSeuilRecherche) {
        services_.progression.fermer();
        services_.dialogues.message(QStringLiteral("Trop d'articles répondent à la question"),
                                    titres::programme());
    }
    remplirListe(r->entrees, r->longueursCode);
    nombrereponses->setText(QString::number(r->trouves));
    services_.progression.fermer();
}

void GenCodesTab::recherche_KeyPress(int touche) {
    if (touche == 13)
        gorecherche_Click();
}

void GenCodesTab::supprimer_Click() {
    const QString code = codeEntree(rangChoisi());
    if (services_.dialogues.message(
            QStringLiteral("Etes-vous sûr de vouloir supprimer ") + code + QStringLiteral(" ?"),
            titres::programme(), Dialogues::Boutons::OuiNon, Dialogues::Icone::Aucune,
            Dialogues::Reponse::Non) != Dialogues::Reponse::Oui)
        return;
    // No entry selected: nothing to delete.
    if (code.isEmpty())
        return;
    auto refus = [&](const QString& raison) {
        signaler(QStringLiteral("L'article « %1 » n'a pas été supprimé : %2.")
                     .arg(code.trimmed().left(40), raison));
    };
    // The code is kept before the article goes, so that it is never given again.
    if (Resultat<> r = codeboutique::retenirSuppression(services_.reglages(), code); !r)
        return refus(r.raison());
    if (const Resultat<qint64> r = MagasinArticles(services_.bdd).supprimer(code); !r)
        return refus(r.raison());
    // Neither the list nor the form may offer the article again (a save would re-create it).
    for (int i = ListeDesArrivees->count() - 1; i >= 0; --i)
        if (MagasinArticles::memeCode(codeEntree(i), code))
            delete ListeDesArrivees->takeItem(i);
    valeursDeDepart();
    finEdition();
}
