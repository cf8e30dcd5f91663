#include "catalogue/magasinarticles.h"

#include "database/database.h"

#include <QSqlQuery>

namespace {
// Codes compare by their key (case and trailing spaces left out), through the index on it; the
// bound value is the key of the code typed.
QString conditionCode(Database::Moteur moteur) {
    return cleCodeSql(QStringLiteral("CodeArticle"), moteur) + QStringLiteral(" = ?");
}

Resultat<std::optional<Article>> premier(const Database& bdd, const QString& sql,
                                         const QVariantList& valeurs) {
    // Named columns only: the statement is kept prepared (the code look-up's key is long to
    // prepare).
    Preparee p(bdd, sql);
    if (Resultat<> r = p.executer(valeurs); !r)
        return r.echec();
    if (!p.requete().next())
        return std::optional<Article>();
    return std::optional<Article>(lireArticle(p.requete()));
}
} // namespace

QString MagasinArticles::selectionParCode(const QString& colonnes, Database::Moteur moteur) {
    return QStringLiteral("SELECT ") + colonnes + QStringLiteral(" FROM ARTICLES WHERE ") +
           conditionCode(moteur) + QStringLiteral(" ORDER BY rowid LIMIT 1");
}

bool MagasinArticles::estMotif(const QString& texte) {
    return texte.contains(u'*') || texte.contains(u'?');
}

Resultat<std::optional<Article>> MagasinArticles::parCode(const QString& code) const {
    return premier(bdd_, selectionParCode(Article::colonnes(), bdd_.moteur()), {cleCode(code)});
}

Resultat<std::optional<Article>> MagasinArticles::parCle(qint64 rowid) const {
    return premier(bdd_,
                   QStringLiteral("SELECT ") + Article::colonnes() +
                       QStringLiteral(" FROM ARTICLES WHERE rowid = ?"),
                   {rowid});
}

bool MagasinArticles::memeCode(const QString& a, const QString& b) {
    return cleCode(a) == cleCode(b);
}

Resultat<std::optional<Article>> MagasinArticles::parMotif(const QString& motif) const {
    if (!estMotif(motif))
        return parCode(motif);
    QString sansBlancsFinaux = motif;
    while (sansBlancsFinaux.endsWith(u' '))
        sansBlancsFinaux.chop(1);
    return premier(bdd_,
                   QStringLiteral("SELECT ") + Article::colonnes() +
                       QStringLiteral(" FROM ARTICLES WHERE correspond(?, rtrim(CodeArticle)) "
                                      "ORDER BY rowid LIMIT 1"),
                   {sansBlancsFinaux});
}

Resultat<qint64> MagasinArticles::supprimer(const QString& code) const {
    QSqlQuery q(bdd_.connexion());
    if (Resultat<> r = executer(
            q, QStringLiteral("DELETE FROM ARTICLES WHERE ") + conditionCode(bdd_.moteur()),
            {cleCode(code)});
        !r)
        return r.echec();
    return qint64(q.numRowsAffected());
}
