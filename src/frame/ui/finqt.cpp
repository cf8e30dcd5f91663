#include "frame/ui/finqt.h"

#include <QApplication>
#include <QWidget>

void FinQt::terminer() {
    demandee_ = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(0);
}
