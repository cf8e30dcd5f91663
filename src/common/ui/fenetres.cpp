#include "common/ui/fenetres.h"

#include "common/valeur.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>

void centrerFenetre(QWidget* fenetre) {
    if (!fenetre)
        return;
    const QScreen* ecran = fenetre->screen() ? fenetre->screen() : QGuiApplication::primaryScreen();
    if (!ecran)
        return;
    const QRect zone = ecran->geometry();
    const QSize taille = fenetre->frameGeometry().size();
    fenetre->move(zone.left() + maxi((zone.width() - taille.width()) / 2, 0),
                  zone.top() + maxi((zone.height() - taille.height()) / 2, 0));
}

void selectionnerTout(QWidget* controle) {
    if (auto* l = qobject_cast<QLineEdit*>(controle))
        l->selectAll();
    else if (auto* c = qobject_cast<QComboBox*>(controle); c && c->lineEdit())
        c->lineEdit()->selectAll();
    else if (auto* t = qobject_cast<QTextEdit*>(controle))
        t->selectAll();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(controle))
        p->selectAll();
}

bool estToucheEntree(const QKeyEvent* touche) {
    return touche->key() == Qt::Key_Return || touche->key() == Qt::Key_Enter ||
           touche->text() == QStringLiteral("\r") || touche->text() == QStringLiteral("\n");
}

void titreEntier(QWidget* boite, const QWidget* fenetre) {
    // The room the window manager takes in a title bar: its icon and three buttons.
    constexpr int kBoutonsDuTitre = 160;
    if (!fenetre)
        fenetre = boite->parentWidget();
    if (fenetre)
        boite->setFont(fenetre->window()->font());
    // Title bars are drawn in bold at about the size of the window's text.
    QFont titre = boite->font();
    titre.setBold(true);
    const int largeur =
        QFontMetrics(titre).horizontalAdvance(boite->windowTitle()) + kBoutonsDuTitre;
    // A message box sizes itself from its layout, and ignores a minimum width.
    if (auto* grille = qobject_cast<QGridLayout*>(boite->layout()))
        grille->addItem(new QSpacerItem(largeur, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                        grille->rowCount(), 0, 1, grille->columnCount());
    boite->setMinimumWidth(std::max(boite->minimumWidth(), largeur));
}
