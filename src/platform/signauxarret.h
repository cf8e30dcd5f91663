#pragma once

#include <QObject>

class QSocketNotifier;

// The system's requests to stop (SIGTERM at a shutdown, SIGHUP when the session ends, SIGINT),
// turned into a signal of the event loop, so that the program stops in order (its stop line,
// its database closed) instead of being cut off. While an object lives, those signals no
// longer end the process; the handlers in place before are put back when it goes.
class SignauxArret : public QObject {
    Q_OBJECT
  public:
    explicit SignauxArret(QObject* parent = nullptr);
    ~SignauxArret() override;

    // Whether a stop was asked (the signal may come before anyone listens).
    bool demande() const { return demande_; }

  signals:
    void arretDemande();

  private:
    void lire();

    QSocketNotifier* notificateur_ = nullptr;
    bool demande_ = false;
};
