#pragma once

#include <QWidget>

class QComboBox;
class InventaireTab;
struct Services;

// The tab "Gen Codes": the article list with its search, and the article form.
class GenCodesTab : public QWidget {
    Q_OBJECT
  public:
    GenCodesTab(Services& services, QWidget* parent = nullptr);
    // The inventory tab whose article labels a save refreshes.
    void setInventaire(InventaireTab* inventaire) { inventaire_ = inventaire; }

    // Adds every in-stock article to the list with the splash as progress window. False when
    // ARTICLES cannot be read: the message has been shown and the caller ends the program.
    bool chargerarticles();
    // Start-up: every distinct supplier name used in ARTICLES into `fourn`.
    void chargerFournisseurs();

  private:
    Services& services_;
    InventaireTab* inventaire_ = nullptr;
    QComboBox* fourn;
};
