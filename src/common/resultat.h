#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

// Why an operation failed, in French, ready to be shown to the operator ("le disque est plein").
struct Echec {
    QString raison;
};

inline Echec echec(QString raison) {
    return Echec{std::move(raison)};
}

// What an operation that can fail gives back: its value, or the reason of its failure. The type
// must be read: a caller that drops it gets a compiler warning, so that no failure goes unseen.
// A failure that the operator need not see is written to the program's log (consigner, in
// common/journalisation.h).
template <typename T = void> class [[nodiscard]] Resultat {
  public:
    Resultat(T valeur) : etat_(std::in_place_index<0>, std::move(valeur)) {}
    Resultat(Echec e) : etat_(std::in_place_index<1>, std::move(e)) {}

    bool ok() const { return etat_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    const T& valeur() const& { return std::get<0>(etat_); }
    T& valeur() & { return std::get<0>(etat_); }
    T&& valeur() && { return std::get<0>(std::move(etat_)); }
    const T& operator*() const& { return valeur(); }
    T& operator*() & { return valeur(); }
    const T* operator->() const { return &valeur(); }
    T* operator->() { return &valeur(); }
    // The value, or `defaut` after a failure.
    T valeurOu(T defaut) const& { return ok() ? valeur() : std::move(defaut); }

    // The reason of the failure; empty when ok().
    QString raison() const { return ok() ? QString() : std::get<1>(etat_).raison; }
    // The failure, to be handed on by a caller that fails for the same reason.
    Echec echec() const { return Echec{raison()}; }

    // A success holding that value.
    friend bool operator==(const Resultat& r, const T& v) { return r.ok() && r.valeur() == v; }

  private:
    std::variant<T, Echec> etat_;
};

// An operation that gives nothing back but can fail.
template <> class [[nodiscard]] Resultat<void> {
  public:
    Resultat() = default;
    Resultat(Echec e) : raison_(std::move(e.raison)) {}

    bool ok() const { return !raison_.has_value(); }
    explicit operator bool() const { return ok(); }
    QString raison() const { return raison_.value_or(QString()); }
    Echec echec() const { return Echec{raison()}; }

  private:
    std::optional<QString> raison_;
};
