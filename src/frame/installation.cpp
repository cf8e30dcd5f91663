#include "frame/installation.h"

#include <QCoreApplication>
#include <QFileInfo>

Installation Installation::depuisProgramme() {
    const QFileInfo programme(QCoreApplication::applicationFilePath());
    return {programme.absolutePath(), programme.completeBaseName()};
}
