#include "register/ui/caissetab.h"

#include "frame/services.h"

CaisseTab::CaisseTab(Services& services, ParametresTab& parametres, QWidget* parent)
    : QWidget(parent), services_(services), parametres_(parametres) {}

void CaisseTab::nouveauticket() {}
