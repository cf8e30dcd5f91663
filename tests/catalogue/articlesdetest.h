#pragma once

// Articles of a test shop, written straight into ARTICLES.

#include "catalogue/enregistrementarticle.h"
#include "support/testsupport.h"

#include <QSqlQuery>
#include <QVariant>

struct ArticleDeTest {
    QVariant code;
    QVariant libelle = QStringLiteral("Pull ");
    QVariant prix = 29.9;
    QVariant stock = 1;
    QVariant taille = QStringLiteral("M ");
    QVariant couleur = QStringLiteral("Rouge ");
    QVariant fournisseur = QStringLiteral("Maison Dupont");
    QVariant aImprimer = 0;
    QVariant tauxVente = 19.6;
    QVariant prixAchat = 12.5;
    QVariant tauxAchat = 19.6;
};

inline bool ajouterArticle(BoutiqueTest& boutique, const ArticleDeTest& a) {
    return boutique.sql(
        QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, EnStock, taille, "
                       "couleur, fournisseur, nbraimprimer, tauxTVAvente, PrixHAHT, tauxTVAHA) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {a.code, a.libelle, a.prix, a.stock, a.taille, a.couleur, a.fournisseur, a.aImprimer,
         a.tauxVente, a.prixAchat, a.tauxAchat});
}

// `nombre` articles "ART000001"... named "Chaussette ", priced and in stock, in one statement.
inline bool ajouterChaussettes(BoutiqueTest& boutique, int nombre) {
    return boutique.sql(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
            "INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, EnStock) "
            "SELECT 'ART' || substr(CAST(1000000 + i AS TEXT), 2), 'Chaussette ', 2, 1 FROM n"),
        {nombre});
}

inline QVariant champArticle(BoutiqueTest& boutique, const QString& colonne, const QString& code) {
    return boutique.valeur(QStringLiteral("SELECT ") + colonne +
                               QStringLiteral(" FROM ARTICLES WHERE CodeArticle = ?"),
                           {code});
}

// The article form of a red pullover as typed, under `code`: 29,90 at 19,6 %, bought 12,50,
// three pieces.
inline SaisieArticle pull(const QString& code) {
    SaisieArticle s;
    s.code = code;
    s.libelle = QStringLiteral("Pull");
    s.taille = QString();
    s.couleur = QStringLiteral("Rouge");
    s.prixVente = QStringLiteral("29,90");
    s.tauxVente = QStringLiteral("19.6%");
    s.prixAchat = QStringLiteral("12,5");
    s.tauxAchat = QStringLiteral("19,6");
    s.nombre = QStringLiteral("3");
    return s;
}

// Another program that holds the shop database's write lock while it lives, as a second copy
// of the program or a database tool would. The shop's own connection gives up after a short
// wait instead of the program's five seconds.
class VerrouExterne {
  public:
    [[nodiscard]] bool prendre(BoutiqueTest& boutique) {
        if (!boutique.sql(QStringLiteral("PRAGMA busy_timeout = 100")) ||
            !autre_.ouvrir(boutique.installation().baseParDefaut()))
            return false;
        QSqlQuery q(autre_.connexion());
        return q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    }

  private:
    Database autre_;
};
