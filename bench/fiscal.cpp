// The signature of a closed ticket: the text made from the ticket, signed with the
// installation's key (ECDSA P-256, SHA-256), and checked again as a verifying tool does.
#include "fiscal/clefiscale.h"
#include "fiscal/textefiscal.h"

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

BENCHMARK_MAIN();
