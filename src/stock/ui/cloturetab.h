#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;
struct Services;

// The tab "Clôture": the annual closure copies and the stock reset.
class ClotureTab : public QWidget {
    Q_OBJECT
  public:
    ClotureTab(Services& services, QWidget* parent = nullptr);

    // Refills the list with the ordinary files of the closures folder.
    void afficherLesClotures();
    // "Sauvegarde et remise à zéro du stock": a checked copy of the database into the closures
    // folder, then, after the operator's confirmation, the stock of every article set to zero.
    // Without a good copy the stock is never touched.
    void RAZStock_Click();

  private:
    Services& services_;
    QListWidget* ListeCloture;
    QPushButton* RAZStock;
};
