#pragma once

#include "frame/demarrage.h"
#include "frame/services.h"

#include <QWidget>
#include <memory>

class ArrivagesTab;
class CaisseTab;
class ClotureTab;
class FournisseursTab;
class GenCodesTab;
class InventaireTab;
class JournauxTab;
class MiseAEchelle;
class NavigationOnglets;
class ParametresTab;
class QPushButton;
class QTabWidget;

// The main window "Form1", caption "Point de Vente": the button Quitter and the eight tabs.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // demarrer: the start-up sequence. False when the program must end (a table check
    // failed, or another till already runs on this database); the message has been shown.
    bool demarrer();

    // Shows the window where it was last left, or maximised on a screen larger than its
    // design the first time.
    void afficher();
    // The rotating backup copy of this start, made in the background once the window shows
    // (unless the start made it already, before an upgrade); a failure is told to the
    // operator. attendreSauvegarde waits for it and tells its outcome.
    void sauvegarderEnFond();
    void attendreSauvegarde();

    void Quitter_Click();
    void ongletChange();
    // The system asks the program to stop (a shutdown, the end of the session): it stops as by
    // the close box, every window closing; during start-up, once the start is done.
    void arretSysteme();
    // Whether the program has stopped (by Quitter, the close box or the system).
    bool arrete() const { return arrete_; }

    Services& services() { return services_; }
    QTabWidget* onglets() const { return SSTab1; }
    MiseAEchelle* echelle() const { return echelle_; }

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    bool demarrerEtapes();
    void retenirPlace();
    // The stop in the events journal, with how the program was left.
    void consignerArret(const QString& comment);
    void sauvegardeFinie(const Resultat<>& r);

    Services services_;
    Demarrage demarrage_;
    MiseAEchelle* echelle_;
    QPushButton* Quitter;
    QTabWidget* SSTab1;
    ParametresTab* parametres_;
    CaisseTab* caisse_;
    GenCodesTab* genCodes_;
    ArrivagesTab* arrivages_;
    FournisseursTab* fournisseurs_;
    InventaireTab* inventaire_;
    JournauxTab* journaux_;
    ClotureTab* cloture_;
    std::unique_ptr<NavigationOnglets> navigation_;
    bool arrete_ = false;
    bool enDemarrage_ = false;
    bool arretEnAttente_ = false;
};
