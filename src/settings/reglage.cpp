#include "settings/reglage.h"

#include "settings/ini32.h"

namespace {
// The modes of `parametre`.
constexpr int kEcrire = 0;
constexpr int kLire = 1;
constexpr int kLireOuInitialiser = 2;
} // namespace

QString Reglages::lire(const Reglage& r) const {
    return parametre(r.section, r.cle, r.defaut, fichier_, kLire);
}

QString Reglages::lireOuInitialiser(const Reglage& r) const {
    return parametre(r.section, r.cle, r.defaut, fichier_, kLireOuInitialiser);
}

void Reglages::ecrire(const Reglage& r, const QString& valeur) const {
    parametre(r.section, r.cle, valeur, fichier_, kEcrire);
}
