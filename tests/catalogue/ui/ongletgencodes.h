#pragma once

// A Gen Codes tab over a small test shop, with its inventory tab, as the main window wires
// them: three articles in stock, listed in this order.

#include "catalogue/articlesdetest.h"
#include "catalogue/ui/gencodestab.h"
#include "frame/ui/navigationonglets.h"
#include "stock/ui/inventairetab.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

struct OngletGenCodes {
    BoutiqueTest boutique;
    QTabWidget onglets;
    GenCodesTab* genCodes = nullptr;
    InventaireTab* inventaire = nullptr;
    std::unique_ptr<NavigationOnglets> navigation;

    // ART000012 "Pull ", ART000020 "PULL COL V " (no colour, no supplier), ART000042
    // "Robe d'été ".
    static QList<ArticleDeTest> articles() {
        return {{.code = "ART000012", .stock = 3, .aImprimer = 2, .tauxVente = 5.5},
                {.code = "ART000020",
                 .libelle = "PULL COL V ",
                 .prix = 45,
                 .couleur = QVariant(QMetaType(QMetaType::QString)),
                 .fournisseur = QVariant(QMetaType(QMetaType::QString))},
                {.code = "ART000042", .libelle = "Robe d'été ", .prix = 55, .stock = 4}};
    }

    // Opens the shop, adds the articles and runs the start-up's list load.
    bool demarrer(const QList<ArticleDeTest>& lignes = articles()) {
        if (!boutique.ouvrir())
            return false;
        for (const ArticleDeTest& a : lignes)
            if (!ajouterArticle(boutique, a))
                return false;
        Services& s = boutique.services();
        // The till's page holds a box that has the focus when the program starts.
        onglets.addTab(new QLineEdit, QStringLiteral("Caisse"));
        genCodes = new GenCodesTab(s);
        navigation = std::make_unique<NavigationOnglets>(onglets, *genCodes);
        inventaire = new InventaireTab(s, *navigation);
        // As the main window wires them.
        QObject::connect(genCodes, &GenCodesTab::articleEnregistre, inventaire,
                         &InventaireTab::montrerArticle);
        onglets.addTab(genCodes, QStringLiteral("Gen Codes"));
        onglets.addTab(inventaire, QStringLiteral("Inventaire"));
        return genCodes->chargerArticles();
    }

    template <typename T = QLineEdit> T* w(const QString& nom) const {
        T* c = onglets.findChild<T*>(nom);
        Q_ASSERT_X(c, "OngletGenCodes", qPrintable(nom));
        return c;
    }
    QListWidget* liste() const { return w<QListWidget>(QStringLiteral("ListeDesArrivees")); }
    QString texte(const QString& nom) const { return w(nom)->text(); }
    QString legende(const QString& nom) const { return w<QLabel>(nom)->text(); }
    bool enEdition() const {
        return !liste()->isEnabled() && !w<QPushButton>(QStringLiteral("validation"))->isHidden() &&
               !w<QPushButton>(QStringLiteral("Annulersaisie"))->isHidden();
    }
    bool horsEdition() const {
        return liste()->isEnabled() && w<QPushButton>(QStringLiteral("validation"))->isHidden() &&
               w<QPushButton>(QStringLiteral("Annulersaisie"))->isHidden();
    }
    bool aImprimerMontre() const { return !w(QStringLiteral("aimprimer"))->isHidden(); }
    // The window shown and active on a tab (Gen Codes by default), so that focus moves deliver
    // their events.
    bool montrer(int onglet = 1) {
        onglets.setCurrentIndex(onglet);
        onglets.show();
        onglets.activateWindow();
        return QTest::qWaitForWindowActive(&onglets);
    }
};
