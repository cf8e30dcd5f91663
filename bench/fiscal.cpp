// The signature of a closed ticket: the text made from the ticket, signed with the
// installation's key (ECDSA P-256, SHA-256), and checked again as a verifying tool does.
#include "banc.h"
#include "fiscal/clefiscale.h"
#include "fiscal/textefiscal.h"
#include "frame/installation.h"
#include "register/caisse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
textefiscal::Ticket ticket(qint64 numero) {
    textefiscal::Ticket t;
    t.numero = numero;
    t.cloture = QDateTime(QDate(2026, 12, 10), QTime(20, 37, 5));
    t.total = Montant::depuisCentimes(14980);
    t.parTaux = {{19.6, Montant::depuisCentimes(13980)}, {5.5, Montant::depuisCentimes(1000)}};
    t.precedente = QByteArray(96, 'A');
    return t;
}
} // namespace

static void signatureDUnTicket(benchmark::State& etat) {
    QTemporaryDir d;
    const Resultat<CleFiscale> cle = CleFiscale::chargerOuCreer(d.path());
    if (!cle) {
        etat.SkipWithError(qPrintable(cle.raison()));
        return;
    }
    qint64 n = 0;
    for (auto _ : etat)
        benchmark::DoNotOptimize(cle->signer(textefiscal::texte(ticket(++n))));
}
BENCHMARK(signatureDUnTicket)->Unit(benchmark::kMicrosecond);

static void verificationDUnTicket(benchmark::State& etat) {
    QTemporaryDir d;
    const Resultat<CleFiscale> cle = CleFiscale::chargerOuCreer(d.path());
    if (!cle) {
        etat.SkipWithError(qPrintable(cle.raison()));
        return;
    }
    const QByteArray texte = textefiscal::texte(ticket(1));
    const QByteArray signature = cle->signer(texte).valeurOu({});
    const Resultat<ClePublique> publique = ClePublique::lire(cle->publiquePem());
    for (auto _ : etat)
        benchmark::DoNotOptimize(publique->verifier(texte, signature));
}
BENCHMARK(verificationDUnTicket)->Unit(benchmark::kMicrosecond);

// The closing of a paid three-article ticket on the large shop, as the till closes it: its
// lines read again, the previous link read, the text made and signed, the row written and the
// next ticket opened. `signature_us`: what signing the same text alone takes, timed beside each
// closing (its share of the closing).
static void clotureDUnTicket(benchmark::State& etat) {
    QTemporaryDir dossier;
    const Installation inst{dossier.path(), QStringLiteral("TALMIR_vestimentaire")};
    Database bdd;
    QString erreur;
    const QString source = banc::baseSource(dossier.path(), QStringLiteral("/tmp/grande.db"),
                                            100000, 1000000, banc::SiAbsente::Refuser, &erreur);
    if (source.isEmpty() || !banc::ouvrirCopie(source, inst, bdd, &erreur)) {
        etat.SkipWithError(qPrintable(erreur));
        return;
    }
    Caisse caisse(bdd, banc::cle(), QStringLiteral("1"), 1);
    QDateTime quand = QDateTime::currentDateTime();
    qint64 signatureNs = 0;
    qint64 i = 0;
    for (auto _ : etat) {
        etat.PauseTiming();
        bool ok = caisse.ouvrirTicket().ok();
        for (int k = 0; k < 3 && ok; ++k) {
            const auto lu = caisse.lire(banc::codeArticle(++i));
            ok = lu && lu->article && caisse.vendre(*lu->article);
        }
        ok = ok && caisse.payer(QStringLiteral("CB"), caisse.totaux().restant);
        quand = quand.addSecs(1);
        // The same kind of text signed alone, for the signature's share.
        QElapsedTimer chrono;
        chrono.start();
        benchmark::DoNotOptimize(banc::cle().signer(textefiscal::texte(ticket(i))));
        signatureNs += chrono.nsecsElapsed();
        etat.ResumeTiming();
        const Resultat<Caisse::Cloture> c = caisse.terminer(quand);
        if (!ok || !c || c->vide) {
            etat.SkipWithError(c ? "vente refusée" : qPrintable(c.raison()));
            return;
        }
    }
    etat.counters["signature_us"] =
        benchmark::Counter(double(signatureNs) / 1000.0 / double(etat.iterations()));
}
BENCHMARK(clotureDUnTicket)->Unit(benchmark::kMicrosecond)->Iterations(2000);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
