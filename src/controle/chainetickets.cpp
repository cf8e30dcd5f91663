#include "controle/chainetickets.h"

#include "common/formats.h"
#include "fiscal/textefiscal.h"
#include "register/signatureticket.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {
constexpr qint64 kAucune = std::numeric_limits<qint64>::max();
// Tickets whose signed texts are handed to the checking threads at once.
constexpr size_t kLot = 2048;

struct AVerifier {
    qint64 place; // the chain position
    QByteArray texte;
    QByteArray signature;
};
} // namespace

struct ChaineTickets::Prive {
    explicit Prive(const ClePublique& c) : cle(c) {}
    ClePublique cle;
    std::vector<Ticket> tickets; // by number, once sorted
    bool prepare = false;
    size_t courant = 0; // the ticket whose lines are being given
    QList<LigneTicket> lignesCourantes;
    std::vector<QByteArray> signatureDe; // by rank in the stretch (0: the one before it)
    qint64 premiere = 1;
    // A place's rank in the vectors: the stretch checked, and the ticket before it.
    size_t rang(qint64 place) const { return size_t(place - (premiere - 1)); }
    QByteArray avantPremiere;
    qint64 lignes = 0;

    // The first failure found so far, by its place in the chain order.
    std::mutex mutexEchec;
    qint64 placeEchec = kAucune;
    QString echec;
    void echouer(qint64 place, const QString& raison) {
        std::lock_guard verrou(mutexEchec);
        if (place < placeEchec) {
            placeEchec = place;
            echec = raison;
        }
    }
    std::vector<qint64> numeroDe; // rank -> ticket number, for the messages

    // The checking threads and their queue of batches.
    std::mutex mutexFile;
    std::condition_variable attente;
    std::deque<std::vector<AVerifier>> file;
    bool fini = false;
    std::vector<std::thread> fils;
    std::vector<AVerifier> lot;

    void demarrer() {
        const unsigned n = std::max(2u, std::min(4u, std::thread::hardware_concurrency()));
        for (unsigned i = 0; i < n; ++i)
            fils.emplace_back([this] { travailler(); });
    }
    void travailler() {
        for (;;) {
            std::vector<AVerifier> l;
            {
                std::unique_lock verrou(mutexFile);
                attente.wait(verrou, [this] { return fini || !file.empty(); });
                if (file.empty())
                    return;
                l = std::move(file.front());
                file.pop_front();
            }
            for (const AVerifier& a : l) {
                const Resultat<bool> bon = cle.verifier(a.texte, a.signature);
                if (!bon || !*bon)
                    echouer(a.place, QStringLiteral("ticket n° %1 (maillon %2) : la signature ne "
                                                    "correspond pas")
                                         .arg(numeroDe[rang(a.place)])
                                         .arg(a.place));
            }
        }
    }
    void envoyer() {
        if (lot.empty())
            return;
        {
            std::lock_guard verrou(mutexFile);
            file.push_back(std::move(lot));
        }
        lot.clear();
        lot.reserve(kLot);
        attente.notify_one();
    }
    void arreter() {
        {
            std::lock_guard verrou(mutexFile);
            fini = true;
        }
        attente.notify_all();
        for (std::thread& f : fils)
            f.join();
        fils.clear();
    }

    // The chain itself, once every ticket is known: each closed ticket signed and in its
    // place, the places 1..n each taken once.
    void preparer() {
        prepare = true;
        std::sort(tickets.begin(), tickets.end(),
                  [](const Ticket& a, const Ticket& b) { return a.numero < b.numero; });
        qint64 dernier = premiere - 1;
        for (const Ticket& t : tickets)
            dernier = std::max(dernier, t.chainage);
        signatureDe.assign(rang(dernier) + 1, {});
        numeroDe.assign(rang(dernier) + 1, 0);
        std::vector<qint64> occupe(rang(dernier) + 1, 0);
        for (const Ticket& t : tickets) {
            if (t.chainage < premiere || t.signature.isEmpty()) {
                // A ticket closed around the program: after every ticket of the chain.
                echouer(kAucune - 1,
                        QStringLiteral("ticket n° %1 : il est clos sans signature ni place dans "
                                       "la chaîne")
                            .arg(t.numero));
                continue;
            }
            if (occupe[rang(t.chainage)] != 0) {
                echouer(t.chainage, QStringLiteral("ticket n° %1 (maillon %2) : le ticket n° %3 "
                                                   "a la même place dans la chaîne")
                                        .arg(t.numero)
                                        .arg(t.chainage)
                                        .arg(occupe[rang(t.chainage)]));
                continue;
            }
            occupe[rang(t.chainage)] = t.numero;
            signatureDe[rang(t.chainage)] = t.signature;
            numeroDe[rang(t.chainage)] = t.numero;
        }
        signatureDe[0] = avantPremiere;
        for (qint64 place = premiere; place <= dernier; ++place)
            if (occupe[rang(place)] == 0) {
                // Named by the ticket that follows the gap.
                qint64 suivant = place + 1;
                while (suivant <= dernier && occupe[rang(suivant)] == 0)
                    ++suivant;
                echouer(place, QStringLiteral("ticket n° %1 (maillon %2) : le maillon %3 qui le "
                                              "précède manque dans la chaîne")
                                   .arg(occupe[rang(suivant)])
                                   .arg(suivant)
                                   .arg(place));
                break;
            }
        lot.reserve(kLot);
        demarrer();
    }

    // The ticket `courant` has all its lines: its total and its signed text.
    void clore() {
        const Ticket& t = tickets[courant];
        if (t.chainage >= premiere && !t.signature.isEmpty() &&
            rang(t.chainage) < numeroDe.size() && numeroDe[rang(t.chainage)] == t.numero) {
            Montant somme;
            for (const LigneTicket& l : lignesCourantes)
                if (l.estPrixee())
                    somme += l.prix;
            if (somme.arrondiCentime() != t.total)
                echouer(t.chainage, QStringLiteral("ticket n° %1 (maillon %2) : son total %3 ne "
                                                   "correspond pas à ses lignes (%4)")
                                        .arg(t.numero)
                                        .arg(t.chainage)
                                        .arg(formatEuros(t.total), formatEuros(somme)));
            const textefiscal::Genre genre = t.genre == QStringLiteral("ANNULATION")
                                                 ? textefiscal::Genre::Annulation
                                                 : textefiscal::Genre::Vente;
            // (before the first place, the signature given by commencerA)
            const QByteArray precedente = signatureDe[rang(t.chainage - 1)];
            if (t.genre != QStringLiteral("VENTE") && t.genre != QStringLiteral("ANNULATION"))
                echouer(t.chainage, QStringLiteral("ticket n° %1 (maillon %2) : son genre « %3 » "
                                                   "est inconnu")
                                        .arg(t.numero)
                                        .arg(t.chainage)
                                        .arg(t.genre));
            lot.push_back(AVerifier{t.chainage,
                                    textefiscal::texte(signatureticket::figures(
                                        t.numero, genre, textefiscal::dateStockee(t.date), t.total,
                                        lignesCourantes, precedente)),
                                    t.signature});
            if (lot.size() >= kLot)
                envoyer();
        }
        lignesCourantes.clear();
        ++courant;
    }
};

ChaineTickets::ChaineTickets(const ClePublique& cle) : d_(std::make_unique<Prive>(cle)) {}

ChaineTickets::~ChaineTickets() {
    d_->arreter();
}

void ChaineTickets::commencerA(qint64 place, const QByteArray& precedente) {
    d_->premiere = std::max<qint64>(place, 1);
    d_->avantPremiere = precedente;
}

void ChaineTickets::ajouter(const Ticket& t) {
    d_->tickets.push_back(t);
}

void ChaineTickets::ligne(qint64 numero, const LigneTicket& l) {
    if (!d_->prepare)
        d_->preparer();
    while (d_->courant < d_->tickets.size() && d_->tickets[d_->courant].numero < numero)
        d_->clore();
    if (d_->courant == d_->tickets.size() || d_->tickets[d_->courant].numero != numero)
        return;
    d_->lignesCourantes << l;
    ++d_->lignes;
}

QString ChaineTickets::terminer() {
    if (!d_->prepare)
        d_->preparer();
    while (d_->courant < d_->tickets.size())
        d_->clore();
    d_->envoyer();
    d_->arreter();
    return d_->echec;
}

qint64 ChaineTickets::tickets() const {
    return qint64(d_->tickets.size());
}

qint64 ChaineTickets::lignes() const {
    return d_->lignes;
}
