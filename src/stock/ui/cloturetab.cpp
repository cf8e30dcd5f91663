#include "stock/ui/cloturetab.h"

#include "frame/services.h"

#include <QDir>
#include <QListWidget>

ClotureTab::ClotureTab(Services& services, QWidget* parent) : QWidget(parent), services_(services) {
    ListeCloture = new QListWidget(this);
    ListeCloture->setObjectName(QStringLiteral("ListeCloture"));
}

void ClotureTab::AfficherLesClotures() {
    ListeCloture->clear();
    const QDir dossier(services_.installation.chemin(QStringLiteral("SAUVEANNUELS")));
    // Ordinary files only: no folders, no hidden files.
    ListeCloture->addItems(dossier.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted));
}
