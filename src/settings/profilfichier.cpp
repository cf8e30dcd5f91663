#include "settings/profilfichier.h"

#include "common/cp1252.h"
#include "common/texte.h"
#include "platform/fichiers.h"

#include <QFile>
#include <QStringList>

namespace profilini {
namespace {

QStringList lireLignes(const QString& fichier, bool* existe) {
    QFile f(fichier);
    *existe = f.open(QIODevice::ReadOnly);
    if (!*existe)
        return {};
    QString texte = depuisWindows1252(f.readAll());
    texte.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texte.replace(u'\r', u'\n');
    QStringList lignes = texte.split(u'\n');
    if (!lignes.isEmpty() && lignes.last().isEmpty())
        lignes.removeLast();
    return lignes;
}

// The section name of a "[name]" line, or a null string for any other line.
QString nomSection(const QString& ligne) {
    const QString t = ligne.trimmed();
    if (!t.startsWith(u'['))
        return {};
    const qsizetype fin = t.indexOf(u']');
    if (fin < 0)
        return {};
    return t.mid(1, fin - 1).trimmed();
}

bool memeNom(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the key's line inside [debut, fin), or -1.
qsizetype ligneCle(const QStringList& lignes, qsizetype debut, qsizetype fin, const QString& cle) {
    for (qsizetype i = debut; i < fin; ++i) {
        const qsizetype egal = lignes[i].indexOf(u'=');
        if (egal < 0)
            continue;
        if (memeNom(lignes[i].left(egal).trimmed(), cle.trimmed()))
            return i;
    }
    return -1;
}

// [debut, fin) of the first section of that name, debut = -1 when absent.
std::pair<qsizetype, qsizetype> bornesSection(const QStringList& lignes, const QString& section) {
    for (qsizetype i = 0; i < lignes.size(); ++i) {
        const QString nom = nomSection(lignes[i]);
        if (nom.isNull() || !memeNom(nom, section.trimmed()))
            continue;
        qsizetype fin = i + 1;
        while (fin < lignes.size() && nomSection(lignes[fin]).isNull())
            ++fin;
        return {i + 1, fin};
    }
    return {-1, -1};
}

} // namespace

Lecture lire(const QString& section, const QString& cle, const QString& defaut, int capacite,
             const QString& fichier) {
    const int max = capacite > 0 ? capacite - 1 : 0;
    auto resultat = [max](QString t) {
        const qsizetype nul = t.indexOf(QChar(0));
        if (nul >= 0)
            t.truncate(nul);
        if (t.size() > max)
            t.truncate(max);
        return Lecture{t, static_cast<int>(t.size())};
    };
    bool existe = false;
    const QStringList lignes = lireLignes(fichier, &existe);
    const auto [debut, fin] = bornesSection(lignes, section);
    if (debut < 0)
        return resultat(defaut);
    const qsizetype i = ligneCle(lignes, debut, fin, cle);
    if (i < 0)
        return resultat(defaut);
    QString valeur = lignes[i].mid(lignes[i].indexOf(u'=') + 1).trimmed();
    // A value between matching quotes comes back without them, as on Windows.
    if (valeur.size() >= 2 && (valeur.front() == u'"' || valeur.front() == u'\'') &&
        valeur.back() == valeur.front())
        valeur = valeur.mid(1, valeur.size() - 2);
    return resultat(valeur);
}

Resultat<> ecrire(const QString& section, const QString& cle, const QString& valeur,
                  const QString& fichier) {
    bool existe = false;
    QStringList lignes = lireLignes(fichier, &existe);
    const QString ligne =
        sansCaracteresDeControle(cle.trimmed()) + u'=' + sansCaracteresDeControle(valeur);
    const auto [debut, fin] = bornesSection(lignes, section);
    if (debut < 0) {
        lignes << u'[' + sansCaracteresDeControle(section.trimmed()) + u']' << ligne;
    } else {
        const qsizetype i = ligneCle(lignes, debut, fin, cle);
        if (i >= 0) {
            lignes[i] = ligne;
        } else {
            qsizetype ou = fin;
            while (ou > debut && lignes[ou - 1].trimmed().isEmpty())
                --ou;
            lignes.insert(ou, ligne);
        }
    }
    return ecrireFichierSur(fichier, lignesWindows(lignes));
}

} // namespace profilini
