#include "frame/ui/traductionqt.h"

#include "common/journalisation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

void traduireQtEnFrancais() {
    const QString dossier = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // The translator lives as long as the application.
    auto* traducteur = new QTranslator(QCoreApplication::instance());
    if (!traducteur->load(QStringLiteral("qtbase_fr"), dossier)) {
        delete traducteur;
        consigner(Resultat<>(echec(QStringLiteral("%1 est introuvable")
                                       .arg(QDir::toNativeSeparators(
                                           dossier + QStringLiteral("/qtbase_fr.qm"))))),
                  QStringLiteral("traductions de Qt"));
        return;
    }
    QCoreApplication::installTranslator(traducteur);
}
