#pragma once

#include <QWidget>

struct Services;

// The tab "Arrivages": laid out for deliveries, without behaviour.
class ArrivagesTab : public QWidget {
    Q_OBJECT
  public:
    ArrivagesTab(Services& services, QWidget* parent = nullptr);

  private:
    Services& services_;
};
