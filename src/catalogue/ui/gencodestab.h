#pragma once

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Impression;
struct Article;
struct Services;

// The tab "Gen Codes": the article list with its search, and the article form.
//
// The form's state lies in its controls: the editing state is "list disabled, Validation and
// Annuler saisie shown"; "A imprimer" is shown only while an article read from the database is
// in the form, which tells a save whether it restocks a stored article or creates a new one.
class GenCodesTab : public QWidget {
    Q_OBJECT
  public:
    GenCodesTab(Services& services, QWidget* parent = nullptr);
    ~GenCodesTab() override;

    // Adds every in-stock article to the list with the splash as progress window. False when
    // ARTICLES cannot be read: the message has been shown and the caller ends the program.
    // `raisonOuverture`: why the database could not be opened, if it could not; it is shown
    // with the message.
    bool chargerArticles(const QString& raisonOuverture = {});
    // Start-up: every distinct supplier name used in ARTICLES into `fourn`.
    void chargerFournisseurs();

    // The button "Imprimer 1 feuilles d'Etiquettes": opens the label preview window
    // (defined with the label sheets, in gencodestab_etiquettes.cpp).
    void imprimerlesetiquettes_Click();

    // The form's events (gencodestab_formulaire.cpp).
    // Enter (13) in the code box moves to the quantity box; other keys do nothing.
    void CodeArticle_KeyPress(int touche);
    // Leaving the code box loads the article of that code ("*" and "?" are wildcards).
    void CodeArticle_LostFocus();
    // Loads the article of the selected list entry and ends the editing state.
    void ListeDesArrivees_Click();
    // Shows the article of `code` as if it had been typed into the code box and the box left.
    void ouvrirParCode(const QString& code);
    void Annulersaisie_Click();
    // A change typed in the form: the list is locked until the change is saved or cancelled.
    void modifierDonnees();
    // Saves the form.
    void validation_Click();
    // Puts the shop's next free code into the code box.
    void NouvelArticle_Click();

    // The list's events (gencodestab_liste.cpp).
    void rechargerListe();
    void gorecherche_Click();
    void recherche_KeyPress(int touche);
    void supprimer_Click();

  signals:
    // An article was saved: the row as its first phase wrote it (the inventory tab shows it).
    void articleEnregistre(const Article& article);

  protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

  private:
    // The label window: a window of its own, so that it keeps the program running when the
    // main window is closed; it goes with the tab at the end.
    QPointer<Impression> impression_;
    void construire();
    void relierEvenements();
    void ordreClavier();
    // Fills the list from loader entries with the splash progress.
    void remplirListe(const QStringList& entrees, const QList<int>& longueursCode);
    // The code of a list entry: the text before its separator, with the space before it.
    QString codeEntree(int rang) const;
    // The row of the entry chosen in the list, -1 when none is (an entry that is only current,
    // as the focus arriving in the list leaves the first one, is not chosen).
    int rangChoisi() const;
    // Copies a stored article into the boxes.
    void montrerArticle(const Article& article, bool avecCode);
    // Shows or hides "A imprimer" with its caption: shown while a stored article is in the form.
    void montrerAImprimer(bool montre);
    // The boxes as at start-up: the design's texts, no article ("A imprimer" hidden).
    void valeursDeDepart();
    void finEdition();
    // A failure the operator must know of, in a box.
    void signaler(const QString& texte);

    // What may be typed into the size and colour boxes; a longer stored value is shown whole.
    static constexpr int kLongueurTaille = 5;
    static constexpr int kLongueurCouleur = 10;

    Services& services_;
    int rangAvantClic_ = -1; // the selected entry when the mouse button went down on the list
    QString codeDonne_;      // the code last given for a new article, until it is saved

    // The list column.
    QPushButton* choisirdatelivraison;
    QComboBox* ListeDesDates;
    QLabel* nombrereponses;
    QListWidget* ListeDesArrivees;
    QLineEdit* recherche;
    QPushButton* gorecherche;
    QPushButton* rechager;

    // The article form.
    QLabel* Label2;
    QLineEdit* CodeArticle;
    QPushButton* NouvelArticle;
    QLabel* Label5;
    QLineEdit* NombreArticles;
    QLabel* totalarticle;
    QLabel* Label13;
    QLineEdit* aimprimer;
    QLabel* Label6;
    QLineEdit* Libelle;
    QLabel* Label7;
    QLineEdit* taille;
    QLabel* Label8;
    QLineEdit* couleur;
    QLabel* Label9;
    QLineEdit* prixdeventettc;
    QLabel* Label10;
    QLineEdit* tauxtvavente;
    QLabel* Label11;
    QLineEdit* prixhaht;
    QLabel* Label12;
    QLineEdit* tauxtvaha;
    QLabel* Label17;
    QComboBox* fourn;
    QLabel* Label19;
    QLineEdit* datefacture;
    QLabel* Label18;
    QPushButton* validation;
    QPushButton* Annulersaisie;
    QPushButton* imprimerlesetiquettes;
    QPushButton* supprimer;
};
