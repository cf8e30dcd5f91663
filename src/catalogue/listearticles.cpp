#include "catalogue/listearticles.h"

#include "database/database.h"

#include <limits>

namespace listearticles {

namespace {
bool estControle(QChar c) {
    return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f);
}

// A part of an entry without its outer blanks; a control character counts as a blank.
QStringView sansBlancs(QStringView partie) {
    auto blanc = [](QChar c) { return c.isSpace() || estControle(c); };
    while (!partie.isEmpty() && blanc(partie.front()))
        partie = partie.sliced(1);
    while (!partie.isEmpty() && blanc(partie.back()))
        partie.chop(1);
    return partie;
}

// Appends a part on one line: a control character inside it shows as a space. Only the part
// itself is copied, once: the list may hold a hundred thousand entries.
void ajouter(QString& texte, QStringView partie) {
    const qsizetype depart = texte.size();
    texte.append(partie);
    QChar* c = texte.data();
    for (qsizetype k = depart; k < texte.size(); ++k)
        if (estControle(c[k]))
            c[k] = u' ';
}
} // namespace

QString entree(QStringView code, QStringView libelle, QStringView taille, QStringView couleur) {
    const QStringView l = sansBlancs(libelle), t = sansBlancs(taille), c = sansBlancs(couleur);
    QString texte;
    texte.reserve(code.size() + l.size() + t.size() + c.size() + 12);
    texte += code;
    texte += QStringLiteral(" | ");
    ajouter(texte, l);
    texte += QStringLiteral("\n    ");
    ajouter(texte, t);
    if (!t.isEmpty() && !c.isEmpty())
        texte += QStringLiteral(" · ");
    ajouter(texte, c);
    return texte;
}

namespace {
// Walks the rows (code, libelle, taille, couleur), keeping the entries while fewer than `garder`
// rows came.
Resultat<Liste> parcourir(const Database& bdd, const QString& sql, const QVariantList& valeurs,
                          qint64 garder) {
    Liste r;
    const Resultat<> lu =
        parcourirTextes(bdd, sql, valeurs, [&r, garder](std::span<const QStringView> ligne) {
            ++r.trouves;
            if (r.trouves < garder) {
                r.entrees.append(entree(ligne[0], ligne[1], ligne[2], ligne[3]));
                r.longueursCode.append(int(ligne[0].size()));
            }
        });
    // A row that cannot be read would leave the list short without a word.
    if (!lu)
        return lu.echec();
    if (r.trouves >= garder) {
        r.entrees.clear();
        r.longueursCode.clear();
    }
    return r;
}
} // namespace

Resultat<Liste> enStock(const Database& bdd) {
    return parcourir(
        bdd,
        QStringLiteral(
            "SELECT CodeArticle, libelle, taille, couleur FROM ARTICLES WHERE EnStock > 0 "
            "ORDER BY rowid"),
        {}, std::numeric_limits<qint64>::max());
}

Resultat<Liste> rechercher(const Database& bdd, const QString& texte) {
    return parcourir(bdd,
                     QStringLiteral("SELECT CodeArticle, libelle, taille, couleur FROM ARTICLES "
                                    "WHERE PrixVenteTTC > 0 AND correspond(?, libelle) "
                                    "ORDER BY rowid"),
                     {QStringLiteral("*") + texte + QStringLiteral("*")}, kSeuilRecherche);
}

} // namespace listearticles
