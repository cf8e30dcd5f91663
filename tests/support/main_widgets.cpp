// Tests of windows and tabs.
#include "support/testmain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    preparerPlateforme();
    QApplication app(argc, argv);
    return executerTests(app);
}
