#pragma once

#include <QVariant>

class QSqlQuery;

// One row of ARTICLES as read for the article form, the inventory count and the save. Every
// field keeps its stored kind (text, number or Null).
struct Article {
    qint64 rowid = -1;
    QVariant code;
    QVariant libelle;
    QVariant taille;
    QVariant couleur;
    QVariant prixVenteTTC;
    QVariant tauxTVAvente;
    QVariant prixHAHT;
    QVariant tauxTVAHA;
    QVariant fournisseur;
    QVariant enStock;
    QVariant nbrAImprimer;

    // The columns that lireArticle() expects, in its order (for "SELECT ... FROM ARTICLES").
    static QString colonnes();
};

// Reads the current row of a query over Article::colonnes().
Article lireArticle(const QSqlQuery& requete);

// A stock or a label count read as a number; Null counts as 0.
double quantiteOuZero(const QVariant& valeur);
