#pragma once

#include "common/resultat.h"

#include <QLoggingCategory>

// The program's log ("talmir" category, on the standard error): failures that the operator need
// not see, such as a start-up step that is allowed to fail. Everything else is shown.
Q_DECLARE_LOGGING_CATEGORY(talmirLog)

// Writes the failure, if any, to the log: `quoi` names what was attempted.
void consigner(const Resultat<>& resultat, const QString& quoi);

template <typename T> void consigner(const Resultat<T>& resultat, const QString& quoi) {
    if (!resultat)
        consigner(Resultat<>(resultat.echec()), quoi);
}
