#pragma once

#include "catalogue/article.h"
#include "common/resultat.h"

#include <QString>
#include <optional>

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
    // The code was given for a new article ("Créer un nouveau CODE"): an article saved under it
    // meanwhile (on another till) is not this one, and is left as it is.
    bool codeNouveau = false;
};

// A box of the form whose text cannot be saved: the control's name, and why, in French.
struct CaseRefusee {
    QString boite;
    QString raison;
};

// The first box, in the form's reading order, whose text the save cannot take: a code that is a
// search pattern ("*", "?") or holds a control character, pieces, a label count (when its box
// is shown), a price or a rate that does not read as one (lecturesaisie.h).
std::optional<CaseRefusee> caseRefusee(const SaisieArticle& saisie);
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
// is stored whole or not at all. A form with a refused box (caseRefusee) writes nothing.
Resultat<Enregistrement> enregistrerArticle(const Database& bdd, const SaisieArticle& saisie);
