// The consistent copy of the shop database that start-up takes before opening it (the rotating
// backup) and that the annual closure makes. Give the database file in TALMIR_BENCH_BASE
// (default: a demo shop made for the run).
#include "database/creation.h"
#include "database/database.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

static void copieDeLaBase(benchmark::State& etat) {
    QTemporaryDir dir;
    QString base = qEnvironmentVariable("TALMIR_BENCH_BASE");
    if (base.isEmpty()) {
        base = dir.filePath("demo.db");
        if (!creation::creerBase(base) || !creation::remplirDemo(base)) {
            etat.SkipWithError("boutique de démonstration impossible");
            return;
        }
    }
    for (auto _ : etat) {
        if (!Database::copierFichier(base, dir.filePath("copie.db")))
            etat.SkipWithError("copie impossible");
    }
}
BENCHMARK(copieDeLaBase)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
