#include "platform/registre.h"

#include "common/cp1252.h"
#include "common/journalisation.h"
#include "platform/fichiers.h"
#include "platform/verroufichier.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace winreg {
namespace {

constexpr char kSignature[] = "TALMIRREG";
constexpr quint16 kVersionFormat = 1;
constexpr qint64 kTailleFichierMax = 256 * 1024 * 1024;
constexpr int kNombreRacines = 7;

struct Valeur {
    QByteArray nom;
    DWORD type = REG_NONE;
    QByteArray donnees;
};

// Names compare as Windows does: each character taken in capitals.
QString plie(const QByteArray& nom) {
    QString s = depuisWindows1252(nom);
    for (QChar& c : s)
        c = c.toUpper();
    return s;
}

struct Noeud {
    QByteArray nom;
    Noeud* parent = nullptr;
    bool supprime = false;
    std::vector<Valeur> valeurs;                        // in the order first written
    std::map<QString, std::shared_ptr<Noeud>> sousCles; // by folded name: alphabetical

    int profondeur() const {
        int n = 0;
        for (const Noeud* p = parent; p; p = p->parent)
            ++n;
        return n;
    }
    qsizetype indexValeur(const QByteArray& cherche) const {
        const QString cle = plie(cherche);
        for (size_t i = 0; i < valeurs.size(); ++i)
            if (plie(valeurs[i].nom) == cle)
                return static_cast<qsizetype>(i);
        return -1;
    }
    std::shared_ptr<Noeud> enfant(const QByteArray& cherche) const {
        const auto it = sousCles.find(plie(cherche));
        return it == sousCles.end() ? nullptr : it->second;
    }
    void attacher(const std::shared_ptr<Noeud>& e) {
        e->parent = this;
        sousCles[plie(e->nom)] = e;
    }
};

bool nomCleValide(const QByteArray& nom) {
    return !nom.isEmpty() && nom.size() <= kLongueurNomCle && !nom.contains('\0') &&
           !nom.contains('\\');
}

bool nomValeurValide(const QByteArray& nom) {
    return nom.size() <= kLongueurNomValeur && !nom.contains('\0');
}

// The key names of a subkey path, or false for a malformed path.
bool decouper(const QByteArray& chemin, QList<QByteArray>* noms) {
    noms->clear();
    QByteArray c = chemin;
    if (c.endsWith('\\'))
        c.chop(1);
    if (c.isEmpty())
        return !chemin.startsWith('\\'); // "\" alone is malformed
    if (c.size() > kProfondeurMax * (kLongueurNomCle + 1))
        return false;
    *noms = c.split('\\');
    if (noms->size() > kProfondeurMax)
        return false;
    return std::all_of(noms->cbegin(), noms->cend(), nomCleValide);
}

// ---- The store file --------------------------------------------------------------------------

void ecrireContenu(QDataStream& s, const Noeud& n) {
    s << quint32(n.valeurs.size());
    for (const Valeur& v : n.valeurs)
        s << v.nom << quint32(v.type) << v.donnees;
    s << quint32(n.sousCles.size());
    for (const auto& [cle, e] : n.sousCles) {
        s << e->nom;
        ecrireContenu(s, *e);
    }
}

bool lireCompte(QDataStream& s, quint32* n) {
    s >> *n;
    return s.status() == QDataStream::Ok && *n <= s.device()->bytesAvailable();
}

bool lireContenu(QDataStream& s, Noeud& n, int profondeur) {
    quint32 nombre = 0;
    if (!lireCompte(s, &nombre))
        return false;
    for (quint32 i = 0; i < nombre; ++i) {
        Valeur v;
        quint32 type = 0;
        s >> v.nom >> type >> v.donnees;
        v.type = type;
        if (s.status() != QDataStream::Ok || !nomValeurValide(v.nom) ||
            v.donnees.size() > qsizetype(kTailleValeur) || n.indexValeur(v.nom) >= 0)
            return false;
        n.valeurs.push_back(std::move(v));
    }
    if (!lireCompte(s, &nombre) || (nombre > 0 && profondeur >= kProfondeurMax))
        return false;
    for (quint32 i = 0; i < nombre; ++i) {
        auto e = std::make_shared<Noeud>();
        s >> e->nom;
        if (s.status() != QDataStream::Ok || !nomCleValide(e->nom) || n.enfant(e->nom) ||
            !lireContenu(s, *e, profondeur + 1))
            return false;
        n.attacher(e);
    }
    return true;
}

using Racines = std::array<std::shared_ptr<Noeud>, kNombreRacines>;

Racines racinesVides() {
    Racines r;
    for (auto& n : r)
        n = std::make_shared<Noeud>();
    return r;
}

QByteArray serialiser(const Racines& racines) {
    QByteArray corps;
    {
        QDataStream s(&corps, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_0);
        for (const auto& r : racines)
            ecrireContenu(s, *r);
    }
    QByteArray sortie;
    QDataStream s(&sortie, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s.writeRawData(kSignature, sizeof kSignature - 1);
    s << kVersionFormat << quint32(corps.size()) << qChecksum(corps);
    s.writeRawData(corps.constData(), int(corps.size()));
    return sortie;
}

// False for anything but a complete, consistent store of this format.
bool deserialiser(const QByteArray& octets, Racines* racines) {
    const qsizetype entete = sizeof kSignature - 1 + 2 + 4 + 2;
    if (octets.size() < entete || !octets.startsWith(kSignature))
        return false;
    QDataStream t(octets.mid(sizeof kSignature - 1));
    t.setVersion(QDataStream::Qt_6_0);
    quint16 version = 0, somme = 0;
    quint32 longueur = 0;
    t >> version >> longueur >> somme;
    const QByteArray corps = octets.mid(entete);
    if (version != kVersionFormat || longueur != corps.size() || qChecksum(corps) != somme)
        return false;
    QDataStream s(corps);
    s.setVersion(QDataStream::Qt_6_0);
    *racines = racinesVides();
    for (auto& r : *racines)
        if (!lireContenu(s, *r, 0))
            return false;
    return s.status() == QDataStream::Ok && s.atEnd();
}

// The key at the end of a path below `depart`; `manquant` receives the index of the first
// missing name (-1 when the whole path exists).
std::shared_ptr<Noeud> suivreChemin(std::shared_ptr<Noeud> depart, const QList<QByteArray>& noms,
                                    qsizetype* manquant) {
    *manquant = -1;
    for (qsizetype i = 0; i < noms.size(); ++i) {
        std::shared_ptr<Noeud> e = depart->enfant(noms[i]);
        if (!e) {
            *manquant = i;
            return depart;
        }
        depart = std::move(e);
    }
    return depart;
}

// ---- The keys in memory and the open handles -------------------------------------------------

struct Ouverture {
    std::shared_ptr<Noeud> noeud;
    REGSAM droits = 0;
};

// What tells one version of the store file from another: every save renames a new file into
// place, so its inode changes.
struct Empreinte {
    bool existe = false;
    ino_t inode = 0;
    off_t taille = 0;
    qint64 modifie = 0; // nanoseconds
    bool operator==(const Empreinte&) const = default;
};

Empreinte empreinte(const QString& chemin) {
    struct stat st {};
    if (chemin.isEmpty() || ::stat(QFile::encodeName(chemin).constData(), &st) != 0)
        return {};
    return {true, st.st_ino, st.st_size,
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

class Magasin {
  public:
    std::mutex verrou;

    // A change of the store: other programs share its file, so the change is made on the file's
    // latest content, read under a lock held on the file until the change is saved. Without it,
    // a program would save its older copy over another's change.
    class Ecriture {
      public:
        explicit Ecriture(Magasin& m) : verrou_(m.fichier() + QStringLiteral(".verrou")) {
            // A store whose lock cannot be taken (no folder for it) is changed all the same: its
            // save then fails on its own.
            if (!m.fichier().isEmpty() && QDir().mkpath(QFileInfo(verrou_.chemin()).absolutePath()))
                consigner(verrou_.attendre(), QStringLiteral("verrou du registre"));
            m.rafraichir(true);
        }

      private:
        VerrouFichier verrou_;
    };

    void changerFichier(const QString& chemin) {
        fichier_ = chemin;
        charge_ = false;
        ouvertes_.clear();
    }
    QString fichier() {
        if (fichier_.isEmpty()) {
            const QString dossier =
                QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
            if (!dossier.isEmpty())
                fichier_ = dossier + QStringLiteral("/TALMIR_vestimentaire/registre.dat");
        }
        return fichier_;
    }

    // The key behind a handle when it grants `droits`.
    LONG resoudre(HKEY h, REGSAM droits, std::shared_ptr<Noeud>* noeud) {
        rafraichir(false);
        if (h >= HKEY_CLASSES_ROOT && h < HKEY_CLASSES_ROOT + kNombreRacines) {
            *noeud = racines_[h - HKEY_CLASSES_ROOT];
            return ERROR_SUCCESS;
        }
        const auto it = ouvertes_.find(h);
        if (it == ouvertes_.end())
            return ERROR_INVALID_HANDLE;
        if (it->second.noeud->supprime)
            return ERROR_KEY_DELETED;
        if ((it->second.droits & droits) != droits)
            return ERROR_ACCESS_DENIED;
        *noeud = it->second.noeud;
        return ERROR_SUCCESS;
    }
    bool estRacine(HKEY h) const {
        return h >= HKEY_CLASSES_ROOT && h < HKEY_CLASSES_ROOT + kNombreRacines;
    }

    HKEY ouvrir(const std::shared_ptr<Noeud>& noeud, REGSAM droits) {
        while (prochain_ == 0 || prochain_ >= HKEY_CLASSES_ROOT || ouvertes_.count(prochain_))
            prochain_ = prochain_ >= HKEY_CLASSES_ROOT ? 1 : prochain_ + 1;
        const HKEY h = prochain_++;
        ouvertes_[h] = {noeud, droits};
        return h;
    }
    bool fermer(HKEY h) { return ouvertes_.erase(h) > 0; }
    int nombreOuvertes() const { return int(ouvertes_.size()); }

    // Saves the store after a change; when it cannot be saved the change is undone.
    LONG valider(const std::function<void()>& annuler) {
        if (sauver())
            return ERROR_SUCCESS;
        annuler();
        return ERROR_REGISTRY_IO_FAILED;
    }

  private:
    enum class Etat { Absent, Lu, Illisible, Interdit };

    // Reads the file on first use, and again when another program has saved it since (always,
    // before a change). Open handles follow their keys into the content read; a handle whose
    // key is no longer there answers ERROR_KEY_DELETED.
    void rafraichir(bool avantChangement) {
        if (!charge_) {
            charge_ = true;
            racines_ = racinesVides();
            etat_ = lireFichier(&racines_);
            empreinte_ = empreinte(fichier());
            return;
        }
        const Empreinte actuelle = empreinte(fichier());
        if (actuelle == empreinte_ && !(avantChangement && etat_ == Etat::Interdit))
            return;
        Racines lues = racinesVides();
        const Etat etat = actuelle.existe ? lireFichier(&lues) : Etat::Absent;
        // A file that cannot be read now keeps what was known of it; it is never written over.
        if (etat == Etat::Interdit) {
            etat_ = etat;
            return;
        }
        suivreLesCles(lues);
        racines_ = lues;
        etat_ = etat;
        empreinte_ = actuelle;
    }

    // The open handles moved to the same keys of a content read anew.
    void suivreLesCles(const Racines& lues) {
        for (auto& [h, o] : ouvertes_) {
            QList<QByteArray> noms;
            const Noeud* n = o.noeud.get();
            for (; n->parent; n = n->parent)
                noms.prepend(n->nom);
            const auto racine = std::find_if(racines_.begin(), racines_.end(),
                                             [n](const auto& r) { return r.get() == n; });
            std::shared_ptr<Noeud> cible;
            if (!o.noeud->supprime && racine != racines_.end()) {
                qsizetype manquant = -1;
                cible = suivreChemin(lues[racine - racines_.begin()], noms, &manquant);
                if (manquant >= 0)
                    cible.reset();
            }
            if (!cible) {
                cible = std::make_shared<Noeud>();
                cible->supprime = true;
            }
            o.noeud = cible;
        }
    }
    Etat lireFichier(Racines* racines) {
        const QString chemin = fichier();
        if (chemin.isEmpty())
            return Etat::Interdit;
        QFile f(chemin);
        if (!f.exists())
            return Etat::Absent;
        if (!f.open(QIODevice::ReadOnly))
            return Etat::Interdit; // kept as it is: never written over unseen
        if (f.size() > kTailleFichierMax)
            return Etat::Illisible;
        const QByteArray octets = f.readAll();
        if (f.error() != QFileDevice::NoError)
            return Etat::Interdit;
        Racines lues;
        if (!deserialiser(octets, &lues))
            return Etat::Illisible;
        *racines = lues;
        return Etat::Lu;
    }
    bool sauver() {
        if (etat_ == Etat::Interdit)
            return false;
        const QString chemin = fichier();
        if (!QDir().mkpath(QFileInfo(chemin).absolutePath()))
            return false;
        if (etat_ == Etat::Illisible) {
            // An unreadable store is set aside rather than lost.
            const QString cote = chemin + QStringLiteral(".illisible");
            QFile::remove(cote);
            if (!QFile::rename(chemin, cote))
                return false;
        }
        if (!ecrireFichierSur(chemin, serialiser(racines_)))
            return false;
        etat_ = Etat::Lu;
        empreinte_ = empreinte(chemin);
        return true;
    }

    QString fichier_;
    bool charge_ = false;
    Etat etat_ = Etat::Absent;
    Racines racines_;
    Empreinte empreinte_;
    std::map<HKEY, Ouverture> ouvertes_;
    HKEY prochain_ = 1;
};

Magasin& magasin() {
    static Magasin m;
    return m;
}

// The existing key that a handle and a subkey path name.
LONG cleExistante(HKEY cle, const QByteArray& sousCle, std::shared_ptr<Noeud>* noeud) {
    std::shared_ptr<Noeud> depart;
    if (const LONG r = magasin().resoudre(cle, 0, &depart))
        return r;
    QList<QByteArray> noms;
    if (!decouper(sousCle, &noms))
        return ERROR_INVALID_PARAMETER;
    qsizetype manquant = -1;
    *noeud = suivreChemin(depart, noms, &manquant);
    return manquant >= 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

// The handle's key, when it grants `droits`, and the index of its value `nom` (-1 with
// ERROR_FILE_NOT_FOUND when there is none).
LONG valeurExistante(HKEY cle, REGSAM droits, const QByteArray& nom, std::shared_ptr<Noeud>* noeud,
                     qsizetype* index) {
    if (const LONG r = magasin().resoudre(cle, droits, noeud))
        return r;
    if (!nomValeurValide(nom))
        return ERROR_INVALID_PARAMETER;
    *index = (*noeud)->indexValeur(nom);
    return *index < 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

// Copies a value's data into the caller's buffer as the query calls do.
LONG donner(const Valeur& v, DWORD* type, BYTE* donnees, DWORD* taille) {
    if (type)
        *type = v.type;
    const auto besoin = DWORD(v.donnees.size());
    if (donnees) {
        const DWORD place = *taille;
        *taille = besoin;
        if (place < besoin)
            return ERROR_MORE_DATA;
        if (besoin > 0)
            std::memcpy(donnees, v.donnees.constData(), besoin);
    } else if (taille) {
        *taille = besoin;
    }
    return ERROR_SUCCESS;
}

} // namespace

LONG RegOpenKeyExA(HKEY cle, const QByteArray& sousCle, DWORD, REGSAM droits, HKEY* resultat) {
    if (!resultat)
        return ERROR_INVALID_PARAMETER;
    *resultat = 0;
    std::lock_guard garde(magasin().verrou);
    std::shared_ptr<Noeud> noeud;
    if (const LONG r = cleExistante(cle, sousCle, &noeud))
        return r;
    *resultat = magasin().ouvrir(noeud, droits);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY cle, const QByteArray& sousCle, DWORD reserve, const QByteArray&, DWORD,
                     REGSAM droits, const SECURITY_ATTRIBUTES*, HKEY* resultat,
                     DWORD* disposition) {
    if (!resultat || reserve != 0)
        return ERROR_INVALID_PARAMETER;
    *resultat = 0;
    std::lock_guard garde(magasin().verrou);
    Magasin::Ecriture ecriture(magasin());
    Magasin& m = magasin();
    std::shared_ptr<Noeud> depart;
    if (const LONG r = m.resoudre(cle, 0, &depart))
        return r;
    QList<QByteArray> noms;
    if (!decouper(sousCle, &noms) || depart->profondeur() + noms.size() > kProfondeurMax)
        return ERROR_INVALID_PARAMETER;
    qsizetype manquant = -1;
    std::shared_ptr<Noeud> noeud = suivreChemin(depart, noms, &manquant);
    DWORD comment = REG_OPENED_EXISTING_KEY;
    if (manquant >= 0) {
        std::shared_ptr<Noeud> verif;
        if (m.resoudre(cle, KEY_CREATE_SUB_KEY, &verif))
            return ERROR_ACCESS_DENIED;
        Noeud* parent = noeud.get();
        std::shared_ptr<Noeud> premier;
        for (qsizetype i = manquant; i < noms.size(); ++i) {
            auto e = std::make_shared<Noeud>();
            e->nom = noms[i];
            noeud->attacher(e);
            if (!premier)
                premier = e;
            noeud = e;
        }
        if (const LONG r = m.valider([&] { parent->sousCles.erase(plie(premier->nom)); }))
            return r;
        comment = REG_CREATED_NEW_KEY;
    }
    *resultat = m.ouvrir(noeud, droits);
    if (disposition)
        *disposition = comment;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY cle) {
    std::lock_guard garde(magasin().verrou);
    if (magasin().estRacine(cle))
        return ERROR_SUCCESS;
    return magasin().fermer(cle) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY cle, const QByteArray& nom, DWORD* reserve, DWORD* type, BYTE* donnees,
                      DWORD* taille) {
    if (reserve || (donnees && !taille))
        return ERROR_INVALID_PARAMETER;
    std::lock_guard garde(magasin().verrou);
    std::shared_ptr<Noeud> noeud;
    qsizetype i = -1;
    if (const LONG r = valeurExistante(cle, KEY_QUERY_VALUE, nom, &noeud, &i))
        return r;
    return donner(noeud->valeurs[i], type, donnees, taille);
}

LONG RegSetValueExA(HKEY cle, const QByteArray& nom, DWORD reserve, DWORD type, const BYTE* donnees,
                    DWORD taille) {
    if (reserve != 0 || (taille > 0 && !donnees) || taille > kTailleValeur)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard garde(magasin().verrou);
    Magasin::Ecriture ecriture(magasin());
    std::shared_ptr<Noeud> noeud;
    qsizetype i = -1;
    const LONG r = valeurExistante(cle, KEY_SET_VALUE, nom, &noeud, &i);
    if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND)
        return r;
    const QByteArray octets(reinterpret_cast<const char*>(donnees), qsizetype(taille));
    if (i < 0) {
        noeud->valeurs.push_back({nom, type, octets});
        return magasin().valider([&] { noeud->valeurs.pop_back(); });
    }
    const Valeur avant = noeud->valeurs[i];
    noeud->valeurs[i].type = type;
    noeud->valeurs[i].donnees = octets;
    return magasin().valider([&] { noeud->valeurs[i] = avant; });
}

LONG RegEnumValueA(HKEY cle, DWORD index, char* nom, DWORD* capaciteNom, DWORD* reserve,
                   DWORD* type, BYTE* donnees, DWORD* taille) {
    if (!nom || !capaciteNom || reserve || (donnees && !taille))
        return ERROR_INVALID_PARAMETER;
    std::lock_guard garde(magasin().verrou);
    std::shared_ptr<Noeud> noeud;
    if (const LONG r = magasin().resoudre(cle, KEY_QUERY_VALUE, &noeud))
        return r;
    if (index >= noeud->valeurs.size())
        return ERROR_NO_MORE_ITEMS;
    const Valeur& v = noeud->valeurs[index];
    if (DWORD(v.nom.size()) >= *capaciteNom)
        return ERROR_MORE_DATA;
    std::memcpy(nom, v.nom.constData(), v.nom.size());
    nom[v.nom.size()] = '\0';
    *capaciteNom = DWORD(v.nom.size());
    return donner(v, type, donnees, taille);
}

LONG RegEnumKeyA(HKEY cle, DWORD index, char* nom, DWORD capacite) {
    if (!nom)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard garde(magasin().verrou);
    std::shared_ptr<Noeud> noeud;
    if (const LONG r = magasin().resoudre(cle, KEY_ENUMERATE_SUB_KEYS, &noeud))
        return r;
    if (index >= noeud->sousCles.size())
        return ERROR_NO_MORE_ITEMS;
    const QByteArray& n = std::next(noeud->sousCles.begin(), index)->second->nom;
    if (DWORD(n.size()) >= capacite)
        return ERROR_MORE_DATA;
    std::memcpy(nom, n.constData(), n.size());
    nom[n.size()] = '\0';
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY cle, const QByteArray& sousCle) {
    std::lock_guard garde(magasin().verrou);
    Magasin::Ecriture ecriture(magasin());
    std::shared_ptr<Noeud> cible;
    if (const LONG r = cleExistante(cle, sousCle, &cible))
        return r;
    if (!cible->parent || !cible->sousCles.empty())
        return ERROR_ACCESS_DENIED;
    Noeud* parent = cible->parent;
    parent->sousCles.erase(plie(cible->nom));
    cible->supprime = true;
    return magasin().valider([&] {
        cible->supprime = false;
        parent->attacher(cible);
    });
}

LONG RegDeleteValueA(HKEY cle, const QByteArray& nom) {
    std::lock_guard garde(magasin().verrou);
    Magasin::Ecriture ecriture(magasin());
    std::shared_ptr<Noeud> noeud;
    qsizetype i = -1;
    if (const LONG r = valeurExistante(cle, KEY_SET_VALUE, nom, &noeud, &i))
        return r;
    const Valeur avant = noeud->valeurs[i];
    noeud->valeurs.erase(noeud->valeurs.begin() + i);
    return magasin().valider([&] { noeud->valeurs.insert(noeud->valeurs.begin() + i, avant); });
}

QString fichierRegistre() {
    std::lock_guard garde(magasin().verrou);
    return magasin().fichier();
}

void utiliserFichierRegistre(const QString& chemin) {
    std::lock_guard garde(magasin().verrou);
    magasin().changerFichier(chemin);
}

int clesOuvertes() {
    std::lock_guard garde(magasin().verrou);
    return magasin().nombreOuvertes();
}

} // namespace winreg
