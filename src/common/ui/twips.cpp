#include "common/ui/twips.h"

#include "common/ui/miseaechelle.h"

#include <QLabel>

void placer(QWidget* w, int gauche, int haut, int largeur, int hauteur) {
    placerDessin(w, QRectF(twips(gauche), twips(haut), twips(largeur), twips(hauteur)));
}

QLabel* creerLabel(QWidget* parent, const QString& nom, const QString& texte, int gauche, int haut,
                   int largeur, int hauteur) {
    auto* l = new QLabel(texte, parent);
    l->setObjectName(nom);
    if (largeur > 0 && hauteur > 0) {
        placer(l, gauche, haut, largeur, hauteur);
    } else {
        marquerTailleNaturelle(l);
        placerDessin(l, QRectF(twips(gauche), twips(haut), 0, 0));
    }
    return l;
}
