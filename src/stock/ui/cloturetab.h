#pragma once

#include <QWidget>

class QListWidget;
struct Services;

// The tab "Clôture": the annual closure copies and the stock reset.
class ClotureTab : public QWidget {
    Q_OBJECT
  public:
    ClotureTab(Services& services, QWidget* parent = nullptr);

    // Refills the list with the ordinary files of the closures folder.
    void AfficherLesClotures();

  private:
    Services& services_;
    QListWidget* ListeCloture;
};
