#pragma once

#include <QWidget>

class ParametresTab;
struct Services;

// The tab "Caisse": the till.
class CaisseTab : public QWidget {
    Q_OBJECT
  public:
    CaisseTab(Services& services, ParametresTab& parametres, QWidget* parent = nullptr);

    // Makes the highest open ticket current, creating one when there is none, and redraws it.
    void nouveauticket();

  private:
    Services& services_;
    ParametresTab& parametres_;
};
