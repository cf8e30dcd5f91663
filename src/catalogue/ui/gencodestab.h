#pragma once

#include <QWidget>

class QComboBox;
class InventaireTab;
class ParametresTab;
struct Services;

// The tab "Gen Codes": the article list with its search, and the article form.
class GenCodesTab : public QWidget {
    Q_OBJECT
  public:
    GenCodesTab(Services& services, QWidget* parent = nullptr);
    // The inventory tab whose article labels a save refreshes.
    void setInventaire(InventaireTab* inventaire) { inventaire_ = inventaire; }
    // The printer roles (the label sheets print on the A4 printer).
    void setParametres(ParametresTab* parametres) { parametres_ = parametres; }

    // Adds every in-stock article to the list with the splash as progress window. False when
    // ARTICLES cannot be read: the message has been shown and the caller ends the program.
    bool chargerarticles();
    // Start-up: every distinct supplier name used in ARTICLES into `fourn`.
    void chargerFournisseurs();

    // The button "Imprimer 1 feuilles d'Etiquettes": opens the label preview window
    // (defined with the label sheets, in gencodestab_etiquettes.cpp).
    void imprimerlesetiquettes_Click();

  private:
    Services& services_;
    InventaireTab* inventaire_ = nullptr;
    ParametresTab* parametres_ = nullptr;
    QComboBox* fourn;
};
