// The part of start-up that the shop's size makes long: the shop database opened (its schema
// version read, as at each start) and every article in stock loaded into the list of the
// article form, on a copy of the large shop (TALMIR_BENCH_BASE, default /tmp/grande.db, made by
// `creer_base --articles 100000 --lignes 1000000`). Once per process, as a start does it
// (the first list of a process costs more than the next ones); bench/demarrage.sh runs it as
// many times as the program and sets the two medians side by side.
#include "banc.h"
#include "catalogue/ui/gencodestab.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "frame/services.h"
#include "frame/ui/intro.h"
#include "platform/horloge.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>

static void ouvertureEtListe(benchmark::State& etat) {
    QTemporaryDir dossier;
    const Installation inst{dossier.path(), QStringLiteral("TALMIR_vestimentaire")};
    QString erreur;
    const QString source = banc::baseSource(dossier.path(), QStringLiteral("/tmp/grande.db"),
                                            100000, 1000000, banc::SiAbsente::Refuser, &erreur);
    Database preparee;
    if (source.isEmpty() || !banc::ouvrirCopie(source, inst, preparee, &erreur)) {
        etat.SkipWithError(qPrintable(erreur));
        return;
    }
    preparee.fermer();
    banc::DialoguesMuets dialogues;
    banc::SansImprimante imprimantes;
    banc::SansLanceur lanceur;
    Horloge horloge;
    Intro intro;
    banc::SansFin fin;
    for (auto _ : etat) {
        Database bdd;
        Services services{inst,    bdd,   dialogues, imprimantes, lanceur,
                          horloge, intro, fin,       banc::cle()};
        GenCodesTab genCodes(services);
        const auto debut = std::chrono::steady_clock::now();
        const bool ouverte = bdd.ouvrir(inst.baseParDefaut()) && versionschema::lire(bdd);
        if (!ouverte || !genCodes.chargerArticles())
            etat.SkipWithError("la base ou ses articles ne peuvent pas être lus");
        etat.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count());
        etat.counters["articles"] =
            genCodes.findChild<QListWidget*>(QStringLiteral("ListeDesArrivees"))->count();
    }
}
BENCHMARK(ouvertureEtListe)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    banc::horsEcranParDefaut();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
