// The article list, the search, the article form and the inventory count on a large shop
// (100,000 articles). Give the database file in TALMIR_BENCH_BASE (default
// /tmp/grande_cat.db, made by `creer_base --articles 100000 --lignes 1000000`; a shop of
// 100,000 articles is made for the run when it is missing). The runs work on a copy.
#include "banc.h"
#include "catalogue/listearticles.h"
#include "catalogue/ui/gencodestab.h"
#include "database/database.h"
#include "frame/services.h"
#include "frame/ui/intro.h"
#include "platform/horloge.h"
#include "stock/ui/inventairetab.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
// The large shop in a temporary program folder, with the real splash as progress window.
struct Boutique {
    QTemporaryDir dossier;
    Database bdd;
    banc::DialoguesMuets dialogues;
    banc::SansImprimante imprimantes;
    banc::SansLanceur lanceur;
    Horloge horloge;
    Intro intro;
    banc::SansFin fin;
    banc::SansNavigation navigation;
    std::unique_ptr<Services> services;
    std::unique_ptr<GenCodesTab> genCodes;
    std::unique_ptr<InventaireTab> inventaire;
    QString erreur;

    Boutique() {
        const Installation inst{dossier.path(), QStringLiteral("TALMIR_vestimentaire")};
        const QString source =
            banc::baseSource(dossier.path(), QStringLiteral("/tmp/grande_cat.db"), 100000, 0,
                             banc::SiAbsente::Creer, &erreur);
        if (source.isEmpty() || !banc::ouvrirCopie(source, inst, bdd, &erreur))
            return;
        services = std::make_unique<Services>(
            Services{inst, bdd, dialogues, imprimantes, lanceur, horloge, intro, fin, banc::cle()});
        genCodes = std::make_unique<GenCodesTab>(*services);
        inventaire = std::make_unique<InventaireTab>(*services, navigation);
        QObject::connect(genCodes.get(), &GenCodesTab::articleEnregistre, inventaire.get(),
                         &InventaireTab::montrerArticle);
    }
    bool prete(benchmark::State& etat) const {
        if (!genCodes)
            etat.SkipWithError(qPrintable(QStringLiteral("boutique : ") + erreur));
        return genCodes != nullptr;
    }
    template <typename T> T* w(QWidget* onglet, const char* nom) {
        return onglet->findChild<T*>(QLatin1String(nom));
    }
};

std::unique_ptr<Boutique> laBoutique;

Boutique& boutique() {
    if (!laBoutique)
        laBoutique = std::make_unique<Boutique>();
    return *laBoutique;
}
} // namespace

// Start-up step: every article in stock into the list, with the splash's progress bar.
static void chargementDeLaListe(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    auto* liste = b.w<QListWidget>(b.genCodes.get(), "ListeDesArrivees");
    for (auto _ : etat) {
        etat.PauseTiming();
        liste->clear();
        etat.ResumeTiming();
        if (!b.genCodes->chargerArticles())
            etat.SkipWithError("ARTICLES illisible");
    }
    etat.counters["articles"] = liste->count();
    etat.counters["repeintures"] = b.intro.repeintures();
}
BENCHMARK(chargementDeLaListe)->Unit(benchmark::kMillisecond);

// The search by description: the query alone, then the button with the list filled.
static void rechercheSeule(benchmark::State& etat, const char* texte) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    qint64 trouves = 0;
    for (auto _ : etat)
        if (auto r = listearticles::rechercher(b.bdd, QString::fromUtf8(texte)))
            trouves = r->trouves;
    etat.counters["trouves"] = trouves;
}
BENCHMARK_CAPTURE(rechercheSeule, robe, "robe d'été")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rechercheSeule, pull_au_seuil, "pull")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rechercheSeule, joker, "j*n?sl")->Unit(benchmark::kMillisecond);

static void boutonRech(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    auto* liste = b.w<QListWidget>(b.genCodes.get(), "ListeDesArrivees");
    b.w<QLineEdit>(b.genCodes.get(), "recherche")->setText(QStringLiteral("robe d'été"));
    for (auto _ : etat)
        b.genCodes->gorecherche_Click();
    etat.counters["listes"] = liste->count();
}
BENCHMARK(boutonRech)->Unit(benchmark::kMillisecond);

// Loading one article into the form, by its code and by a list selection.
static void chargementParCode(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    qint64 i = 0;
    for (auto _ : etat)
        b.genCodes->ouvrirParCode(banc::codeArticle(i++));
}
BENCHMARK(chargementParCode)->Unit(benchmark::kMicrosecond);

static void chargementParListe(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    auto* liste = b.w<QListWidget>(b.genCodes.get(), "ListeDesArrivees");
    if (liste->count() == 0)
        b.genCodes->chargerArticles();
    qint64 i = 0;
    for (auto _ : etat)
        liste->setCurrentRow(int((i++ * 7919) % liste->count()));
}
BENCHMARK(chargementParListe)->Unit(benchmark::kMicrosecond);

// One inventory count: lookup, journal line, stock update (a committed write) and captions.
static void comptage(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    auto* saisie = b.w<QLineEdit>(b.inventaire.get(), "InventaireCodeArticle");
    qint64 i = 0;
    for (auto _ : etat) {
        saisie->setText(banc::codeArticle(i++));
        b.inventaire->InventaireCodeArticle_KeyPress(13);
    }
}
BENCHMARK(comptage)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    banc::horsEcranParDefaut();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    laBoutique.reset(); // the windows go before the application
    return 0;
}
