#pragma once

#include <QWidget>

class Navigation;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
struct Article;
struct Services;

// The tab "Inventaire": counting articles into the stock, the stock total, the export and the
// event journal viewer. The counters are the captions of their labels.
class InventaireTab : public QWidget {
    Q_OBJECT
  public:
    // `navigation` shows the article form for "Modifier les informations".
    InventaireTab(Services& services, Navigation& navigation, QWidget* parent = nullptr);

    // Enter (13) in the code box counts the article of that code, or takes the text as the
    // quantity of the next article; other keys do nothing.
    void InventaireCodeArticle_KeyPress(int touche);
    // Shows the article just counted in the article form of the Gen Codes tab.
    void inventaireModifInfos_Click();
    // The article summary that a save in the article form leaves here: its description, its
    // stock and the seven information lines.
    void montrerArticle(const Article& article);

    // The stock recount; also run on every change of tab. (inventairetab_stock.cpp)
    void inventaireCalculer_Click();
    // The inventory export to "inventaire.csv". (inventairetab_stock.cpp)
    void SortirInventaire_Click();
    // Opens the event journal in the text editor. (inventairetab_stock.cpp)
    void consulterjournal_Click();

  protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

  private:
    void construire();

    Services& services_;
    Navigation& navigation_;

    QLabel* titreCode;
    QLineEdit* InventaireCodeArticle;
    QLabel* InventaireNombre;
    QFrame* cadreArticle; // the picture box around the article just counted
    QLabel* InventaireNomArticle;
    QLabel* inventaireInfos;
    QPushButton* inventaireModifInfos;
    QLabel* titreTotalStock;
    QLabel* InventaireTotalStock;
    QLabel* titreNbreInventaire;
    QLabel* nbreinventaire;
    QLabel* titreNbreInventaireTotal;
    QLabel* nbreinventairetotal;
    QPushButton* inventaireCalculer;
    QPushButton* SortirInventaire;
    QPushButton* consulterjournal;
};
