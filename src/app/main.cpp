#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "frame/installation.h"
#include "frame/ui/dialoguesqt.h"
#include "frame/ui/finqt.h"
#include "frame/ui/form1.h"
#include "frame/ui/intro.h"
#include "frame/ui/traductionqt.h"
#include "platform/horloge.h"
#include "platform/lanceur.h"
#include "platform/signauxarret.h"
#include "printing/systeme/imprimantessysteme.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    traduireQtEnFrancais();
    const Installation installation = Installation::depuisProgramme();
    Database bdd;
    DialoguesQt dialogues;
    ImprimantesSysteme imprimantes(installation.dossier);
    LanceurBureau lanceur;
    Horloge horloge;
    Intro intro;
    FinQt fin;
    CleFiscale cle;
    Form1 fenetre(
        Services{installation, bdd, dialogues, imprimantes, lanceur, horloge, intro, fin, cle});
    dialogues.setParent(&fenetre);
    // A shutdown stops the program as the close box does.
    SignauxArret signaux;
    QObject::connect(&signaux, &SignauxArret::arretDemande, &fenetre, &Form1::arretSysteme);
    // A start that could not go on (no usable shop database, another till on it) is a failure
    // for whatever started the program.
    if (!fenetre.demarrer())
        return 1;
    if (fin.demandee() || fenetre.arrete())
        return 0;
    fenetre.afficher();
    fenetre.sauvegarderEnFond();
    return fin.demandee() ? 0 : app.exec();
}
