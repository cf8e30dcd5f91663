#pragma once

#include "register/enteteticket.h"
#include "register/historique.h"

#include <QDialog>
#include <optional>

class PictureBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTableWidget;
struct Services;

// The window "Historique des tickets": the closed tickets found by number, day or total, the
// selected one shown as its receipt (dated when it was closed), printed again as a numbered
// duplicate, or cancelled by a cancelling ticket.
class HistoriqueTickets : public QDialog {
    Q_OBJECT
  public:
    // `caisse` and `vendeur`: who a cancelling ticket is recorded for.
    HistoriqueTickets(Services& services, QString caisse, QString vendeur,
                      QWidget* parent = nullptr);
    ~HistoriqueTickets() override;

    // Lists the tickets that the search box names; a refused text is told below it.
    void chercher();
    // The ticket selected in the list, shown as its receipt.
    void montrer();
    // Réimprimer (duplicata).
    void reimprimer();
    // Annuler ce ticket, after the operator confirmed.
    void annuler();

    std::optional<qint64> ticketMontre() const;

  private:
    void construire();
    void avertir(const QString& texte);
    Resultat<> imprimerDuplicata(const historique::TicketClos& t, int rang);

    Services& services_;
    QString caisse_;
    QString vendeur_;
    EnteteTicket entete_;
    std::optional<historique::TicketClos> montre_;

    QLineEdit* recherche = nullptr;
    QLabel* avis = nullptr;
    QTableWidget* tickets = nullptr;
    QScrollArea* defilement = nullptr;
    PictureBox* recu = nullptr;
    QPushButton* reimprimerBouton = nullptr;
    QPushButton* annulerBouton = nullptr;
};
