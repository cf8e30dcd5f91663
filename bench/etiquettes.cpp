// Label sheets: 1,000 labels (28 sheets) printed to PDF through "Imprimante PDF", and the
// preview of a full sheet drawn on the window's page. Run with QT_QPA_PLATFORM=offscreen.
#include "banc.h"
#include "database/creation.h"
#include "database/database.h"
#include "frame/services.h"
#include "labels/tirageetiquettes.h"
#include "platform/horloge.h"
#include "printing/image.h"
#include "printing/systeme/imprimantessysteme.h"
#include "printing/ui/picturebox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
// A shop folder with its background picture and `articles` articles of `copies` labels each.
struct Boutique {
    QTemporaryDir dir;
    Installation inst{dir.path(), QStringLiteral("TALMIR_vestimentaire")};
    Database bdd;
    // Every question answered No, so that the counts stay for the next iteration.
    banc::DialoguesMuets dialogues{Dialogues::Reponse::Non};
    ImprimantesSysteme imprimantes{dir.path()};
    banc::SansLanceur lanceur;
    Horloge horloge;
    banc::SansProgression progression;
    banc::SansFin fin;
    Services services{inst,    bdd,         dialogues, imprimantes, lanceur,
                      horloge, progression, fin,       banc::cle()};

    bool preparer(int articles, int copies) {
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/fondetiquette.wmf"),
                    inst.chemin(QStringLiteral("fondetiquette.wmf")));
        if (!creation::creerBase(inst.baseParDefaut()) || !bdd.ouvrir(inst.baseParDefaut()))
            return false;
        Transaction t(bdd);
        QSqlQuery q(bdd.connexion());
        for (int n = 1; n <= articles; ++n)
            if (!executer(q,
                          QStringLiteral("insert into ARTICLES (CodeArticle, libelle, taille, "
                                         "PrixVenteTTC, nbraimprimer) values (?, ?, ?, ?, ?)"),
                          {QStringLiteral("ART%1").arg(n, 6, 10, QLatin1Char('0')),
                           QStringLiteral("Chemise à carreaux"), QStringLiteral("42"), 49.9,
                           copies}))
                return false;
        return t.valider().ok();
    }
};
} // namespace

static void milleEtiquettesEnPdf(benchmark::State& etat) {
    Boutique b;
    if (!b.preparer(100, 10)) {
        etat.SkipWithError("boutique impossible");
        return;
    }
    Image images;
    for (auto _ : etat) {
        const BilanTirage bilan = TirageEtiquettes(b.services).imprimer(b.imprimantes, images);
        if (bilan.feuilles != 28 || bilan.etiquettes != 1000)
            etat.SkipWithError("feuilles manquantes");
    }
    etat.counters["feuilles"] = 28;
    etat.counters["pdf"] = double(QDir(b.inst.chemin(QStringLiteral("Impressions")))
                                      .entryList({QStringLiteral("*.pdf")}, QDir::Files)
                                      .size());
}
BENCHMARK(milleEtiquettesEnPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

static void apercuDUneFeuillePleine(benchmark::State& etat) {
    Boutique b;
    if (!b.preparer(12, 3)) {
        etat.SkipWithError("boutique impossible");
        return;
    }
    PictureBox fond;
    fond.placer(0, 0, 210, 297, Surface::Echelle::Millimetres);
    Image images;
    for (auto _ : etat) {
        // The run on the page, then the page drawn as the window shows it.
        if (TirageEtiquettes(b.services).imprimer(fond.surface(), images).etiquettes != 36)
            etat.SkipWithError("feuille incomplète");
        benchmark::DoNotOptimize(fond.grab());
    }
}
BENCHMARK(apercuDUneFeuillePleine)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
