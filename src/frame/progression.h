#pragma once

#include <QtGlobal>

// The splash window used as the shared progress window by the long loaders.
class Progression {
  public:
    virtual ~Progression() = default;
    virtual void montrer() = 0;
    // Sets the bar to fait / total of its width; repaints only when the drawn width changes.
    virtual void progresser(qint64 fait, qint64 total) = 0;
    virtual void fermer() = 0;
};
