#include "database/database.h"
#include "frame/installation.h"
#include "frame/ui/dialoguesqt.h"
#include "frame/ui/finqt.h"
#include "frame/ui/form1.h"
#include "frame/ui/intro.h"
#include "platform/horloge.h"
#include "platform/lanceur.h"
#include "printing/systeme/imprimantessysteme.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const Installation installation = Installation::depuisProgramme();
    Database bdd;
    DialoguesQt dialogues;
    ImprimantesSysteme imprimantes(installation.dossier);
    LanceurBureau lanceur;
    Horloge horloge;
    Intro intro;
    FinQt fin;
    Form1 fenetre(
        Services{installation, bdd, dialogues, imprimantes, lanceur, horloge, intro, fin});
    dialogues.setParent(&fenetre);
    if (!fenetre.demarrer() || fin.demandee())
        return 0;
    fenetre.afficher();
    return fin.demandee() ? 0 : app.exec();
}
