#pragma once

// What the benchmarks share: doubles that answer nothing and print nothing, so that a run never
// waits for an operator, and the large shop they run on.
#include "database/creation.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "fiscal/clefiscale.h"
#include "frame/dialogues.h"
#include "frame/navigation.h"
#include "frame/progression.h"
#include "frame/services.h"
#include "platform/lanceur.h"
#include "printing/serviceimpression.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <optional>

namespace banc {

// Boxes nobody answers: a message gets its default button, or `auxQuestions` for a yes/no
// question when that is given; an input box gets its default text. Counts the messages.
class DialoguesMuets : public Dialogues {
  public:
    explicit DialoguesMuets(std::optional<Reponse> auxQuestions = std::nullopt)
        : auxQuestions_(auxQuestions) {}
    Reponse message(const QString&, const QString&, Boutons boutons, Icone,
                    Reponse parDefaut) override {
        ++messages;
        return boutons == Boutons::OuiNon ? auxQuestions_.value_or(parDefaut) : parDefaut;
    }
    std::optional<QString> saisie(const QString&, const QString&, const QString& defaut,
                                  const Verification&) override {
        return defaut;
    }
    int messages = 0;

  private:
    std::optional<Reponse> auxQuestions_;
};

// A machine without any printer.
class SansImprimante : public ServiceImpression {
  public:
    QStringList imprimantes() const override { return {}; }
    QString imprimanteParDefaut() const override { return {}; }
    void SelectPrinter(const QString&) override {}
    QString imprimanteCourante() const override { return {}; }
    std::unique_ptr<TravailImpression> commencer(FormatPapier) override { return nullptr; }
};

// No other program is started.
class SansLanceur : public Lanceur {
  public:
    Resultat<> ouvrir(const QString&, Role, SiEchec) override {
        return echec(QStringLiteral("aucun programme n'est démarré"));
    }
};

// No other tab is shown.
class SansNavigation : public Navigation {
  public:
    void ouvrirFicheArticle(const QString&) override {}
};

// The program is not ended.
class SansFin : public FinProgramme {
  public:
    void terminer() override {}
};

// No progress window.
class SansProgression : public Progression {
  public:
    void montrer() override {}
    void progresser(qint64, qint64) override {}
    void fermer() override {}
};

// What to do when the shop named for the run does not exist.
enum class SiAbsente { Creer, Refuser };

// The database file of the shop to run on: the one named by TALMIR_BENCH_BASE, else
// `parDefaut`. When that file does not exist, a shop of `articles` articles and about `lignes`
// ticket lines is made as "grande.db" in `dossier` (Creer), or the reason is given with the
// command that makes one (Refuser). Empty on failure.
inline QString baseSource(const QString& dossier, const QString& parDefaut, int articles,
                          int lignes, SiAbsente siAbsente, QString* erreur = nullptr) {
    const QString source = qEnvironmentVariable("TALMIR_BENCH_BASE", parDefaut);
    if (!source.isEmpty() && QFileInfo::exists(source))
        return source;
    if (siAbsente == SiAbsente::Refuser) {
        if (erreur)
            *erreur = QStringLiteral("%1 introuvable (creer_base --articles %2 --lignes %3 %1)")
                          .arg(source)
                          .arg(articles)
                          .arg(lignes);
        return {};
    }
    const QString creee = QDir(dossier).filePath(QStringLiteral("grande.db"));
    Resultat<> cree = creation::creerBase(creee);
    if (cree)
        cree = creation::remplirGrande(creee, articles, lignes);
    if (!cree) {
        if (erreur)
            *erreur = cree.raison();
        return {};
    }
    return creee;
}

// The shop `source` copied as the database of the program folder `inst`, and opened there, so
// that the runs never change the original.
inline bool ouvrirCopie(const QString& source, const Installation& inst, Database& bdd,
                        QString* erreur = nullptr) {
    Resultat<> r = Database::copierFichier(source, inst.baseParDefaut());
    if (r)
        r = bdd.ouvrir(inst.baseParDefaut());
    // As the program's start-up does: a shop made by an older program gets today's tables.
    if (r)
        r = versionschema::mettreANiveau(bdd);
    if (!r && erreur)
        *erreur = r.raison();
    return r.ok();
}

// A signing key made in memory once per bench program.
inline CleFiscale& cle() {
    static CleFiscale c = [] {
        Resultat<CleFiscale> r = CleFiscale::nouvelle();
        return r ? *r : CleFiscale();
    }();
    return c;
}

// The code of one of the large shop's 100,000 articles, spread over them as `i` grows.
inline QString codeArticle(qint64 i) {
    return QStringLiteral("ART%1").arg(1 + (i * 7919) % 100000, 6, 10, QLatin1Char('0'));
}

// The windows are drawn off screen unless QT_QPA_PLATFORM says otherwise.
inline void horsEcranParDefaut() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace banc
