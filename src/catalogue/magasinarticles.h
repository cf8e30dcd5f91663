#pragma once

#include "catalogue/article.h"
#include "common/resultat.h"
#include "database/database.h"

#include <QString>
#include <optional>

// Finding and deleting articles by their code. Codes are compared without regard to letter
// case and to trailing spaces: "art000012" and "ART000012 " name the article ART000012.
class MagasinArticles {
  public:
    explicit MagasinArticles(const Database& bdd) : bdd_(bdd) {}

    // The statement reading `colonnes` of the first article (in table order) of a code: the one
    // look-up of an article by its code, through the index on the compared expression (each
    // engine has its own). It takes one bound value, the code's key (cleCode() of
    // database/database.h).
    static QString selectionParCode(const QString& colonnes, Database::Moteur moteur);

    // The first article whose code equals `code`; nothing when there is none.
    Resultat<std::optional<Article>> parCode(const QString& code) const;
    // The article of that row (Article::rowid); nothing when it is gone.
    Resultat<std::optional<Article>> parCle(qint64 rowid) const;
    // The first article (in table order) whose code matches `motif`, where "*" stands for any
    // text and "?" for one character; a code without them is looked up by parCode().
    Resultat<std::optional<Article>> parMotif(const QString& motif) const;
    // Deletes every article of that code; the number of articles deleted.
    Resultat<qint64> supprimer(const QString& code) const;

    // True when `texte` holds one of the two wildcards.
    static bool estMotif(const QString& texte);
    // True when the two codes name the same article (the comparison of the look-ups).
    static bool memeCode(const QString& a, const QString& b);

  private:
    const Database& bdd_;
};
