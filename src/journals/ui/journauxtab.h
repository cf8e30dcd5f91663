#pragma once

#include <QWidget>

class ParametresTab;
class QLineEdit;
struct Services;

// The tab "Journaux": today's date and the day's cash journal.
class JournauxTab : public QWidget {
    Q_OBJECT
  public:
    JournauxTab(Services& services, ParametresTab& parametres, QWidget* parent = nullptr);

    // Start-up: today's date, "dd/mm/yyyy".
    void setAujourdhui(const QString& date);

  private:
    Services& services_;
    ParametresTab& parametres_;
    QLineEdit* aujourd;
};
