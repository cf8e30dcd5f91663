#include "controle/chainetickets.h"

#include "common/formats.h"
#include "fiscal/textefiscal.h"
#include "register/signatureticket.h"

#include <QHash>

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
    size_t chaine; // the till's chain
    qint64 place;  // the place in it
    QByteArray texte;
    QByteArray signature;
};
} // namespace

struct ChaineTickets::Prive {
    explicit Prive(const ClePublique& c) : cle(c) {}
    ClePublique cle;

    // One till's chain, or the stretch of it that is checked.
    struct Chaine {
        QString caisse;
        qint64 premiere = 1;
        QByteArray avantPremiere;
        size_t ordre = 0; // its rank among the tills, by their names, for the failure told
        std::vector<QByteArray> signatureDe; // by rank in the stretch (0: the one before it)
        std::vector<qint64> numeroDe;        // rank -> ticket number, for the messages
        // A place's rank in the vectors: the stretch checked, and the ticket before it.
        size_t rang(qint64 place) const { return size_t(place - (premiere - 1)); }
        // "ticket n° 12 (maillon 3)": the first till's tickets are named as they were before
        // each till had its chain; another till's name their till, "(caisse 2, maillon 3)". A
        // ticket out of the chain (place 0) is named without a place.
        QString nom(qint64 numero, qint64 place = 0) const {
            const QString ticket = QStringLiteral("ticket n° ") + QString::number(numero);
            const QString maillon = QStringLiteral("maillon ") + QString::number(place);
            if (caisse == QStringLiteral("1"))
                return place == 0 ? ticket : QStringLiteral("%1 (%2)").arg(ticket, maillon);
            return place == 0 ? QStringLiteral("%1 (caisse %2)").arg(ticket, caisse)
                              : QStringLiteral("%1 (caisse %2, %3)").arg(ticket, caisse, maillon);
        }
    };
    std::vector<Chaine> chaines;
    QHash<QString, size_t> chaineDe; // a till's name -> its chain
    size_t chaine(const QString& caisse) {
        const auto trouvee = chaineDe.constFind(caisse);
        if (trouvee != chaineDe.cend())
            return *trouvee;
        chaines.emplace_back().caisse = caisse;
        chaineDe.insert(caisse, chaines.size() - 1);
        return chaines.size() - 1;
    }

    struct Lu {
        Ticket t;
        size_t chaine;
    };
    std::vector<Lu> tickets; // by number, once sorted
    bool prepare = false;
    size_t courant = 0; // the ticket whose lines are being given
    QList<LigneTicket> lignesCourantes;
    qint64 lignes = 0;

    // The first failure found so far, by its till then its place in the chain order.
    std::mutex mutexEchec;
    std::pair<size_t, qint64> cleEchec{std::numeric_limits<size_t>::max(), kAucune};
    QString echec;
    void echouer(const Chaine& c, qint64 place, const QString& raison) {
        std::lock_guard verrou(mutexEchec);
        if (std::pair(c.ordre, place) < cleEchec) {
            cleEchec = {c.ordre, place};
            echec = raison;
        }
    }

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
                if (!bon || !*bon) {
                    const Chaine& c = chaines[a.chaine];
                    echouer(c, a.place,
                            c.nom(c.numeroDe[c.rang(a.place)], a.place) +
                                QStringLiteral(" : la signature ne correspond pas"));
                }
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

    // The chains themselves, once every ticket is known: each closed ticket signed and in its
    // place of its till's chain, the places of each till taken once each, without a gap.
    void preparer() {
        prepare = true;
        std::sort(tickets.begin(), tickets.end(),
                  [](const Lu& a, const Lu& b) { return a.t.numero < b.t.numero; });
        std::vector<size_t> parNom(chaines.size());
        for (size_t i = 0; i < parNom.size(); ++i)
            parNom[i] = i;
        std::sort(parNom.begin(), parNom.end(),
                  [this](size_t a, size_t b) { return chaines[a].caisse < chaines[b].caisse; });
        for (size_t i = 0; i < parNom.size(); ++i)
            chaines[parNom[i]].ordre = i;
        std::vector<qint64> dernier(chaines.size());
        for (size_t i = 0; i < chaines.size(); ++i)
            dernier[i] = chaines[i].premiere - 1;
        for (const Lu& l : tickets)
            dernier[l.chaine] = std::max(dernier[l.chaine], l.t.chainage);
        for (size_t i = 0; i < chaines.size(); ++i) {
            chaines[i].signatureDe.assign(chaines[i].rang(dernier[i]) + 1, {});
            chaines[i].numeroDe.assign(chaines[i].rang(dernier[i]) + 1, 0); // 0: a free place
        }
        for (const Lu& l : tickets) {
            const Ticket& t = l.t;
            Chaine& c = chaines[l.chaine];
            if (t.chainage < c.premiere || t.signature.isEmpty()) {
                // A ticket closed around the program: after every ticket of its till's chain.
                echouer(
                    c, kAucune - 1,
                    c.nom(t.numero) +
                        QStringLiteral(" : il est clos sans signature ni place dans la chaîne"));
                continue;
            }
            if (c.numeroDe[c.rang(t.chainage)] != 0) {
                echouer(c, t.chainage,
                        c.nom(t.numero, t.chainage) +
                            QStringLiteral(" : le ticket n° %1 a la même place dans la chaîne")
                                .arg(c.numeroDe[c.rang(t.chainage)]));
                continue;
            }
            c.signatureDe[c.rang(t.chainage)] = t.signature;
            c.numeroDe[c.rang(t.chainage)] = t.numero;
        }
        for (size_t i = 0; i < chaines.size(); ++i) {
            Chaine& c = chaines[i];
            c.signatureDe[0] = c.avantPremiere;
            for (qint64 p = c.premiere; p <= dernier[i]; ++p)
                if (c.numeroDe[c.rang(p)] == 0) {
                    // Named by the ticket that follows the gap.
                    qint64 suivant = p + 1;
                    while (suivant <= dernier[i] && c.numeroDe[c.rang(suivant)] == 0)
                        ++suivant;
                    echouer(c, p,
                            c.nom(c.numeroDe[c.rang(suivant)], suivant) +
                                QStringLiteral(" : le maillon %1 qui le précède manque dans la "
                                               "chaîne")
                                    .arg(p));
                    break;
                }
        }
        lot.reserve(kLot);
        demarrer();
    }

    // The ticket `courant` has all its lines: its total and its signed text.
    void clore() {
        const Ticket& t = tickets[courant].t;
        const size_t i = tickets[courant].chaine;
        const Chaine& c = chaines[i];
        if (t.chainage >= c.premiere && !t.signature.isEmpty() &&
            c.rang(t.chainage) < c.numeroDe.size() && c.numeroDe[c.rang(t.chainage)] == t.numero) {
            Montant somme;
            for (const LigneTicket& l : lignesCourantes)
                if (l.estPrixee())
                    somme += l.prix;
            if (somme.arrondiCentime() != t.total)
                echouer(c, t.chainage,
                        c.nom(t.numero, t.chainage) +
                            QStringLiteral(" : son total %1 ne correspond pas à ses lignes (%2)")
                                .arg(formatEuros(t.total), formatEuros(somme)));
            const textefiscal::Genre genre = t.genre == QStringLiteral("ANNULATION")
                                                 ? textefiscal::Genre::Annulation
                                                 : textefiscal::Genre::Vente;
            // (before the first place, the signature given by commencerA)
            const QByteArray precedente = c.signatureDe[c.rang(t.chainage - 1)];
            if (t.genre != QStringLiteral("VENTE") && t.genre != QStringLiteral("ANNULATION"))
                echouer(c, t.chainage,
                        c.nom(t.numero, t.chainage) +
                            QStringLiteral(" : son genre « %1 » est inconnu").arg(t.genre));
            lot.push_back(AVerifier{i, t.chainage,
                                    textefiscal::texte(signatureticket::figures(
                                        t.numero, c.caisse, genre, textefiscal::dateStockee(t.date),
                                        t.total, lignesCourantes, precedente)),
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

void ChaineTickets::commencerA(const QString& caisse, qint64 place, const QByteArray& precedente) {
    Prive::Chaine& c = d_->chaines[d_->chaine(caisse)];
    c.premiere = std::max<qint64>(place, 1);
    c.avantPremiere = precedente;
}

void ChaineTickets::ajouter(const Ticket& t) {
    d_->tickets.push_back(Prive::Lu{t, d_->chaine(t.caisse)});
}

void ChaineTickets::ligne(qint64 numero, const LigneTicket& l) {
    if (!d_->prepare)
        d_->preparer();
    while (d_->courant < d_->tickets.size() && d_->tickets[d_->courant].t.numero < numero)
        d_->clore();
    if (d_->courant == d_->tickets.size() || d_->tickets[d_->courant].t.numero != numero)
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
