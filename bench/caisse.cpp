// The till on a large shop (100,000 articles, 1,000,000 ticket lines) with a 50-line ticket on
// screen: one scan's Enter processing with its redraw, then the same with the window painted
// (at 680 x 540 and drawn at the scale of a 1920 x 1080 window),
// and the bare SQLite work of that scan (lookup, line and stock in one transaction, the ticket's
// lines read back) for comparison. Each scan's line is removed again outside the measure, so
// every scan meets a 50-line ticket. Give the database file in TALMIR_BENCH_BASE (default
// /tmp/grande.db, made by `creer_base --articles 100000 --lignes 1000000`); the runs work on a
// copy. Reports the median and the 99th percentile of the single scans.
// The scan's processing is measured on a PostgreSQL server too (saisieDUnScan/traitement_serveur):
// a private cluster over its Unix socket, syncing every commit as the file does, holding the
// same large shop made by creer_base's code (TALMIR_BENCH_ARTICLES articles and about
// TALMIR_BENCH_LIGNES lines, 100,000 and 1,000,000 by default), its making timed; skipped with
// the reason when no cluster can run here.
#include "banc.h"
#include "common/ui/miseaechelle.h"
#include "database/adresseserveur.h"
#include "database/database.h"
#include "frame/services.h"
#include "frame/ui/intro.h"
#include "platform/horloge.h"
#include "printing/systeme/imprimantessysteme.h"
#include "printing/ui/parametrestab.h"
#include "printing/ui/picturebox.h"
#include "register/recu.h"
#include "register/signatureticket.h"
#include "register/tickets.h"
#include "register/ui/caissetab.h"
#include "support/serveurpostgres.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {
constexpr int kLignesAffichees = 50;

// The single times of a run, in milliseconds, as median and 99th percentile counters: the
// elapsed time, and the processor time of the thread (what the scan costs apart from waiting
// for the disk and for a busy machine's processors).
struct Mesures {
    std::vector<double> ms, cpu;
    std::chrono::steady_clock::time_point t0;
    double cpu0 = 0;

    static double cpuMs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    }
    void debut() {
        cpu0 = cpuMs();
        t0 = std::chrono::steady_clock::now();
    }
    // The elapsed time of this scan, in seconds.
    double fin() {
        const double t =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
        ms.push_back(t);
        cpu.push_back(cpuMs() - cpu0);
        return t / 1000.0;
    }
    static double rang(std::vector<double> v, double q) {
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, size_t(double(v.size()) * q))];
    }
    double mediane() const { return ms.empty() ? 0 : rang(ms, 0.5); }
    double p99() const { return ms.empty() ? 0 : rang(ms, 0.99); }
    void rapporter(benchmark::State& etat) const {
        if (ms.empty())
            return;
        etat.counters["mediane_ms"] = rang(ms, 0.5);
        etat.counters["p99_ms"] = rang(ms, 0.99);
        etat.counters["cpu_mediane_ms"] = rang(cpu, 0.5);
        etat.counters["cpu_p99_ms"] = rang(cpu, 0.99);
    }
};

// A count from the environment variable `nom`, else `defaut`.
int nombreDeLEnvironnement(const char* nom, int defaut) {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(nom, &ok);
    return ok && n >= 0 ? n : defaut;
}

// The private cluster of the server runs, started at the first need.
std::unique_ptr<ServeurPostgres> leServeur;
// How long the server's large shop took to make and to sign, in seconds.
double creationServeur = 0, signatureServeur = 0;

// The large shop on the cluster's server, made and signed by creer_base's code; its address,
// or empty with the reason.
QString grandeBoutiqueServeur(QString* erreur) {
    if (const QString m = ServeurPostgres::manque(); !m.isEmpty()) {
        *erreur = QStringLiteral("pas de grappe PostgreSQL : ") + m;
        return {};
    }
    // A shop's server syncs every commit, as the till's file does (synchronous=FULL).
    leServeur = std::make_unique<ServeurPostgres>(ServeurPostgres::Ecriture::Durable);
    if (!leServeur->demarrer() || !leServeur->creerBase(QStringLiteral("grande"))) {
        *erreur = QStringLiteral("pas de grappe PostgreSQL : ") + leServeur->erreur();
        return {};
    }
    const QString adresse = AdresseServeur{leServeur->dossierSocket(), ServeurPostgres::kPort,
                                           QStringLiteral("grande"), ServeurPostgres::utilisateur()}
                                .texte();
    const int articles = nombreDeLEnvironnement("TALMIR_BENCH_ARTICLES", 100000);
    const int lignes = nombreDeLEnvironnement("TALMIR_BENCH_LIGNES", 1000000);
    QElapsedTimer chrono;
    chrono.start();
    if (Resultat<> r = creation::creerGrande(adresse, articles, lignes); !r) {
        *erreur = r.raison();
        return {};
    }
    creationServeur = double(chrono.restart()) / 1000;
    std::fprintf(stderr, "boutique du serveur : %d articles, %d lignes faits en %.1f s\n", articles,
                 lignes, creationServeur);
    Database bdd;
    Resultat<qint64> scelles = bdd.ouvrir(adresse).ok()
                                   ? signatureticket::sceller(bdd, banc::cle())
                                   : Resultat<qint64>(echec(QStringLiteral("ouverture")));
    if (!scelles) {
        *erreur = scelles.raison();
        return {};
    }
    signatureServeur = double(chrono.elapsed()) / 1000;
    std::fprintf(stderr, "boutique du serveur : %lld tickets signés en %.1f s\n",
                 static_cast<long long>(*scelles), signatureServeur);
    // A shop made and signed a moment ago still has its pages to write out and its statistics to
    // gather, which the server does in the background for minutes; a till meets a shop at rest.
    QSqlQuery q(bdd.connexion());
    if (!q.exec(QStringLiteral("VACUUM ANALYZE")) || !q.exec(QStringLiteral("CHECKPOINT"))) {
        *erreur = q.lastError().text();
        return {};
    }
    return adresse;
}

enum class Moteur { Fichier, Serveur };

// The large shop in a temporary program folder, the till open on a ticket of 50 lines.
struct Boutique {
    QTemporaryDir dossier;
    Installation inst{dossier.path(), QStringLiteral("TALMIR_vestimentaire")};
    Database bdd;
    banc::DialoguesMuets dialogues{Dialogues::Reponse::Non}; // every question answered No
    ImprimantesSysteme imprimantes{dossier.path()};
    banc::SansLanceur lanceur;
    Horloge horloge;
    Intro intro;
    banc::SansFin fin;
    std::unique_ptr<Services> services;
    // The main window's stand-in: the till drawn at the scale of its size.
    std::unique_ptr<QWidget> fenetre;
    std::unique_ptr<ParametresTab> parametres;
    std::unique_ptr<CaisseTab> caisse;
    QString erreur;

    explicit Boutique(Moteur moteur) {
        if (moteur == Moteur::Fichier) {
            const QString source =
                banc::baseSource(dossier.path(), QStringLiteral("/tmp/grande.db"), 100000, 1000000,
                                 banc::SiAbsente::Refuser, &erreur);
            if (source.isEmpty() || !banc::ouvrirCopie(source, inst, bdd, &erreur))
                return;
        } else {
            const QString adresse = grandeBoutiqueServeur(&erreur);
            if (adresse.isEmpty())
                return;
            if (Resultat<> r = bdd.ouvrir(adresse); !r) {
                erreur = r.raison();
                return;
            }
        }
        services = std::make_unique<Services>(
            Services{inst, bdd, dialogues, imprimantes, lanceur, horloge, intro, fin, banc::cle()});
        parametres = std::make_unique<ParametresTab>(*services);
        fenetre = std::make_unique<QWidget>();
        fenetre->resize(680, 500);
        new MiseAEchelle(fenetre.get(), fenetre->size(), true);
        caisse = std::make_unique<CaisseTab>(*services, fenetre.get());
        placerDessin(caisse.get(), QRectF(0, 0, 680, 500));
        fenetre->show();
        caisse->nouveauTicket();
        for (int i = 0; i < kLignesAffichees; ++i)
            scanner(banc::codeArticle(1000 + i));
        QApplication::processEvents();
    }
    bool prete(benchmark::State& etat) const {
        if (!caisse)
            etat.SkipWithError(qPrintable(QStringLiteral("boutique : ") + erreur));
        return caisse != nullptr;
    }
    void scanner(const QString& c) {
        caisse->findChild<QLineEdit*>(QStringLiteral("saisie"))->setText(c);
        caisse->saisie_KeyPress(13);
    }
    // Takes the last line back (and its article's stock), so the ticket has 50 lines again,
    // and the till reads its ticket again ("Recalculer"): the next scan meets the 50-line
    // ticket drawn, and adds its 51st line as a scan does.
    void retirerDerniereLigne() {
        QSqlQuery q(bdd.connexion());
        const bool ok =
            executer(q, QStringLiteral("UPDATE ARTICLES SET EnStock = EnStock + 1 WHERE "
                                       "CodeArticle = (SELECT CodeArticle FROM VENTES WHERE Id = "
                                       "(SELECT max(Id) FROM VENTES))")) &&
            executer(q,
                     QStringLiteral("DELETE FROM VENTES WHERE Id = (SELECT max(Id) FROM VENTES)"));
        if (!ok)
            qFatal("la dernière ligne n'a pas pu être retirée");
        caisse->recalculerTicket();
    }
};

std::unique_ptr<Boutique> laBoutique, laBoutiqueServeur;
// The medians and 99th percentiles of the run, by benchmark, for the ratios printed at the end.
std::map<std::string, double> medianes, p99s;

Boutique& boutique(Moteur moteur = Moteur::Fichier) {
    std::unique_ptr<Boutique>& b = moteur == Moteur::Fichier ? laBoutique : laBoutiqueServeur;
    if (!b)
        b = std::make_unique<Boutique>(moteur);
    return *b;
}
} // namespace

// Enter after a scan: lookup, line and stock in one transaction, the ticket drawn again from its
// stored lines, the displays. `peindre`: the window's repaint that follows is counted too.
static void saisieDUnScan(benchmark::State& etat, bool peindre, QSize taille,
                          Moteur moteur = Moteur::Fichier) {
    Boutique& b = boutique(moteur);
    if (!b.prete(etat))
        return;
    b.fenetre->resize(taille);
    QApplication::processEvents();
    Mesures m;
    qint64 i = 0;
    for (auto _ : etat) {
        b.caisse->findChild<QLineEdit*>(QStringLiteral("saisie"))->setText(banc::codeArticle(i++));
        m.debut();
        b.caisse->saisie_KeyPress(13);
        if (peindre)
            QApplication::processEvents();
        etat.SetIterationTime(m.fin());
        b.retirerDerniereLigne();
        QApplication::processEvents();
    }
    m.rapporter(etat);
    const std::string nom = peindre ? QStringLiteral("saisieDUnScan avec peinture %1x%2")
                                          .arg(taille.width())
                                          .arg(taille.height())
                                          .toStdString()
                                    : std::string("saisieDUnScan traitement");
    const std::string ici = moteur == Moteur::Serveur ? nom + " serveur" : nom;
    medianes[ici] = m.mediane();
    p99s[ici] = m.p99();
    etat.counters["messages"] = b.dialogues.messages;
    if (moteur == Moteur::Serveur) {
        etat.counters["creation_s"] = creationServeur;
        etat.counters["signature_s"] = signatureServeur;
    }
}
BENCHMARK_CAPTURE(saisieDUnScan, traitement, false, QSize(680, 500))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);
BENCHMARK_CAPTURE(saisieDUnScan, traitement_serveur, false, QSize(680, 500), Moteur::Serveur)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);
BENCHMARK_CAPTURE(saisieDUnScan, avec_peinture, true, QSize(680, 540))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);
BENCHMARK_CAPTURE(saisieDUnScan, avec_peinture_1920x1080, true, QSize(1920, 1080))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);

// The parts of the redraw: the ticket's lines read back, then drawn on the screen's surface.
static void lignesDuTicket(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    Tickets tickets(b.bdd);
    for (auto _ : etat)
        benchmark::DoNotOptimize(tickets.lignes(*b.caisse->ticketCourant()));
}
BENCHMARK(lignesDuTicket)->Unit(benchmark::kMillisecond);

static void dessinDuTicket(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    const QList<LigneTicket> lignes = *Tickets(b.bdd).lignes(*b.caisse->ticketCourant());
    Surface& ecran = b.caisse->findChild<PictureBox*>(QStringLiteral("ticket"))->surface();
    const Image entete;
    for (auto _ : etat)
        benchmark::DoNotOptimize(
            imprimerTicket(ecran, lignes, entete, QDateTime::currentDateTime()));
    QApplication::processEvents();
}
BENCHMARK(dessinDuTicket)->Unit(benchmark::kMillisecond);

namespace {
// A statement of the bare run, prepared once.
struct Requete {
    sqlite3_stmt* st = nullptr;
    Requete(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
    ~Requete() { sqlite3_finalize(st); }
    void fin() { sqlite3_reset(st); }
};
} // namespace

// The same scan's database work alone, through the SQLite C interface with prepared statements
// and the same settings (WAL, synchronous=FULL).
static void sqliteNu(benchmark::State& etat) {
    Boutique& b = boutique();
    if (!b.prete(etat))
        return;
    const qint64 ticket = *b.caisse->ticketCourant();
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(b.inst.baseParDefaut()).constData(), &db,
                    SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    // The look-up by the folded code, through its index, as the till makes it.
    const QByteArray parCle =
        QStringLiteral("SELECT rowid, CodeArticle, libelle, PrixVenteTTC, tauxTVAvente FROM "
                       "ARTICLES WHERE %1 = ? ORDER BY rowid LIMIT 1")
            .arg(cleCodeSql(QStringLiteral("CodeArticle")))
            .toUtf8();
    Requete article(db, parCle.constData());
    Requete debut(db, "BEGIN");
    Requete ligne(db, "INSERT INTO VENTES (NumeroTicket, CodeArticle, PrixVenteTTC, TVA, qt, "
                      "TauxTVA) SELECT ?, ?, ?, ?, ?, ? WHERE EXISTS (SELECT 1 FROM TICKETS "
                      "WHERE NumeroTicket = ? AND TicketClos = 0)");
    Requete stock(db, "UPDATE ARTICLES SET EnStock = EnStock - ? WHERE rowid = ?");
    Requete valider(db, "COMMIT");
    Requete lignes(db,
                   "SELECT V.Id, V.CodeArticle, V.PrixVenteTTC, V.TVA, V.qt, A.libelle, "
                   "A.taille, A.couleur, V.TauxTVA FROM VENTES V LEFT JOIN ARTICLES A ON A.rowid = "
                   "(SELECT min(rowid) FROM ARTICLES WHERE CodeArticle = V.CodeArticle) "
                   "WHERE V.NumeroTicket = ? ORDER BY V.Id");
    Mesures m;
    qint64 i = 0, lues = 0;
    for (auto _ : etat) {
        const QByteArray c = cleCode(banc::codeArticle(i++)).toUtf8();
        m.debut();
        sqlite3_bind_text(article.st, 1, c.constData(), int(c.size()), SQLITE_STATIC);
        sqlite3_step(article.st);
        const qint64 cle = sqlite3_column_int64(article.st, 0);
        const QByteArray stocke(reinterpret_cast<const char*>(sqlite3_column_text(article.st, 1)));
        const double prix = sqlite3_column_double(article.st, 3);
        article.fin();
        sqlite3_step(debut.st);
        debut.fin();
        sqlite3_bind_int64(ligne.st, 1, ticket);
        sqlite3_bind_text(ligne.st, 2, stocke.constData(), int(stocke.size()), SQLITE_STATIC);
        sqlite3_bind_double(ligne.st, 3, prix);
        sqlite3_bind_double(ligne.st, 4, prix * 19.6 / 119.6);
        sqlite3_bind_double(ligne.st, 5, 1);
        sqlite3_bind_double(ligne.st, 6, 19.6);
        sqlite3_bind_int64(ligne.st, 7, ticket);
        sqlite3_step(ligne.st);
        ligne.fin();
        sqlite3_bind_double(stock.st, 1, 1);
        sqlite3_bind_int64(stock.st, 2, cle);
        sqlite3_step(stock.st);
        stock.fin();
        sqlite3_step(valider.st);
        valider.fin();
        sqlite3_bind_int64(lignes.st, 1, ticket);
        while (sqlite3_step(lignes.st) == SQLITE_ROW) {
            for (int col = 0; col < 9; ++col)
                benchmark::DoNotOptimize(sqlite3_column_text(lignes.st, col));
            ++lues;
        }
        lignes.fin();
        etat.SetIterationTime(m.fin());
        b.retirerDerniereLigne();
    }
    m.rapporter(etat);
    medianes["sqliteNu"] = m.mediane();
    etat.counters["lignes_lues"] = double(lues) / double(std::max<qint64>(i, 1));
    sqlite3_close(db);
}
BENCHMARK(sqliteNu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);

int main(int argc, char** argv) {
    banc::horsEcranParDefaut();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    // Each scan's median beside the bare SQLite work of the same run.
    const auto nu = std::find_if(medianes.cbegin(), medianes.cend(),
                                 [](const auto& m) { return m.first.find("sqliteNu") == 0; });
    if (nu != medianes.cend() && nu->second > 0)
        for (const auto& [nom, mediane] : medianes)
            if (nom.find("saisieDUnScan") == 0)
                std::printf("%-45s %.2f x SQLite nu (%.3f ms / %.3f ms)\n", nom.c_str(),
                            mediane / nu->second, mediane, nu->second);
    // The scan on the server beside the same scan on the file.
    const auto fichier = medianes.find("saisieDUnScan traitement");
    const auto serveur = medianes.find("saisieDUnScan traitement serveur");
    if (fichier != medianes.cend() && serveur != medianes.cend() && fichier->second > 0)
        std::printf("%-45s %.2f x fichier (médiane %.3f ms / %.3f ms ; p99 %.3f ms / %.3f ms ; "
                    "boutique du serveur faite en %.1f s, signée en %.1f s)\n",
                    serveur->first.c_str(), serveur->second / fichier->second, serveur->second,
                    fichier->second, p99s[serveur->first], p99s[fichier->first], creationServeur,
                    signatureServeur);
    // The windows go before the application, the server's shop before its cluster.
    laBoutique.reset();
    laBoutiqueServeur.reset();
    leServeur.reset();
    return 0;
}
