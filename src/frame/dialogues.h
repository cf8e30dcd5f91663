#pragma once

#include <QString>
#include <functional>
#include <optional>

// Message, question and input boxes, injected so that tests can answer them.
class Dialogues {
  public:
    enum class Icone { Aucune, Information, Question, Avertissement, Arret };
    enum class Boutons { Ok, OuiNon, OkAnnuler };
    enum class Reponse { Ok, Annuler, Oui, Non };

    virtual ~Dialogues() = default;
    // A modal box; `parDefaut` is the button that Enter presses.
    virtual Reponse message(const QString& texte, const QString& titre,
                            Boutons boutons = Boutons::Ok, Icone icone = Icone::Aucune,
                            Reponse parDefaut = Reponse::Ok) = 0;
    // Why a text typed into an input box is refused, in French; empty when it is accepted.
    using Verification = std::function<QString(const QString& texte)>;
    // A text input box; no value when cancelled. A text that `verification` refuses keeps the box
    // open with the reason shown in it.
    virtual std::optional<QString> saisie(const QString& invite, const QString& titre,
                                          const QString& defaut,
                                          const Verification& verification = {}) = 0;
};

// The titles of the boxes.
namespace titres {
inline QString programme() {
    return QStringLiteral("TALMIR_vestimentaire");
}
inline QString caisse() {
    return QStringLiteral("TALMIR Vestimentaire");
}
inline QString refusCloture() {
    return QStringLiteral("TALMIR vestimentaire");
}
} // namespace titres
