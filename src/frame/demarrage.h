#pragma once

#include "common/resultat.h"
#include "settings/reglage.h"

#include <QString>
#include <functional>
#include <memory>
#include <thread>

class Database;
class VerrouFichier;
struct Installation;

// The steps of start-up that touch the shop's files: the lock that keeps a second till off the
// database, the rotating backup copy and the opening of the database. The main window runs them
// in their order and decides what each failure means.
class Demarrage {
  public:
    Demarrage(const Installation& installation, Database& bdd);
    ~Demarrage();
    Demarrage(const Demarrage&) = delete;
    Demarrage& operator=(const Demarrage&) = delete;

    // The setting "Base de donnees": the shop database's path, by default the database file
    // beside the program, or the address of a shop on a PostgreSQL server (postgresql://...).
    static Reglage reglageBase(const Installation& installation);
    // The settings of the rotating backup: the last slot written and the highest slot.
    static Reglage reglageNumeroSauvegarde();
    static Reglage reglageNombreSauvegardes();
    static QString dossierSauvegardes() { return QStringLiteral("Sauvegardes"); }

    // Whether the database the settings name exists, reading the settings without writing
    // them: a start on a folder without a shop stops before it makes any file there. The
    // reason names the file and tells how to create a shop.
    Resultat<> verifierBase() const;

    // Takes the database's lock for as long as this object lives (none for a shop on a server,
    // which several tills share). Fails, writing nothing, when
    // another program holds it: two tills on one database would share one current ticket. The
    // lock is held on the file "<database>.verrou", which the system releases when the program
    // ends, however it ends: a file left behind never blocks a start.
    Resultat<> verrouiller();

    // The next slot of the rotating backup copy: the slot after the last one written, back to 0
    // after the highest.
    int emplacementSuivant() const;
    // Copies the database the settings name (the one the shop works in) into the slot's file of
    // "Sauvegardes" (a server's, through its own pg_dump), checks the copy, and stores the slot,
    // which advances even when the copy failed.
    Resultat<> sauvegardeTournante();
    // The same on a thread of its own while the till works (the slot stored at once): the copy
    // is SQLite's online backup on a connection of its own, one consistent state of the
    // database whatever the till writes meanwhile. `fin` gets the outcome, on that thread.
    // Nothing when this start made its copy already (before an upgrade of the schema).
    void sauvegarderEnFond(std::function<void(const Resultat<>&)> fin);
    // Waits for the copy under way, if any: the program ends only once it is written.
    void attendreSauvegarde();

    // Opens the database the settings name (the default is stored on first start), brought to
    // this program's schema.
    Resultat<> ouvrirBase();
    // The schema version the database had when opened, before its upgrade (-1: unknown).
    int versionAvant() const { return versionAvant_; }

  private:
    const Installation& installation_;
    Database& bdd_;
    Reglages reglages_;
    // The slot's file for a copy of `base`, the slot stored.
    QString prochaineSauvegarde(const QString& base);
    static Resultat<> sauvegarder(const QString& base, const QString& copie);

    std::unique_ptr<VerrouFichier> verrou_;
    int versionAvant_ = -1;
    bool sauvegardee_ = false; // this start's copy is made or under way
    std::thread fond_;
};
