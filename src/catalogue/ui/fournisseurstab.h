#pragma once

#include <QWidget>

class QListWidget;
struct Services;

// The tab "Fournisseurs": the suppliers' list and the panel that shows one supplier's row.
class FournisseursTab : public QWidget {
    Q_OBJECT
  public:
    FournisseursTab(Services& services, QWidget* parent = nullptr);

    // Start-up: one entry "code | nom" per FOURNISSEURS row. False when the table cannot be
    // opened: the message has been shown and the caller ends the program.
    bool chargerListe();

  private:
    Services& services_;
    QListWidget* listefournisseur;
};
