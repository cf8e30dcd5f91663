#pragma once

#include <QString>
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
    // A text input box; no value when cancelled.
    virtual std::optional<QString> saisie(const QString& invite, const QString& titre,
                                          const QString& defaut) = 0;
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
