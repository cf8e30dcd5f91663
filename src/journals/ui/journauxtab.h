#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
struct Services;

// The tab "Journaux": today's date and the day's cash journal.
class JournauxTab : public QWidget {
    Q_OBJECT
  public:
    explicit JournauxTab(Services& services, QWidget* parent = nullptr);

    // Start-up: today's date, "dd/mm/yyyy".
    void setAujourdhui(const QString& date);

    // "Journal de Caisse d'aujourd'hui": the closed tickets of the day shown in `aujourd`,
    // printed on the A4 printer. The till's displays are left as they are.
    void journalAujourdhui_Click();

    // "Clôture du jour": once the operator confirms, the daily closures of the days left
    // unclosed and today's (with the monthly and yearly ones due); today's report printed on the
    // A4 printer, and on the receipt printer too when the operator asks.
    void clotureDuJour_Click();

  private:
    Services& services_;
    QLineEdit* aujourd;
    QPushButton* journalAujourdhui;
    QPushButton* clotureDuJour;
};
