#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
struct Services;

// The tab "Parametres": the installed printers and the two printer roles, the receipt printer
// and the A4 printer. The roles' captions are their current values; each choice is stored at
// once in the settings file.
class ParametresTab : public QWidget {
    Q_OBJECT
  public:
    ParametresTab(Services& services, QWidget* parent = nullptr);

    // Start-up: the device names of every installed printer, in the system's order.
    void chargerImprimantes();
    // Start-up: the two roles from the settings, the default printer by default.
    void chargerRoles();

    QString imprimanteTicket() const;
    QString imprimanteA4() const;

    void choisirImprimanteTicket();
    void choisirImprimanteA4();

  private:
    void choisirRole(QLabel* role);
    // "non installée" under a role whose printer this computer does not have.
    void signalerAbsences();

    Services& services_;
    QListWidget* ListImprimantes;
    QPushButton* Command3;
    QPushButton* Command4;
    QLabel* ImprimanteTicket;
    QLabel* ImprimanteA4;
    QLabel* absenceTicket;
    QLabel* absenceA4;
};
