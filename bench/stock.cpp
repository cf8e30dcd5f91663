// The stock as a whole on a large shop: the recount that runs on every change of tab, the
// inventory listing, a day's cash journal of 500 tickets printed to PDF, and the totals of the
// busiest day as its daily closure adds them up. Give the shop in
// TALMIR_BENCH_BASE (made by: creer_base --articles 100000 --lignes 1000000 FICHIER); without
// it a shop of that size is made for the run.
#include "banc.h"
#include "database/creation.h"
#include "database/database.h"
#include "database/versionschema.h"
#include "journals/clotures.h"
#include "journals/journalcaisse.h"
#include "journals/totauxperiode.h"
#include "printing/surface.h"
#include "printing/systeme/imprimantessysteme.h"
#include "register/caisse.h"
#include "stock/exportinventaire.h"
#include "stock/recomptage.h"

#include <QApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
QTemporaryDir& dossier() {
    static QTemporaryDir d;
    return d;
}

// Opened once for every benchmark, closed before the application ends.
std::unique_ptr<Database> bdd_;

Database& boutique() {
    if (!bdd_)
        bdd_ = std::make_unique<Database>();
    Database& bdd = *bdd_;
    if (!bdd.estOuverte())
        if (Resultat<> r = bdd.ouvrir(banc::baseSource(dossier().path(), QString(), 100000, 1000000,
                                                       banc::SiAbsente::Creer));
            !r)
            qFatal("boutique illisible : %s", qPrintable(r.raison()));
    return bdd;
}

// The 500 first closed tickets of the busiest day of the shop.
QList<qint64> cinqCentsTickets(QDate* jour) {
    QSqlQuery q(boutique().connexion());
    q.exec(QStringLiteral("SELECT substr(Date, 1, 10) AS jour FROM TICKETS WHERE TicketClos <> 0 "
                          "GROUP BY jour ORDER BY count(*) DESC LIMIT 1"));
    if (!q.next())
        return {};
    *jour = QDate::fromString(q.value(0).toString(), Qt::ISODate);
    return ticketsDuJour(boutique(), *jour, QStringLiteral("1")).valeurOu({}).mid(0, 500);
}
} // namespace

static void recomptage(benchmark::State& etat) {
    boutique(); // the shop is made, when it must be, before the timing starts
    for (auto _ : etat)
        if (!sommeDuStock(boutique()))
            etat.SkipWithError("stock illisible");
}
BENCHMARK(recomptage)->Unit(benchmark::kMillisecond);

static void exportInventaire(benchmark::State& etat) {
    const QString sortie = dossier().filePath(exportinventaire::nomFichier());
    for (auto _ : etat)
        if (!exportinventaire::ecrire(boutique(), sortie))
            etat.SkipWithError("export impossible");
    etat.counters["lignes"] = double(exportinventaire::lignes(boutique())->size());
}
BENCHMARK(exportInventaire)->Unit(benchmark::kMillisecond);

static void journalDeCaissePdf(benchmark::State& etat) {
    QDate jour;
    const QList<qint64> tickets = cinqCentsTickets(&jour);
    if (tickets.size() < 500) {
        etat.SkipWithError("moins de 500 tickets dans une journée");
        return;
    }
    ImprimantesSysteme imprimantes(dossier().path());
    imprimantes.SelectPrinter(ServiceImpression::nomImprimantePdf());
    int pages = 0;
    for (auto _ : etat) {
        auto travail = imprimantes.commencer(FormatPapier::A4);
        if (!travail) {
            etat.SkipWithError("imprimante PDF indisponible");
            return;
        }
        travail->surface().setFontName(QStringLiteral("Arial"));
        travail->surface().setFontSize(10);
        imprimerJournal(travail->surface(), boutique(), tickets, jour,
                        QDateTime::currentDateTime());
        pages = travail->surface().nombrePages();
        if (!travail->EndDoc())
            etat.SkipWithError("PDF non écrit");
    }
    etat.counters["pages"] = pages;
}
BENCHMARK(journalDeCaissePdf)->Unit(benchmark::kMillisecond);

// The busiest day's totals per VAT rate and per payment means, on a copy of the shop brought to
// today's tables (the lines of a shop made before rates were recorded have none).
static void totauxDuJour(benchmark::State& etat) {
    QDate jour;
    cinqCentsTickets(&jour);
    const Installation inst{dossier().path() + QStringLiteral("/copie"),
                            QStringLiteral("TALMIR_vestimentaire")};
    QDir().mkpath(inst.dossier);
    Database copie;
    QString erreur;
    if (!banc::ouvrirCopie(boutique().chemin(), inst, copie, &erreur)) {
        etat.SkipWithError(qPrintable(erreur));
        return;
    }
    qint64 tickets = 0;
    for (auto _ : etat) {
        const Resultat<TotauxPeriode> t = totauxPeriode(copie, jour, jour);
        if (!t) {
            etat.SkipWithError(qPrintable(t.raison()));
            return;
        }
        tickets = t->tickets;
    }
    etat.counters["tickets"] = double(tickets);
}
BENCHMARK(totauxDuJour)->Unit(benchmark::kMillisecond);

// The daily closure of 500 tickets rung up at the till on a fresh shop: every line read again
// per rate and means, the grand total, the text signed and stored with its event.
static void clotureDuJour(benchmark::State& etat) {
    const QDate jour(2026, 12, 10);
    qint64 tickets = 0;
    for (auto _ : etat) {
        etat.PauseTiming();
        QTemporaryDir d;
        const QString chemin = d.filePath(QStringLiteral("boutique.db"));
        Database bdd;
        Resultat<> r = creation::creerBase(chemin);
        if (r)
            r = bdd.ouvrir(chemin);
        if (r)
            r = versionschema::mettreANiveau(bdd);
        QSqlQuery q(bdd.connexion());
        if (r)
            r = executer(q,
                         QStringLiteral("INSERT INTO ARTICLES (CodeArticle, libelle, PrixVenteTTC, "
                                        "tauxTVAvente, EnStock) VALUES ('ROBE', 'Robe', 55, 19.6, "
                                        "1000), ('LIVRE', 'Livre', 21.10, 5.5, 1000)"));
        for (int i = 0; r && i < 500; ++i) {
            Caisse c(bdd, banc::cle(), QStringLiteral("1"), 1);
            r = c.ouvrirTicket().ok() ? Resultat<>() : echec(QStringLiteral("ticket"));
            const Resultat<Caisse::Lecture> robe = c.lire(QStringLiteral("ROBE"));
            const Resultat<Caisse::Lecture> livre = c.lire(QStringLiteral("LIVRE"));
            if (r && (!robe || !livre))
                r = echec(QStringLiteral("articles illisibles"));
            if (r && !c.vendre(*robe->article))
                r = echec(QStringLiteral("vente"));
            if (r && i % 2 && !c.vendre(*livre->article))
                r = echec(QStringLiteral("vente"));
            // Cash with change, or the card for what remains.
            if (r && !(i % 3 ? c.payer(QStringLiteral("CB"), c.totaux().restant)
                             : c.payer(QStringLiteral("ESPECES"), Montant::euros(100))))
                r = echec(QStringLiteral("paiement"));
            if (r && !c.terminer(QDateTime(jour, QTime(9, 0)).addSecs(60 * i)))
                r = echec(QStringLiteral("fin du ticket"));
        }
        if (!r) {
            etat.SkipWithError(qPrintable(r.raison()));
            return;
        }
        etat.ResumeTiming();
        const Resultat<QList<textefiscal::Cloture>> z = clotures::clotureDuJour(
            bdd, banc::cle(), QDateTime(jour, QTime(20, 0)), QStringLiteral("1"));
        if (!z) {
            etat.SkipWithError(qPrintable(z.raison()));
            return;
        }
        tickets = z->value(0).tickets;
    }
    etat.counters["tickets"] = double(tickets);
}
BENCHMARK(clotureDuJour)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QApplication app(argc, argv); // fonts for the PDF
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    bdd_.reset();
    return 0;
}
