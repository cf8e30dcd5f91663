#pragma once

// The units of the shop's layouts and printouts, in one place: twips (1440 to the inch) for the
// screens and the receipts, millimetres for the label sheets, points for the fonts, and the
// pixels of a device at its resolution.
namespace unites {

enum class Unite { Twips, Millimetres, Points, Pouces };

constexpr double parPouce(Unite u) {
    switch (u) {
    case Unite::Twips:
        return 1440;
    case Unite::Millimetres:
        return 25.4;
    case Unite::Points:
        return 72;
    case Unite::Pouces:
        break;
    }
    return 1;
}

// A length from one unit to another.
constexpr double convertir(double v, Unite de, Unite vers) {
    return v * parPouce(vers) / parPouce(de);
}

// A length in a unit as pixels of a device of `dpi` dots per inch, and back.
constexpr double versPixels(double v, Unite u, double dpi) {
    return v * dpi / parPouce(u);
}
constexpr double depuisPixels(double pixels, Unite u, double dpi) {
    return pixels * parPouce(u) / dpi;
}

// The screen the layouts were drawn for: 96 dots per inch, so 15 twips to a pixel.
constexpr double dpiEcran = 96;
constexpr int twipsParPixelEcran = int(parPouce(Unite::Twips) / dpiEcran);

} // namespace unites
