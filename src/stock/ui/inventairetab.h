#pragma once

#include <QWidget>

struct Services;

// The tab "Inventaire": counting articles into the stock, the stock total, the export and the
// event journal viewer.
class InventaireTab : public QWidget {
    Q_OBJECT
  public:
    InventaireTab(Services& services, QWidget* parent = nullptr);

    // The stock recount; also run on every change of tab.
    void inventaireCalculer_Click();

  private:
    Services& services_;
};
