#pragma once

#include "frame/services.h"

// Ends the program at once: every window disappears without its close handler and the event
// loop stops.
class FinQt : public FinProgramme {
  public:
    void terminer() override;
    bool demandee() const { return demandee_; }

  private:
    bool demandee_ = false;
};
