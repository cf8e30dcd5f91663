#include "stock/ui/inventairetab.h"

#include "common/formats.h"
#include "frame/dialogues.h"
#include "frame/services.h"
#include "platform/lanceur.h"
#include "stock/exportinventaire.h"
#include "stock/recomptage.h"

#include <QLabel>

// The stock as a whole: recount, export and the journal viewer.

void InventaireTab::inventaireCalculer_Click() {
    // Without a sum (no database, no article) the figure stays as it was.
    if (const auto somme = sommeDuStock(services_.bdd))
        nbreinventairetotal->setText(nombreCourt(*somme));
}

void InventaireTab::SortirInventaire_Click() {
    const QString chemin = services_.installation.chemin(exportinventaire::nomFichier());
    QString erreur;
    if (!exportinventaire::ecrire(services_.bdd, chemin, &erreur)) {
        // The listing of an earlier export is left whole and is not opened as if it were new.
        services_.dialogues.message(QStringLiteral("Erreur ") + erreur, titres::programme(),
                                    Dialogues::Boutons::Ok, Dialogues::Icone::Arret);
        return;
    }
    if (!services_.lanceur.ouvrir(chemin, Lanceur::Role::Tableur, &erreur))
        services_.dialogues.message(
            QStringLiteral("L'inventaire a été écrit dans %1, mais le tableur n'a pas pu être "
                           "ouvert : %2")
                .arg(chemin, erreur),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
}

void InventaireTab::consulterjournal_Click() {
    // The editor opens the journal on its own; the program never waits for it.
    const QString chemin = services_.journal().chemin();
    QString erreur;
    if (!services_.lanceur.ouvrir(chemin, Lanceur::Role::EditeurTexte, &erreur))
        services_.dialogues.message(
            QStringLiteral("Le journal %1 n'a pas pu être ouvert dans l'éditeur de texte : %2")
                .arg(chemin, erreur),
            titres::programme(), Dialogues::Boutons::Ok, Dialogues::Icone::Avertissement);
}
