#pragma once

#include "register/recu.h"

#include <QByteArray>
#include <optional>

class Reglages;

// What a printed receipt says below the ticket, from the settings file's [boutique] section
// (the shop's name, address, SIRET, VAT number), the program's version and the closed
// ticket's signature excerpt. The till's receipts and their duplicates print the same.
MentionsRecu mentionsBoutique(const Reglages& reglages, std::optional<qint64> numero,
                              const QByteArray& signature);
