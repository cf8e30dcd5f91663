#include "common/ui/twips.h"

#include <QLabel>

void placer(QWidget* w, int gauche, int haut, int largeur, int hauteur) {
    w->setGeometry(twips(gauche), twips(haut), twips(largeur), twips(hauteur));
}

QLabel* creerLabel(QWidget* parent, const QString& nom, const QString& texte, int gauche, int haut,
                   int largeur, int hauteur) {
    auto* l = new QLabel(texte, parent);
    l->setObjectName(nom);
    if (largeur > 0 && hauteur > 0) {
        placer(l, gauche, haut, largeur, hauteur);
    } else {
        l->adjustSize();
        l->move(twips(gauche), twips(haut));
    }
    return l;
}
