#pragma once

// Doubles and fixtures shared by the tests: scripted boxes, a printer that keeps every page,
// a recording launcher, a fixed clock, and a temporary shop folder with a fresh database.

#include "database/database.h"
#include "fiscal/clefiscale.h"
#include "frame/dialogues.h"
#include "frame/installation.h"
#include "frame/navigation.h"
#include "frame/progression.h"
#include "frame/services.h"
#include "platform/horloge.h"
#include "platform/lanceur.h"
#include "printing/serviceimpression.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

// Answers the boxes from a script and records every box shown.
class DialoguesScript : public Dialogues {
  public:
    struct Boite {
        QString texte;
        QString titre;
        Boutons boutons;
        Icone icone;
        Reponse parDefaut;
        bool saisie = false;
        QString defaut;
        QStringList refus; // the reasons the box gave for the answers it refused
    };
    Reponse message(const QString& texte, const QString& titre, Boutons boutons, Icone icone,
                    Reponse parDefaut) override;
    std::optional<QString> saisie(const QString& invite, const QString& titre,
                                  const QString& defaut, const Verification& verification) override;

    // Answers taken in order; when none is left, a message box gets its default button and
    // an input box is accepted with its default text. An answer the input box refuses is
    // recorded with its reason, and the box takes the next answer (it is cancelled when none
    // is left).
    QList<Reponse> reponses;
    QList<std::optional<QString>> saisies;
    QList<Boite> boites;
    // Called with each box as it is shown, to look at the program at that moment.
    std::function<void(const Boite&)> aLAffichage;
    QStringList textes() const;
};

// A printer double: named printers, the current one, and every finished job's surface.
class ImprimantesTest : public ServiceImpression {
  public:
    explicit ImprimantesTest(QStringList noms = {QStringLiteral("Imprimante PDF")});
    QStringList imprimantes() const override { return noms_; }
    QString imprimanteParDefaut() const override { return noms_.value(0); }
    void SelectPrinter(const QString& nom) override;
    QString imprimanteCourante() const override { return courante_; }
    std::unique_ptr<TravailImpression> commencer(FormatPapier format) override;

    struct Travail {
        QString imprimante;
        FormatPapier format;
        std::shared_ptr<Surface> surface;
        bool termine = false;
    };
    QList<Travail> travaux;
    // When set, every EndDoc fails as a printer that has gone away.
    bool enPanne = false;

  private:
    QStringList noms_;
    QString courante_;
};

class LanceurTest : public Lanceur {
  public:
    Resultat<> ouvrir(const QString& fichier, Role role, SiEchec siEchec) override;
    QList<QPair<QString, Role>> ouverts;
    bool echoue = false;
    // What the opener says once it has run, for each file opened (empty: nothing).
    QList<SiEchec> echecsPlusTard;
};

class HorlogeFixe : public Horloge {
  public:
    explicit HorlogeFixe(QDateTime t = QDateTime(QDate(2024, 3, 5), QTime(9, 1, 22)))
        : t_(std::move(t)) {}
    QDateTime maintenant() const override { return t_; }
    void regler(const QDateTime& t) { t_ = t; }

  private:
    QDateTime t_;
};

class ProgressionTest : public Progression {
  public:
    void montrer() override {
        ++montree;
        visible = true;
    }
    void progresser(qint64 fait, qint64 total) override { dernier = {fait, total}; }
    void fermer() override { visible = false; }
    int montree = 0;
    bool visible = false;
    QPair<qint64, qint64> dernier;
};

// Records the articles another tab was asked to show.
class NavigationTest : public Navigation {
  public:
    void ouvrirFicheArticle(const QString& code) override { fichesOuvertes << code; }
    QStringList fichesOuvertes;
};

class FinTest : public FinProgramme {
  public:
    void terminer() override { ++appels; }
    int appels = 0;
};

// A fixture's set-up step that must succeed: otherwise the test stops there as failed
// (QtTest reports the fatal message against the running test function), so that a test never
// passes on a shop it did not get.
void exiger(bool fait, const char* quoi, const QString& raison = {});
template <typename T> void exiger(const Resultat<T>& r, const char* quoi) {
    exiger(r.ok(), quoi, r.ok() ? QString() : r.raison());
}

// A P-256 key made once per test program, never written.
CleFiscale cleDeTest();

// A shop installation in a temporary folder: "TALMIR_vestimentaire" with its own database
// (empty, or filled with the demo shop), and every double wired into Services. A database that
// cannot be made stops the test as failed. When TALMIR_TEST_SERVEUR names the socket folder of a
// running PostgreSQL cluster (its `postgres` account trusted), the shop's database is made on
// that server instead, one new database per shop: the rule tests then try the server.
class BoutiqueTest {
  public:
    enum class Base { Aucune, Vide, Demo };
    explicit BoutiqueTest(Base base = Base::Vide);

    QString dossier() const { return dir_.path(); }
    QString chemin(const QString& fichier) const { return inst_.chemin(fichier); }
    const Installation& installation() const { return inst_; }
    // Opens the shop database as bdd (the start-up normally does it).
    [[nodiscard]] bool ouvrir();
    // Runs one statement on the shop database (fixtures).
    [[nodiscard]] bool sql(const QString& requete, const QVariantList& valeurs = {});
    QVariant valeur(const QString& requete, const QVariantList& valeurs = {});
    // Whether the shop's database lives on the test server rather than in a file.
    bool surServeur() const { return !adresse_.isEmpty(); }

    // A database fault: the trigger `nom` refuses the statements `quand` names (as "BEFORE
    // UPDATE OF EnStock ON ARTICLES") with `message`, on either engine. reparer() takes it off.
    [[nodiscard]] bool panne(const QString& nom, const QString& quand, const QString& message);
    [[nodiscard]] bool reparer(const QString& nom, const QString& table);
    // Lifts the guards (the BEFORE triggers) of `tables`, as someone tampering with the
    // database behind the program's back would: the rows can then be changed or deleted.
    [[nodiscard]] bool leverGardes(const QStringList& tables = {
                                       QStringLiteral("TICKETS"), QStringLiteral("VENTES"),
                                       QStringLiteral("CLOTURES"), QStringLiteral("EVENEMENTS")});
    QStringList lignesJournal() const;

    // The services wired to this shop's doubles (one object, so tabs can keep a reference).
    Services& services();

    Database bdd;
    DialoguesScript dialogues;
    ImprimantesTest imprimantes;
    LanceurTest lanceur;
    HorlogeFixe horloge;
    ProgressionTest progression;
    FinTest fin;
    NavigationTest navigation;
    // A signing key made in memory (one per test program): the start-up loads the shop's own.
    CleFiscale cle = cleDeTest();

  private:
    QTemporaryDir dir_;
    Installation inst_;
    QString adresse_;
    std::unique_ptr<Services> services_;
};
