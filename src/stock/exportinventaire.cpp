#include "stock/exportinventaire.h"

#include "common/formats.h"
#include "common/montant.h"
#include "common/texte.h"
#include "database/database.h"
#include "platform/fichiers.h"

#include <QDateTime>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace exportinventaire {

namespace {

const QString kRequete = QStringLiteral(
    "SELECT ARTICLES.DateDeCreation, ARTICLES.fournisseur, ARTICLES.libelle, "
    "ARTICLES.CodeArticle, ARTICLES.EnStock, ARTICLES.PrixVenteTTC, ARTICLES.tauxTVAvente, "
    "ARTICLES.PrixHAHT, ARTICLES.tauxTVAHA, ARTICLES.taille, ARTICLES.couleur From ARTICLES "
    "Where (((ARTICLES.EnStock) > 0)) ORDER BY ARTICLES.fournisseur, ARTICLES.libelle, "
    "ARTICLES.CodeArticle;");

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
std::optional<QHash<QString, Genre>> genresArticles(const Database& bdd, QString* erreur) {
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (!executer(q, QStringLiteral("PRAGMA table_info(ARTICLES)"), {}, erreur))
        return std::nullopt;
    QHash<QString, Genre> genres;
    while (q.next())
        genres.insert(q.value(1).toString().toLower(), genreDeclare(q.value(2).toString()));
    return genres;
}

bool estNombre(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

// A date as the shop's short date, followed by the time when it has one.
QString texteDate(const QString& stocke) {
    for (const QString& format :
         {QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
          QStringLiteral("yyyy-MM-dd HH:mm")}) {
        const QDateTime t = QDateTime::fromString(stocke, format);
        if (t.isValid())
            return texteAffiche(t);
    }
    const QDate d = QDate::fromString(stocke, QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? dateCourte(d) : stocke;
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
            return nombreCourt(Montant::depuisVariant(v).enDouble());
        return nombreCourt(v.toDouble());
    }
    if (genre == Genre::Date)
        return texteDate(v.toString());
    return sansFormule(v.toString());
}

// Between double quotes; a quote inside the value is doubled so that it stays in its cell.
QString entreGuillemets(const QString& texte) {
    QString s = texte;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString lettreColonne(int champ) {
    return QString(QChar(u'B' + champ));
}

} // namespace

QString nomFichier() {
    return QStringLiteral("inventaire.csv");
}

std::optional<QStringList> lignes(const Database& bdd, QString* erreur) {
    if (!bdd.estOuverte()) {
        if (erreur)
            *erreur = QStringLiteral("la base de données n'est pas ouverte");
        return std::nullopt;
    }
    const auto genresTable = genresArticles(bdd, erreur);
    if (!genresTable)
        return std::nullopt;
    QSqlQuery q(bdd.connexion());
    q.setForwardOnly(true);
    if (!executer(q, kRequete, {}, erreur))
        return std::nullopt;

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
        for (int i = 0; i < nbChamps; ++i) {
            QString texte = texteValeur(q.value(i), genres[i]);
            if (genres[i] != Genre::Monnaie && genres[i] != Genre::Simple)
                texte = remplacer(texte, QStringLiteral(","), QStringLiteral("."));
            ligne += u',' + entreGuillemets(texte);
        }
        // The row's stock value at purchase price; empty when either is missing.
        QString valeur;
        const QVariant stock = q.value(iStock), prix = q.value(iPrixAchat);
        if (estNombre(stock) && estNombre(prix)) {
            bool ok = false;
            const Montant m = Montant::depuisDouble(
                Montant::depuisVariant(prix).enDouble() * stock.toDouble(), &ok);
            if (ok) {
                total += m;
                valeur = nombreCourt(m.enDouble());
            }
        }
        resultat << ligne + u',' + entreGuillemets(valeur);
    }
    if (q.lastError().isValid()) {
        if (erreur)
            *erreur = q.lastError().text();
        return std::nullopt;
    }

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
    resultat << totaux + u',' + entreGuillemets(nombreCourt(total.enDouble()));
    return resultat;
}

bool ecrire(const Database& bdd, const QString& chemin, QString* erreur) {
    const auto contenu = lignes(bdd, erreur);
    return contenu && ecrireFichierSur(chemin, lignesWindows(*contenu), erreur);
}

} // namespace exportinventaire
