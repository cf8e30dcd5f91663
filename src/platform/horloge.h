#pragma once

#include <QDateTime>

// The local clock, injected so that tests can fix the time.
class Horloge {
  public:
    virtual ~Horloge() = default;
    virtual QDateTime maintenant() const { return QDateTime::currentDateTime(); }
};
