#include "journals/ui/journauxtab.h"

#include "frame/services.h"

#include <QLineEdit>

JournauxTab::JournauxTab(Services& services, ParametresTab& parametres, QWidget* parent)
    : QWidget(parent), services_(services), parametres_(parametres) {
    aujourd = new QLineEdit(this);
    aujourd->setObjectName(QStringLiteral("aujourd"));
    aujourd->setReadOnly(true);
}

void JournauxTab::setAujourdhui(const QString& date) {
    aujourd->setText(date);
}
