#pragma once

#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>

// An amount of money in ten-thousandths of a euro, the scale of a currency column.
// Sums of whole-cent amounts are exact, so a fully paid ticket leaves exactly zero.
class Montant {
  public:
    constexpr Montant() = default;
    static constexpr Montant depuisDixMilliemes(std::int64_t v) {
        Montant m;
        m.v_ = v;
        return m;
    }
    static constexpr Montant depuisCentimes(std::int64_t c) { return depuisDixMilliemes(c * 100); }
    // Rounds to the nearest ten-thousandth, halves away from zero. Values beyond the
    // representable range (about 9e14 euros) or not finite give zero and ok = false.
    static Montant depuisDouble(double euros, bool* ok = nullptr);
    // A value read from the database: a number, a numeric text, or Null (zero).
    static Montant depuisVariant(const QVariant& v);

    constexpr std::int64_t dixMilliemes() const { return v_; }
    double enDouble() const { return static_cast<double>(v_) / 10000.0; }
    QVariant versBase() const { return QVariant(enDouble()); }

    // Rounded to the cent, halves away from zero.
    Montant arrondiCentime() const;
    bool estNul() const { return v_ == 0; }

    Montant operator-() const { return depuisDixMilliemes(-v_); }
    Montant operator+(Montant o) const { return depuisDixMilliemes(v_ + o.v_); }
    Montant operator-(Montant o) const { return depuisDixMilliemes(v_ - o.v_); }
    Montant& operator+=(Montant o) {
        v_ += o.v_;
        return *this;
    }
    Montant& operator-=(Montant o) {
        v_ -= o.v_;
        return *this;
    }
    // Multiplies by a quantity or a rate, rounding to the ten-thousandth.
    Montant fois(double facteur) const;
    auto operator<=>(const Montant&) const = default;

  private:
    std::int64_t v_ = 0;
};
