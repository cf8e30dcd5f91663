#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// Where the main window was last left, as the settings file keeps it: "agrandie" (maximised)
// or its left, top, width and height in pixels, "120 80 1024 700".
struct PlaceFenetre {
    bool agrandie = false;
    std::optional<QRect> cadre;

    // The place kept in `texte`, if it is one and a usable part of it lies on one of `ecrans`
    // (the screens' available areas); otherwise nothing, and the window takes its first place.
    static std::optional<PlaceFenetre> lire(const QString& texte, const QList<QRect>& ecrans);
    QString texte() const;
};
