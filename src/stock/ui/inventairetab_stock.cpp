#include "stock/ui/inventairetab.h"

#include "common/formats.h"
#include "common/journalisation.h"
#include "common/ui/affichageaccessible.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "platform/lanceur.h"
#include "stock/exportinventaire.h"
#include "stock/recomptage.h"

#include <QDir>
#include <QLabel>
#include <QPointer>

// The stock as a whole: recount, export and the journal viewer.

void InventaireTab::inventaireCalculer_Click() {
    // Without a sum (no database, no article) the figure stays as it was; it runs at every change
    // of tab, so a failure goes to the log rather than into a box each time.
    const Resultat<std::optional<Quantite>> somme = sommeDuStock(services_.bdd);
    consigner(somme, QStringLiteral("recomptage du stock"));
    if (somme && *somme)
        montrerValeur(nbreinventairetotal, nombreCourt(**somme));
}

void InventaireTab::SortirInventaire_Click() {
    const QString chemin = services_.installation.chemin(exportinventaire::nomFichier());
    if (Resultat<> r = exportinventaire::ecrire(services_.bdd, chemin); !r) {
        // The listing of an earlier export is left whole and is not opened as if it were new.
        services_.dialogues.message(QStringLiteral("Erreur ") + r.raison(), titres::programme(),
                                    Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
        return;
    }
    // The spreadsheet may be found missing only once the desktop looks for it: said then.
    const QPointer<InventaireTab> onglet(this);
    const auto signaler = [onglet, chemin](const QString& raison) {
        if (onglet)
            onglet->services_.dialogues.message(
                QStringLiteral("L'inventaire a été écrit dans %1, mais le tableur n'a pas pu être "
                               "ouvert : %2")
                    .arg(QDir::toNativeSeparators(chemin), raison),
                titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
    };
    if (Resultat<> r = services_.lanceur.ouvrir(chemin, Lanceur::Role::Tableur, signaler); !r)
        signaler(r.raison());
}

void InventaireTab::consulterjournal_Click() {
    // The editor opens the journal on its own; the program never waits for it, and hears only
    // of a failure.
    const QString chemin = services_.journal().chemin();
    const QPointer<InventaireTab> onglet(this);
    const auto signaler = [onglet, chemin](const QString& raison) {
        if (onglet)
            onglet->services_.dialogues.message(
                QStringLiteral("Le journal %1 n'a pas pu être ouvert dans l'éditeur de texte : %2")
                    .arg(QDir::toNativeSeparators(chemin), raison),
                titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
    };
    if (Resultat<> r = services_.lanceur.ouvrir(chemin, Lanceur::Role::EditeurTexte, signaler); !r)
        signaler(r.raison());
}
