#pragma once

#include "settings/reglage.h"

#include <QString>

// The two printer roles, by device name, kept in the settings file: the receipt printer and the
// A4 printer (label sheets, cash journal). The Parametres tab shows and changes them; the till,
// the cash journal and the label run read them when they print.
class RolesImprimantes {
  public:
    // `parDefaut`: the system's default printer, the roles' default.
    RolesImprimantes(Reglages reglages, QString parDefaut)
        : reglages_(std::move(reglages)), parDefaut_(std::move(parDefaut)) {}

    static Reglage reglageTicket(const QString& parDefaut) {
        return {QStringLiteral("imprimante"), QStringLiteral("imprimanteticket"), parDefaut};
    }
    static Reglage reglageA4(const QString& parDefaut) {
        return {QStringLiteral("imprimante"), QStringLiteral("imprimanteA4"), parDefaut};
    }

    QString ticket() const { return reglages_.lire(reglageTicket(parDefaut_)); }
    QString a4() const { return reglages_.lire(reglageA4(parDefaut_)); }
    // Start-up: the roles, the default stored where nothing usable is.
    QString initialiserTicket() const {
        return reglages_.lireOuInitialiser(reglageTicket(parDefaut_));
    }
    QString initialiserA4() const { return reglages_.lireOuInitialiser(reglageA4(parDefaut_)); }
    void choisirTicket(const QString& nom) const {
        reglages_.ecrire(reglageTicket(parDefaut_), nom);
    }
    void choisirA4(const QString& nom) const { reglages_.ecrire(reglageA4(parDefaut_), nom); }

  private:
    Reglages reglages_;
    QString parDefaut_;
};
