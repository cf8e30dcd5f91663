#include "platform/signauxarret.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr std::array<int, 3> kSignaux{SIGTERM, SIGHUP, SIGINT};
// The pair of sockets the handler writes into (only that is safe in a handler); one object at
// a time listens.
int tube[2] = {-1, -1};
struct sigaction avant[kSignaux.size()];

void gestionnaire(int) {
    const int erreur = errno;
    const char octet = 1;
    [[maybe_unused]] const ssize_t n = ::write(tube[0], &octet, 1);
    errno = erreur;
}
} // namespace

SignauxArret::SignauxArret(QObject* parent) : QObject(parent) {
    if (tube[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, tube) != 0)
        return;
    ::fcntl(tube[0], F_SETFL, O_NONBLOCK);
    ::fcntl(tube[1], F_SETFL, O_NONBLOCK);
    notificateur_ = new QSocketNotifier(tube[1], QSocketNotifier::Read, this);
    connect(notificateur_, &QSocketNotifier::activated, this, &SignauxArret::lire);
    struct sigaction action {};
    action.sa_handler = gestionnaire;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignaux.size(); ++i)
        ::sigaction(kSignaux[i], &action, &avant[i]);
}

SignauxArret::~SignauxArret() {
    if (!notificateur_)
        return;
    for (size_t i = 0; i < kSignaux.size(); ++i)
        ::sigaction(kSignaux[i], &avant[i], nullptr);
    delete notificateur_;
    ::close(tube[0]);
    ::close(tube[1]);
    tube[0] = tube[1] = -1;
}

void SignauxArret::lire() {
    char octets[64];
    while (::read(tube[1], octets, sizeof octets) > 0) {
    }
    demande_ = true;
    emit arretDemande();
}
