#include "printing/surface.h"

// Placeholder until the drawing layer lands.
struct Surface::Operation {};

Surface::Surface(double largeurPixels, double hauteurPixels, double dpi)
    : dpi_(dpi), largeurPx_(largeurPixels), hauteurPx_(hauteurPixels) {}

Surface::~Surface() = default;
