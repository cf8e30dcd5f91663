#pragma once

#include "frame/navigation.h"

class GenCodesTab;
class QTabWidget;

// The main window's way of going to another tab: the article form is the Gen Codes tab of the
// tab control.
class NavigationOnglets : public Navigation {
  public:
    NavigationOnglets(QTabWidget& onglets, GenCodesTab& genCodes)
        : onglets_(onglets), genCodes_(genCodes) {}
    void ouvrirFicheArticle(const QString& code) override;

  private:
    QTabWidget& onglets_;
    GenCodesTab& genCodes_;
};
