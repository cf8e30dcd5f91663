#include "catalogue/magasinarticles.h"

#include "database/database.h"

#include <QSqlQuery>

namespace {
std::optional<Article> premier(const Database& bdd, const QString& condition,
                               const QVariantList& valeurs) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (!executer(q,
                  QStringLiteral("SELECT ") + Article::colonnes() +
                      QStringLiteral(" FROM ARTICLES WHERE ") + condition +
                      QStringLiteral(" LIMIT 1"),
                  valeurs) ||
        !q.next())
        return std::nullopt;
    return lireArticle(q);
}
} // namespace

bool MagasinArticles::estMotif(const QString& texte) {
    return texte.contains(u'*') || texte.contains(u'?');
}

std::optional<Article> MagasinArticles::parCode(const QString& code) const {
    return premier(bdd_, QStringLiteral("rtrim(CodeArticle) = rtrim(?) COLLATE NOCASE"), {code});
}

std::optional<Article> MagasinArticles::parMotif(const QString& motif) const {
    if (!estMotif(motif))
        return parCode(motif);
    QString sansBlancsFinaux = motif;
    while (sansBlancsFinaux.endsWith(u' '))
        sansBlancsFinaux.chop(1);
    return premier(bdd_, QStringLiteral("correspond(?, rtrim(CodeArticle))"), {sansBlancsFinaux});
}

bool MagasinArticles::supprimer(const QString& code) const {
    QSqlQuery q(bdd_.connexion());
    return executer(q,
                    QStringLiteral("DELETE FROM ARTICLES WHERE rtrim(CodeArticle) = rtrim(?) "
                                   "COLLATE NOCASE"),
                    {code});
}
