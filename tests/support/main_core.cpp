// Core-only tests: no window system, no fonts.
#include "support/testmain.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    preparerPlateforme();
    QCoreApplication app(argc, argv);
    return executerTests(app);
}
