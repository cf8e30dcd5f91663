#pragma once

#include <QWidget>

struct Services;

// The tab "Arrivages": laid out for recording deliveries by supplier and date. Its controls take
// input like any control but change nothing: goods received are recorded on the article form.
class ArrivagesTab : public QWidget {
    Q_OBJECT
  public:
    ArrivagesTab(Services& services, QWidget* parent = nullptr);
};
