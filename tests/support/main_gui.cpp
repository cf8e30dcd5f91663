// Tests that draw (fonts, images, PDF) but show no widget.
#include "support/testmain.h"

#include <QGuiApplication>

int main(int argc, char* argv[]) {
    preparerPlateforme();
    QGuiApplication app(argc, argv);
    return executerTests(app);
}
