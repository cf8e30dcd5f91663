#pragma once

#include "common/quantite.h"

#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>
#include <optional>

// An amount of money in ten-thousandths of a euro, the scale of a currency column. Every amount
// of the program is one: line amounts, VAT, discounts, totals, the listing's values. Sums of
// whole-cent amounts are exact, so a fully paid ticket leaves exactly zero.
class Montant {
  public:
    static constexpr std::int64_t echelle = 10000;
    // No amount the shop records reaches this (euros): beyond it a reading fails.
    static constexpr double maximum = 9.0e14;

    constexpr Montant() = default;
    static constexpr Montant depuisDixMilliemes(std::int64_t v) {
        Montant m;
        m.v_ = v;
        return m;
    }
    static constexpr Montant depuisCentimes(std::int64_t c) { return depuisDixMilliemes(c * 100); }
    static constexpr Montant euros(std::int64_t e) { return depuisDixMilliemes(e * echelle); }
    // Rounds to the nearest ten-thousandth, halves away from zero, reading the decimal value a
    // double holds (its 15 significant digits: 12.345 is 12.345). Values beyond `maximum` or
    // not finite give zero and ok = false.
    static Montant depuisDouble(double euros, bool* ok = nullptr);
    // A value read from the database: a number, a numeric text, or Null (zero).
    static Montant depuisVariant(const QVariant& v);

    constexpr std::int64_t dixMilliemes() const { return v_; }
    double enDouble() const { return static_cast<double>(v_) / echelle; }
    QVariant versBase() const { return QVariant(enDouble()); }

    // Rounded to `decimales` decimals (0 to 4), halves away from zero: the one rounding of
    // money.
    Montant arrondi(int decimales) const;
    Montant arrondiCentime() const { return arrondi(2); }
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
    // The amount of a quantity at this unit price, to the ten-thousandth. (The operations below
    // saturate rather than overflow: a result beyond `maximum` is refused by the callers.)
    Montant fois(Quantite q) const;
    // The unit price of a line of that amount and quantity (zero for a zero quantity).
    Montant divisePar(Quantite q) const;
    // `pourcent` % of the amount, to the ten-thousandth.
    Montant pourcentage(double pourcent) const;
    // The VAT contained in this amount including VAT at `taux` %: amount × rate / (100 + rate).
    Montant tvaContenue(double taux) const;
    // This amount × numerateur / denominateur, to the ten-thousandth (zero for a zero
    // denominator): a share of an amount.
    Montant proportion(Montant numerateur, Montant denominateur) const;
    auto operator<=>(const Montant&) const = default;

  private:
    std::int64_t v_ = 0;
};
