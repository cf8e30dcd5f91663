#include "settings/profilfichier.h"

#include "common/cp1252.h"
#include "common/texte.h"
#include "platform/fichiers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <optional>

namespace profilini {
namespace {

const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

// The settings file as it lies on disk: its lines as bytes, each with its own line end, so that
// a write changes only the line it must and leaves every other byte as it was.
struct Contenu {
    enum class Codage {
        Ascii,      // nothing but ASCII (or no file yet): either encoding reads it
        Utf8,       // valid UTF-8 holding other characters, or a byte-order mark
        Windows1252 // any other file
    };
    QByteArray bom;
    Codage codage = Codage::Ascii;
    QList<QByteArray> brutes; // each line with its end ("\r\n", "\n", nothing for a last line)
    QStringList lignes;       // each line's text, without its end
    QByteArray finDeLigne = QByteArrayLiteral("\r\n");

    QString decoder(const QByteArray& octets) const {
        return codage == Codage::Windows1252 ? depuisWindows1252(octets)
                                             : QString::fromUtf8(octets);
    }

    // The line in the file's encoding; nothing when that encoding cannot hold it. A file of
    // ASCII only takes Windows-1252, as the shop's other files, or UTF-8 for what Windows-1252
    // cannot hold (a folder named "Łódź"): it is then read back as UTF-8.
    std::optional<QByteArray> encoder(const QString& ligne) {
        const QByteArray windows = versWindows1252(ligne);
        const bool tientEnWindows = depuisWindows1252(windows) == ligne;
        switch (codage) {
        case Codage::Utf8:
            return ligne.toUtf8();
        case Codage::Windows1252:
            if (tientEnWindows)
                return windows;
            return std::nullopt;
        case Codage::Ascii:
            break;
        }
        if (!tientEnWindows) {
            codage = Codage::Utf8;
            return ligne.toUtf8();
        }
        if (std::any_of(windows.cbegin(), windows.cend(), [](char o) { return o & 0x80; }))
            codage = Codage::Windows1252;
        return windows;
    }

    void remplacer(qsizetype i, const QByteArray& octets) {
        QByteArray fin = brutes[i].endsWith("\r\n") ? QByteArrayLiteral("\r\n")
                         : brutes[i].endsWith('\n') ? QByteArrayLiteral("\n")
                                                    : finDeLigne;
        brutes[i] = octets + fin;
    }
    void inserer(qsizetype i, const QString& texte, const QByteArray& octets) {
        // The line before a line added at the end of the file gets its line end first.
        if (i == brutes.size() && i > 0 && !brutes.last().endsWith('\n'))
            brutes.last() += finDeLigne;
        brutes.insert(i, octets + finDeLigne);
        lignes.insert(i, texte);
    }
    QByteArray octets() const { return bom + brutes.join(); }
};

bool utf8Valide(const QByteArray& octets) {
    QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString texte = d.decode(octets);
    Q_UNUSED(texte);
    return !d.hasError();
}

// The file read as it lies. A missing file is an empty one; a file that is not an ordinary file
// (a folder, a pipe that would hang the start) or that cannot be read is a failure, so that it
// is never written over unseen.
Resultat<Contenu> lireFichier(const QString& chemin) {
    Contenu c;
    const QFileInfo info(chemin);
    if (!info.exists() && !info.isSymLink())
        return c;
    const QString nom = QDir::toNativeSeparators(chemin);
    if (!info.isFile())
        return echec(QStringLiteral("%1 n'est pas un fichier ordinaire").arg(nom));
    QFile f(chemin);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly))
        return echec(raisonFichier(f));
    QByteArray octets = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return echec(QStringLiteral("le fichier %1 ne peut pas être lu").arg(nom));
    if (octets.startsWith(kBom)) {
        c.bom = kBom;
        octets.remove(0, kBom.size());
        c.codage = Contenu::Codage::Utf8;
    } else if (std::any_of(octets.cbegin(), octets.cend(), [](char o) { return o & 0x80; })) {
        c.codage = utf8Valide(octets) ? Contenu::Codage::Utf8 : Contenu::Codage::Windows1252;
    }
    qsizetype debut = 0;
    while (debut < octets.size()) {
        qsizetype fin = octets.indexOf('\n', debut);
        fin = fin < 0 ? octets.size() : fin + 1;
        c.brutes << octets.mid(debut, fin - debut);
        debut = fin;
    }
    for (const QByteArray& b : c.brutes) {
        QByteArray texte = b;
        if (texte.endsWith('\n'))
            texte.chop(1);
        if (texte.endsWith('\r'))
            texte.chop(1);
        c.lignes << c.decoder(texte);
    }
    if (!c.brutes.isEmpty() && c.brutes.first().endsWith('\n') &&
        !c.brutes.first().endsWith("\r\n"))
        c.finDeLigne = QByteArrayLiteral("\n");
    return c;
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
    const Resultat<Contenu> c = lireFichier(fichier);
    if (!c)
        return resultat(defaut);
    const auto [debut, fin] = bornesSection(c->lignes, section);
    if (debut < 0)
        return resultat(defaut);
    const qsizetype i = ligneCle(c->lignes, debut, fin, cle);
    if (i < 0)
        return resultat(defaut);
    QString valeur = c->lignes[i].mid(c->lignes[i].indexOf(u'=') + 1).trimmed();
    // A value between matching quotes comes back without them, as on Windows.
    if (valeur.size() >= 2 && (valeur.front() == u'"' || valeur.front() == u'\'') &&
        valeur.back() == valeur.front())
        valeur = valeur.mid(1, valeur.size() - 2);
    return resultat(valeur);
}

Resultat<> ecrire(const QString& section, const QString& cle, const QString& valeur,
                  const QString& fichier) {
    Resultat<Contenu> lu = lireFichier(fichier);
    if (!lu)
        return lu.echec();
    Contenu& c = *lu;
    const QByteArray avant = c.octets();
    const QString ligne =
        sansCaracteresDeControle(cle.trimmed()) + u'=' + sansCaracteresDeControle(valeur);
    const QString entete = u'[' + sansCaracteresDeControle(section.trimmed()) + u']';
    auto refus = [&](const QString& texte) {
        return echec(QStringLiteral("le fichier %1 est écrit en Windows-1252, qui ne peut pas "
                                    "contenir « %2 »")
                         .arg(QDir::toNativeSeparators(fichier), texte));
    };
    const auto [debut, fin] = bornesSection(c.lignes, section);
    if (debut < 0) {
        const std::optional<QByteArray> e = c.encoder(entete);
        const std::optional<QByteArray> l = c.encoder(ligne);
        if (!e)
            return refus(entete);
        if (!l)
            return refus(ligne);
        c.inserer(c.lignes.size(), entete, *e);
        c.inserer(c.lignes.size(), ligne, *l);
    } else {
        const qsizetype i = ligneCle(c.lignes, debut, fin, cle);
        // A line that already says this keeps its bytes.
        if (i >= 0 && c.lignes[i] == ligne)
            return {};
        const std::optional<QByteArray> l = c.encoder(ligne);
        if (!l)
            return refus(ligne);
        if (i >= 0) {
            c.remplacer(i, *l);
        } else {
            qsizetype ou = fin;
            while (ou > debut && c.lignes[ou - 1].trimmed().isEmpty())
                --ou;
            c.inserer(ou, ligne, *l);
        }
    }
    const QByteArray apres = c.octets();
    if (apres == avant)
        return {};
    return ecrireFichierSur(fichier, apres);
}

} // namespace profilini
