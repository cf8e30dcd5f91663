// A full A4 sheet of 36 labels drawn on a surface, then shown as the preview (96 dpi image) and
// written as PDF (600 dpi, as "Imprimante PDF" does).
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_surface
#include "printing/surface.h"
#include "banc.h"
#include "printing/code39.h"
#include "printing/image.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {
constexpr double largeurA4 = 210, hauteurA4 = 297;
constexpr double largeurEtiquette = 53, hauteurEtiquette = 30;

double pixels(double mm, double dpi) {
    return mm / 25.4 * dpi;
}

const Image& fond() {
    static const Image image = [] {
        Image i;
        if (Resultat<> r = i.LoadPicture(QCoreApplication::applicationDirPath() +
                                         QStringLiteral("/fondetiquette.wmf"));
            !r)
            qFatal("fond des étiquettes illisible : %s", qPrintable(r.raison()));
        return i;
    }();
    return image;
}

// One label: background, five texts and the bar code.
void etiquette(Surface& s, int numero) {
    const double x0 = largeurEtiquette * (numero % 4), y0 = hauteurEtiquette * (numero / 4);
    const QString code = QStringLiteral("ART%1").arg(numero + 100, 6, 10, QLatin1Char('0'));
    s.PaintPicture(fond(), x0, y0, largeurEtiquette, hauteurEtiquette);
    s.setFontName(QStringLiteral("Arial"));
    s.setFontSize(8);
    s.setCurrentX(x0);
    s.setCurrentY(y0 + 6);
    s.Print(QStringLiteral("XL : Veste en lin lavé"));
    const double module = code39::moduleEnMm(13);
    const double haut = s.CurrentY();
    if (!code39::dessiner(s, code, x0 + code39::modulesParCaractere * module, haut, y0 + 18 - haut,
                          module))
        qFatal("code-barres impossible");
    s.setCurrentX(x0);
    s.setCurrentY(y0 + 18);
    s.Print(QStringLiteral("code : ") + code);
    s.setFontSize(10);
    s.setCurrentX(x0);
    s.setCurrentY(y0 + 21);
    s.Print(QStringLiteral("Prix : 49,90 €"));
    s.setFontSize(6);
    s.setCurrentX(x0 + 36);
    s.setCurrentY(y0 + 25);
    s.PrintSuite(QStringLiteral("Taille XL"));
    s.setCurrentX(x0 + 36);
    s.setCurrentY(y0 + 27);
    s.PrintSuite(QStringLiteral("Bleu"));
}

void feuille(Surface& s) {
    s.Cls();
    s.setScaleMode(Surface::Echelle::Millimetres);
    for (int i = 0; i < 36; ++i)
        etiquette(s, i);
}

void BM_DessinerFeuille(benchmark::State& etat) {
    const double dpi = double(etat.range(0));
    Surface s(pixels(largeurA4, dpi), pixels(hauteurA4, dpi), dpi);
    for (auto _ : etat) {
        feuille(s);
        benchmark::DoNotOptimize(s.textes().size());
    }
}
BENCHMARK(BM_DessinerFeuille)->Arg(96)->Arg(600)->Unit(benchmark::kMillisecond);

void BM_ApercuEcran(benchmark::State& etat) {
    const double dpi = 96;
    Surface s(pixels(largeurA4, dpi), pixels(hauteurA4, dpi), dpi);
    feuille(s);
    QImage page(int(pixels(largeurA4, dpi)), int(pixels(hauteurA4, dpi)),
                QImage::Format_ARGB32_Premultiplied);
    page.setDotsPerMeterX(3780);
    page.setDotsPerMeterY(3780);
    for (auto _ : etat) {
        page.fill(Qt::white);
        QPainter p(&page);
        s.rejouer(p, 0, dpi);
    }
}
BENCHMARK(BM_ApercuEcran)->Unit(benchmark::kMillisecond);

void BM_FeuillePdf(benchmark::State& etat) {
    const double dpi = 600;
    Surface s(pixels(largeurA4, dpi), pixels(hauteurA4, dpi), dpi);
    feuille(s);
    qint64 octets = 0;
    for (auto _ : etat) {
        QBuffer tampon;
        tampon.open(QIODevice::WriteOnly);
        {
            QPdfWriter pdf(&tampon);
            pdf.setResolution(int(dpi));
            pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                          QMarginsF(), QPageLayout::Millimeter));
            QPainter p(&pdf);
            s.rejouer(p, 0, dpi);
        }
        octets = tampon.size();
    }
    etat.counters["octets"] = double(octets);
}
BENCHMARK(BM_FeuillePdf)->Unit(benchmark::kMillisecond);

void BM_ChargerEntete(benchmark::State& etat) {
    const QString chemin =
        QCoreApplication::applicationDirPath() + QStringLiteral("/enteteimprimante.wmf");
    for (auto _ : etat) {
        Image i;
        benchmark::DoNotOptimize(i.LoadPicture(chemin));
    }
}
BENCHMARK(BM_ChargerEntete)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    banc::horsEcranParDefaut();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (fond().estNulle()) {
        fprintf(stderr, "fondetiquette.wmf introuvable à côté du programme\n");
        return EXIT_FAILURE;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
