#pragma once

#include "register/caisse.h"
#include "register/enteteticket.h"
#include "register/recu.h"

#include <QDate>
#include <QList>
#include <QQueue>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class AfficheurLcd;
class CaptureScanner;
class CodeBarreAffichage;
class PictureBox;
class QLabel;
class QPushButton;
class QScrollBar;
class Surface;
class ZoneSaisie;
struct Services;

// The tab "Caisse": the till's screen over the till's model (Caisse). The operator scans or types
// codes into `saisie`; each Enter sells an article, records a word (discounts, payments,
// sub-total, closing) or sets the quantity of the next article. The displays show the model;
// nothing is read back from them.
//
// Every action (an Enter, a word button, Recalculer, IMPRIMER) runs to its end before the next
// one starts: a scan that arrives while another action is under way (from inside one of its
// boxes) waits its turn, so scans give their lines one by one, in order. The closing offer is
// made once the pending actions are done.
class CaisseTab : public QWidget {
    Q_OBJECT
  public:
    explicit CaisseTab(Services& services, QWidget* parent = nullptr);
    ~CaisseTab() override;

    // Makes the highest open ticket current, creating one when there is none, and redraws it.
    void nouveauTicket();

    // The current open ticket; nothing when none could be opened (the till then refuses to
    // record lines).
    std::optional<qint64> ticketCourant() const { return caisse_.ticket(); }
    const Caisse& modele() const { return caisse_; }

    // What the program does before the first entry of a new day (by the clock): the closures
    // of the days left unclosed. Gives the operator's notice when it failed (empty otherwise);
    // the entry goes on either way.
    void setAuNouveauJour(std::function<QString()> action) { auNouveauJour_ = std::move(action); }

    // Enter in `saisie` (key 13; other keys are ordinary typing).
    void saisie_KeyPress(int touche);
    // The whole text of `saisie` is selected, so the next scan replaces it.
    void saisie_GotFocus();

    void imprimerRecuCourant();      // IMPRIMER
    void recalculerTicket();         // Recalculer
    void demanderRemiseSurTotal();   // % de remise sur total
    void demanderRemiseSurDernier(); // % de remise sur dernier
    void demanderRemiseEnEuros();    // Remise
    void demanderPrixSolde();        // Prix soldé
    void demanderSousTotal();        // SOUS TOTAL
    // A payment button, by its place in the row (CHEQUE, ESPECES, CB, AVOIR, TERMINE).
    void payer(int rang);
    // Historique: the closed tickets' window, modal; the current ticket stays as it is.
    void ouvrirHistorique();
    // While the scroll box is dragged: the ticket's top follows it.
    void defilerTicket(int valeur);

  protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

  private:
    void construire();
    void construireAfficheurs(QWidget* Picture1);
    void construireBoutons();
    // The displays of the ticket number, the totals, the quantity, the price and the VAT.
    QList<QLabel*> afficheurs() const;

    // The serialised running of the operator's actions, then the closing offer.
    void executer(std::function<void()> action);
    void mot(const QString& texte);

    // The Enter processing of one text: an article, a word or a quantity.
    void traiter(const QString& texte);
    void vendreArticle(const ArticleCaisse& article);
    void remise(const QString& mot);
    void paiement(const QString& moyen);
    void terminer(bool imprimer);

    // A box of the till: scans typed while it is up are kept for the till.
    std::optional<QString> demanderMontant(const QString& invite, const QString& defaut,
                                           bool pourcentage);
    void signaler(const QString& texte);
    // A notice under the entry box that does not stop the next scans, with a beep.
    void avertir(const QString& texte);
    // The last line shown in the last-line displays.
    void montrerLigne(const LigneCalculee& ligne);

    // The rendering of the current ticket on the screen or the printer, with the register's
    // displays; it also decides whether the closing offer is due.
    void imprimerTicket(Surface& cible, bool ImpressionReelle);
    void afficherTotaux();
    void evaluerOffre(const TotauxTicket& totaux);
    void ajusterAffichage(double basTwips);
    // The ticket's bottom edge on the frame's, the scroll bar at the end.
    void alignerTicket();
    // `signature`: the closed ticket's, whose excerpt ends the receipt (none while open).
    Resultat<> imprimerRecu(const QList<LigneTicket>& lignes, std::optional<qint64> numero,
                            const QByteArray& signature = {});
    void proposerCloture();

    Services& services_;
    Caisse caisse_;
    EnteteTicket entete_;
    TicketAffiche ticketAffiche_;
    std::unique_ptr<CaptureScanner> scanner_;
    // The change of the last cash payment, shown in the big display until the next action.
    std::optional<Montant> rendu_;
    QString texteQuantite_; // the quantity of the next article, as typed
    bool imprimanteSignalee_ = false;

    std::function<QString()> auNouveauJour_;
    QDate jourVerifie_; // the day the new-day action last ran for

    QQueue<std::function<void()>> attente_;
    bool enCours_ = false;
    bool offreDue_ = false;
    bool clotureImprimee_ = false; // "IMPRIME et TERMINE" under way: no offer

    ZoneSaisie* saisie = nullptr;
    QLabel* avis = nullptr;
    QLabel* numticket = nullptr;
    QLabel* caisse = nullptr;
    QLabel* vendeur = nullptr;
    AfficheurLcd* total = nullptr;
    AfficheurLcd* nombre = nullptr;
    AfficheurLcd* prix = nullptr;
    AfficheurLcd* tva = nullptr;
    QLabel* totalttc = nullptr;
    QLabel* totaltva = nullptr;
    QLabel* dernierequantite = nullptr;
    CodeBarreAffichage* codebarre = nullptr;
    QLabel* DetailAchat = nullptr;
    QWidget* fondticket = nullptr;
    PictureBox* ticket = nullptr;
    QScrollBar* scrolling = nullptr;
    QList<QPushButton*> paiements_;
};
