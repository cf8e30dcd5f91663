#include "stock/exportinventaire.h"

#include "common/formats.h"
#include "common/montant.h"
#include "common/valeur.h"
#include "database/database.h"
#include "platform/fichiers.h"

#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <cmath>

namespace exportinventaire {

namespace {

// The columns are named as the file names them (a server would give them in lower case). The
// rows without supplier or description come first, as the file sorts Nulls; a server is told
// so, and given the table order for rows alike in every sorted column.
QString requete(Database::Moteur moteur) {
    const bool serveur = moteur == Database::Moteur::PostgreSQL;
    const QString nulls = serveur ? QStringLiteral(" NULLS FIRST") : QString();
    return QStringLiteral(
               "SELECT ARTICLES.DateDeCreation AS \"DateDeCreation\", ARTICLES.fournisseur AS "
               "\"fournisseur\", ARTICLES.libelle AS \"libelle\", ARTICLES.CodeArticle AS "
               "\"CodeArticle\", ARTICLES.EnStock AS \"EnStock\", ARTICLES.PrixVenteTTC AS "
               "\"PrixVenteTTC\", ARTICLES.tauxTVAvente AS \"tauxTVAvente\", ARTICLES.PrixHAHT "
               "AS \"PrixHAHT\", ARTICLES.tauxTVAHA AS \"tauxTVAHA\", ARTICLES.taille AS "
               "\"taille\", ARTICLES.couleur AS \"couleur\" From ARTICLES Where "
               "(((ARTICLES.EnStock) > 0)) ORDER BY ARTICLES.fournisseur COLLATE sansaccents%1, "
               "ARTICLES.libelle COLLATE sansaccents%1, ARTICLES.CodeArticle%1%2;")
        .arg(nulls, serveur ? QStringLiteral(", ARTICLES.rowid") : QString());
}

// What a column holds, from the type the table declares for it. Money keeps the decimal comma
// (the spreadsheet reads it as a number); the other numbers get a decimal point.
enum class Genre { Monnaie, Simple, Date, Autre };

Genre genreDeclare(const QString& type) {
    const QString t = type.toUpper();
    if (t.contains(QStringLiteral("CURRENCY")) || t.contains(QStringLiteral("MONEY")))
        return Genre::Monnaie;
    if (t.contains(QStringLiteral("SINGLE")))
        return Genre::Simple;
    if (t.contains(QStringLiteral("DATE")) || t.contains(QStringLiteral("TIME")))
        return Genre::Date;
    return Genre::Autre;
}

// The declared type of every column of ARTICLES, by name without regard to case.
Resultat<QHash<QString, Genre>> genresArticles(const Database& bdd) {
    const Resultat<QList<ColonneTable>> colonnes = colonnesTable(bdd, QStringLiteral("ARTICLES"));
    if (!colonnes)
        return colonnes.echec();
    QHash<QString, Genre> genres;
    for (const ColonneTable& c : *colonnes)
        genres.insert(c.nom.toLower(), genreDeclare(c.type));
    return genres;
}

bool chiffres(QStringView s, std::initializer_list<int> positions) {
    for (int i : positions)
        if (i >= s.size() || !s[i].isDigit() || s[i].unicode() > 127)
            return false;
    return true;
}

// A date as the shop's short date, followed by the time when it has one. The database keeps
// "yyyy-mm-dd hh:nn:ss"; the parts are moved rather than parsed (a listing has one per row).
QString texteDate(const QString& stocke) {
    const QStringView s(stocke);
    const bool date =
        s.size() >= 10 && s[4] == u'-' && s[7] == u'-' && chiffres(s, {0, 1, 2, 3, 5, 6, 8, 9});
    if (date &&
        (s.size() == 10 || (s.size() == 19 && (s[10] == u' ' || s[10] == u'T') && s[13] == u':' &&
                            s[16] == u':' && chiffres(s, {11, 12, 14, 15, 17, 18})))) {
        QString texte;
        texte.reserve(19);
        texte.append(s.mid(8, 2)).append(u'/').append(s.mid(5, 2)).append(u'/').append(s.first(4));
        if (s.size() == 19 && s.sliced(11) != u"00:00:00")
            texte.append(u' ').append(s.sliced(11));
        return texte;
    }
    // Any other form of date that Qt reads, else the text as stored.
    const QDateTime t = QDateTime::fromString(stocke, Qt::ISODate);
    return t.isValid() ? texteAffiche(t) : stocke;
}

// A typed text that a spreadsheet would run as a formula ("=...", and "+", "-", "@" for some
// programs) is shown as text: one blank goes before it.
QString sansFormule(const QString& texte) {
    if (!texte.isEmpty() && QStringLiteral("=+-@").contains(texte.front()))
        return u' ' + texte;
    return texte;
}

// A value as the shop reads it: French numbers without thousands separator, dates as short
// dates, Null as empty text.
QString texteValeur(const QVariant& v, Genre genre) {
    if (v.isNull() || !v.isValid())
        return {};
    if (estNombre(v)) {
        if (genre == Genre::Monnaie)
            return nombreCourt(Montant::depuisDouble(v.toDouble()));
        return nombreCourt(v.toDouble());
    }
    if (genre == Genre::Date)
        return texteDate(v.toString());
    return sansFormule(v.toString());
}

// "," then the text between double quotes; a quote inside the text is doubled so that it stays
// in its cell.
void ajouterChamp(QString& ligne, const QString& texte) {
    ligne += u',';
    ligne += u'"';
    if (texte.contains(u'"'))
        ligne += QString(texte).replace(u'"', QStringLiteral("\"\""));
    else
        ligne += texte;
    ligne += u'"';
}

QString lettreColonne(int champ) {
    return QString(QChar(u'B' + champ));
}

} // namespace

QString nomFichier() {
    return QStringLiteral("inventaire.csv");
}

Resultat<QStringList> lignes(const Database& bdd) {
    if (!bdd.estOuverte())
        return echec(QStringLiteral("la base de données n'est pas ouverte"));
    const auto genresTable = genresArticles(bdd);
    if (!genresTable)
        return genresTable.echec();
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (Resultat<> r = executer(q, requete(bdd.moteur())); !r)
        return r.echec();

    const QSqlRecord champs = q.record();
    const int nbChamps = champs.count();
    QList<Genre> genres;
    QString entete = QStringLiteral("N");
    int iStock = -1, iPrixAchat = -1;
    for (int i = 0; i < nbChamps; ++i) {
        const QString nom = champs.fieldName(i);
        genres << genresTable->value(nom.toLower(), Genre::Autre);
        entete += u',' + nom;
        if (nom.compare(QStringLiteral("EnStock"), Qt::CaseInsensitive) == 0)
            iStock = i;
        else if (nom.compare(QStringLiteral("PrixHAHT"), Qt::CaseInsensitive) == 0)
            iPrixAchat = i;
    }
    entete += QStringLiteral(",TotalHAHT");

    QStringList resultat{entete};
    Montant total;
    while (q.next()) {
        QString ligne;
        ligne.reserve(256);
        for (int i = 0; i < nbChamps; ++i) {
            QString texte = texteValeur(q.value(i), genres[i]);
            // Money keeps its decimal comma; elsewhere every comma becomes a point.
            if (genres[i] != Genre::Monnaie && genres[i] != Genre::Simple)
                texte.replace(u',', u'.');
            ajouterChamp(ligne, texte);
        }
        // The row's stock value at purchase price; empty when either is missing.
        QString valeur;
        const QVariant stock = q.value(iStock), prix = q.value(iPrixAchat);
        // (a server gives a Null amount typed as a number)
        if (!stock.isNull() && !prix.isNull() && estNombre(stock) && estNombre(prix)) {
            const Montant unitaire = Montant::depuisDouble(prix.toDouble());
            const std::optional<Quantite> pieces = Quantite::depuisDouble(stock.toDouble());
            if (pieces && std::fabs(unitaire.enDouble() * pieces->enDouble()) < Montant::maximum) {
                const Montant m = unitaire.fois(*pieces);
                total += m;
                valeur = nombreCourt(m);
            }
        }
        ajouterChamp(ligne, valeur);
        resultat << ligne;
    }
    if (q.lastError().isValid())
        return echec(raisonSql(q.lastError()));

    const int derniere = int(resultat.size()); // the header is line 1
    resultat << QString();
    resultat << QStringLiteral(", ").repeated(nbChamps);
    QString totaux;
    for (int i = 0; i < nbChamps; ++i) {
        totaux += u',';
        if (genres[i] == Genre::Monnaie) {
            const QString l = lettreColonne(i);
            totaux +=
                QStringLiteral("=somme(") + l + u'2' + u':' + l + QString::number(derniere) + u')';
        }
    }
    ajouterChamp(totaux, nombreCourt(total));
    resultat << totaux;
    return resultat;
}

Resultat<> ecrire(const Database& bdd, const QString& chemin) {
    const Resultat<QStringList> contenu = lignes(bdd);
    if (!contenu)
        return contenu.echec();
    return ecrireFichierSur(chemin, lignesWindows(*contenu));
}

} // namespace exportinventaire
