#pragma once

#include <QWidget>

class GenCodesTab;
class QTabWidget;
struct Services;

// The tab "Inventaire": counting articles into the stock, the stock total, the export and the
// event journal viewer.
class InventaireTab : public QWidget {
    Q_OBJECT
  public:
    InventaireTab(Services& services, QWidget* parent = nullptr);

    // The article form that "Modifier les informations" opens, and the tab control that
    // shows it.
    void relier(GenCodesTab* genCodes, QTabWidget* onglets) {
        genCodes_ = genCodes;
        onglets_ = onglets;
    }

    // The stock recount; also run on every change of tab. (inventairetab_stock.cpp)
    void inventaireCalculer_Click();
    // The inventory export to "inventaire.csv". (inventairetab_stock.cpp)
    void SortirInventaire_Click();
    // Opens the event journal in the text editor. (inventairetab_stock.cpp)
    void consulterjournal_Click();

  private:
    Services& services_;
    GenCodesTab* genCodes_ = nullptr;
    QTabWidget* onglets_ = nullptr;
};
