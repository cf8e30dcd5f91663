#pragma once

#include "catalogue/article.h"
#include "common/resultat.h"

#include <QString>

class Database;

// What the article form holds when "Validation" is pressed, as typed.
struct SaisieArticle {
    QString code;
    QString libelle;
    QString taille;
    QString couleur;
    QString prixVente;
    QString tauxVente;
    QString prixAchat;
    QString tauxAchat;
    QString fournisseur;
    QString nombre;    // pieces received
    QString aImprimer; // labels to print, read only when the box is shown
    bool aImprimerVisible = false;
};

// A price typed with a decimal comma or point, text after the number ignored: "12,50 €" -> 12.5;
// no number in front gives 0.
double conversionPrix(const QString& texte);
// A rate, the same once every "%" is removed: "19,6 %" -> 19.6.
double conversionTaux(const QString& texte);
// A description, size or colour as stored: the text followed by one space (not added again to
// a text that already ends with one, so saving a loaded article keeps its text).
QString texteStocke(const QString& texte);

struct Enregistrement {
    bool nouveau = false; // no article had this code
    // The row as written by the first phase: its stock and label count before this save's
    // addition (0 for a new row).
    Article article;
};

// Writes the form into ARTICLES: updates the first article of that code, or adds one, then
// adds the pieces received to the stock and sets the label count (the pieces received for a
// new code; the "A imprimer" box when it is shown). Both phases are one transaction: the row
// is stored whole or not at all.
Resultat<Enregistrement> enregistrerArticle(const Database& bdd, const SaisieArticle& saisie);
