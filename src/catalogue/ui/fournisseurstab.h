#pragma once

#include <QList>
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct Services;

// The tab "Fournisseurs": the suppliers' list and, for the selected supplier, a panel that shows
// every column of its row as a caption and a box, built from the table's columns at run time.
// Nothing typed in the boxes is stored: suppliers are kept in the database itself.
class FournisseursTab : public QWidget {
    Q_OBJECT
  public:
    FournisseursTab(Services& services, QWidget* parent = nullptr);

    // Start-up: one entry "code | nom" per FOURNISSEURS row. False when the table cannot be
    // opened: the message has been shown and the caller ends the program.
    bool chargerListe();

    // Shows the selected supplier on the panel.
    void listefournisseur_Click();

  private:
    void placerElement(int i);

    Services& services_;
    QListWidget* listefournisseur;
    QFrame* fondfournisseur;
    QLabel* status;
    QList<QLabel*> labelfournisseur;
    QList<QLineEdit*> fournisseur;
    QPushButton* ajouterfournisseur;
    QPushButton* validermodification;
};
