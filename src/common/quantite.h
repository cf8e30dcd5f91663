#pragma once

#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>
#include <optional>

// A quantity of articles or a stock, in thousandths: a shop sells whole pieces and, at most,
// lengths of cloth or weights to the gram. Sums are exact, so 0,1 + 0,2 - 0,3 leaves a stock
// of exactly 0, which the "in stock" lists do not count.
class Quantite {
  public:
    static constexpr std::int64_t echelle = 1000;
    // Quantities beyond this (in pieces) are not a shop's: a reading refuses them.
    static constexpr double maximum = 1.0e12;

    constexpr Quantite() = default;
    static constexpr Quantite depuisMilliemes(std::int64_t m) {
        Quantite q;
        q.m_ = m;
        return q;
    }
    static constexpr Quantite unites(std::int64_t n) { return depuisMilliemes(n * echelle); }
    // Rounded to the nearest thousandth, halves away from zero; nothing for a value that is not
    // finite or beyond `maximum`.
    static std::optional<Quantite> depuisDouble(double v);
    // A stored stock or quantity: a number, a numeric text, or Null (0); nothing for a value that
    // cannot be a quantity (not a number, not finite, beyond `maximum`).
    static std::optional<Quantite> depuisBase(const QVariant& v);
    // The same, a value that cannot be a quantity counting as 0.
    static Quantite depuisVariant(const QVariant& v) { return depuisBase(v).value_or(Quantite()); }

    constexpr std::int64_t milliemes() const { return m_; }
    double enDouble() const { return static_cast<double>(m_) / echelle; }
    QVariant versBase() const { return QVariant(enDouble()); }
    bool estNul() const { return m_ == 0; }

    Quantite operator-() const { return depuisMilliemes(-m_); }
    Quantite operator+(Quantite o) const { return depuisMilliemes(m_ + o.m_); }
    Quantite operator-(Quantite o) const { return depuisMilliemes(m_ - o.m_); }
    auto operator<=>(const Quantite&) const = default;

  private:
    std::int64_t m_ = 0;
};
