// The signature of a closed ticket: the text made from the ticket, signed with the
// installation's key (ECDSA P-256, SHA-256), and checked again as a verifying tool does.
#include "banc.h"
#include "controle/verification.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "fiscal/clefiscale.h"
#include "fiscal/textefiscal.h"
#include "frame/installation.h"
#include "register/caisse.h"
#include "register/signatureticket.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

// The verifying tool over the large shop (/tmp/grande.db or TALMIR_BENCH_BASE, copied, brought
// to today's tables and its closed tickets sealed once when they are not signed yet): every
// ticket's text made again from its lines and its signature checked.
static void controleDeLaGrandeBoutique(benchmark::State& etat) {
    QTemporaryDir dossier;
    QString erreur;
    const QString source = banc::baseSource(dossier.path(), QStringLiteral("/tmp/grande.db"),
                                            100000, 1000000, banc::SiAbsente::Refuser, &erreur);
    if (source.isEmpty()) {
        etat.SkipWithError(qPrintable(erreur));
        return;
    }
    const QString copie = dossier.filePath(QStringLiteral("grande.db"));
    Database bdd;
    Resultat<> r = Database::copierFichier(source, copie);
    if (r)
        r = bdd.ouvrir(copie);
    if (r)
        r = versionschema::mettreANiveau(bdd);
    if (r) {
        QElapsedTimer scellement;
        scellement.start();
        const Resultat<qint64> scelles = signatureticket::sceller(bdd, banc::cle());
        if (!scelles)
            r = scelles.echec();
        else
            etat.counters["scelles"] = double(*scelles);
        etat.counters["scellement_s"] = double(scellement.elapsed()) / 1000.0;
    }
    bdd.fermer();
    // TALMIR_BENCH_GARDER=DOSSIER keeps the sealed shop there with its public key, to time
    // controle_caisse itself on it.
    if (const QString garder = qEnvironmentVariable("TALMIR_BENCH_GARDER");
        r && !garder.isEmpty()) {
        QDir().mkpath(garder);
        r = Database::copierFichier(copie, QDir(garder).filePath(QStringLiteral("grande.db")));
        QFile cle(QDir(garder).filePath(CleFiscale::fichierPublic()));
        if (r && (!cle.open(QIODevice::WriteOnly) || cle.write(banc::cle().publiquePem()) < 0))
            r = echec(QStringLiteral("clé publique non écrite"));
    }
    if (r)
        r = bdd.ouvrir(copie, Database::Acces::Lecture);
    if (!r) {
        etat.SkipWithError(qPrintable(r.raison()));
        return;
    }
    for (auto _ : etat) {
        const Resultat<verification::Bilan> bilan =
            verification::verifier(bdd, banc::cle().publique());
        if (!bilan || !bilan->sain()) {
            etat.SkipWithError(qPrintable(bilan ? bilan->echec : bilan.raison()));
            return;
        }
        etat.counters["tickets"] = double(bilan->tickets);
        etat.counters["lignes"] = double(bilan->lignes);
    }
}
BENCHMARK(controleDeLaGrandeBoutique)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv) {
    // As controle_caisse does: the local zone named once (see tools/controle_caisse.cpp).
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
