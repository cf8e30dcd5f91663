#pragma once

// A till on a temporary shop: the Caisse tab with the Parametres tab it prints through, a few
// articles, two printers, and boxes answered from a script (optionally running something while a
// box is up, as a scanner that goes on typing).

#include "printing/surface.h"
#include "printing/ui/parametrestab.h"
#include "printing/ui/picturebox.h"
#include "register/ui/caissetab.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>
#include <functional>
#include <memory>

class DialoguesCaisse : public DialoguesScript {
  public:
    // Runs once, while the next box is up.
    std::function<void(const QString& texte)> pendant;

    Reponse message(const QString& texte, const QString& titre, Boutons boutons, Icone icone,
                    Reponse parDefaut) override {
        lancer(texte);
        return DialoguesScript::message(texte, titre, boutons, icone, parDefaut);
    }
    std::optional<QString> saisie(const QString& invite, const QString& titre,
                                  const QString& defaut,
                                  const Verification& verification) override {
        lancer(invite);
        return DialoguesScript::saisie(invite, titre, defaut, verification);
    }
    int compter(const QString& texte) const { return int(textes().count(texte)); }

  private:
    void lancer(const QString& texte) {
        if (auto f = std::exchange(pendant, nullptr))
            f(texte);
    }
};

inline QString offre() {
    return QStringLiteral("Imprimer le Ticket et passer à la vente suivante ?");
}
inline QString refus() {
    return QStringLiteral(
        "Il n'est pas possible de terminer un ticket avec une somme restant à payer...");
}

struct CaisseTest {
    BoutiqueTest b;
    DialoguesCaisse dialogues;
    ImprimantesTest imprimantes{{QStringLiteral("Imprimante PDF"), QStringLiteral("Ticket 80")}};
    Services services{b.installation(), b.bdd,         dialogues, imprimantes, b.lanceur,
                      b.horloge,        b.progression, b.fin,     b.cle};
    std::unique_ptr<ParametresTab> parametres;
    std::unique_ptr<CaisseTab> tab;

    CaisseTest() {
        exiger(b.ouvrir(), "opening the shop");
        exiger(b.sql("INSERT INTO ARTICLES (CodeArticle, libelle, taille, couleur, PrixVenteTTC, "
                     "tauxTVAvente, EnStock) VALUES "
                     "('ART000001', 'Pull ', 'M ', NULL, 40, 19.6, 5), "
                     "('ART000002', 'Jean ', '40 ', 'Bleu ', 45.2, 19.6, 5), "
                     "('ART000003', 'Chaussettes ', NULL, NULL, 19.99, 19.6, 5), "
                     "('ART000004', 'Ruban ', NULL, NULL, 0.1, 19.6, 5), "
                     "('ART000005', 'Bouton ', NULL, NULL, 0.2, 19.6, 5), "
                     "('O''NEIL 7', 'Veste ', NULL, NULL, 80, 19.6, 2)"),
               "the till's articles");
        parametres = std::make_unique<ParametresTab>(services);
        parametres->chargerImprimantes();
        parametres->chargerRoles();
        demarrer();
    }

    // The start-up of the till on this shop (again after a restart).
    void demarrer() {
        tab = std::make_unique<CaisseTab>(services);
        tab->nouveauTicket();
        tab->resize(680, 500);
        tab->show();
    }

    template <typename T = QLabel> T* controle(const QString& nom) const {
        T* c = tab->findChild<T*>(nom);
        if (!c)
            qWarning("controle absent : %s", qPrintable(nom));
        return c;
    }
    QString texte(const QString& nom) const { return controle<QLabel>(nom)->text(); }
    QLineEdit* saisie() const { return controle<QLineEdit>(QStringLiteral("saisie")); }
    Surface& ecran() const { return controle<PictureBox>(QStringLiteral("ticket"))->surface(); }

    // Typed or scanned text followed by Enter.
    void taper(const QString& t) const {
        QTest::keyClicks(saisie(), t);
        QTest::keyClick(saisie(), Qt::Key_Return);
    }
    void cliquer(const QString& bouton) const {
        QTest::mouseClick(controle<QPushButton>(bouton), Qt::LeftButton);
    }
    qint64 numero() const { return texte(QStringLiteral("numticket")).toLongLong(); }

    // The lines of a ticket as "code|amount|VAT|qt".
    QStringList lignes(qint64 ticket) {
        QSqlQuery q(b.bdd.connexion());
        QStringList r;
        if (!executer(q,
                      "SELECT CodeArticle, PrixVenteTTC, TVA, qt FROM VENTES WHERE NumeroTicket = "
                      "? ORDER BY Id",
                      {ticket}))
            return {QStringLiteral("(lignes illisibles)")};
        while (q.next())
            r << QStringLiteral("%1|%2|%3|%4")
                     .arg(q.value(0).toString())
                     .arg(q.value(1).toDouble())
                     .arg(q.value(2).isNull() ? QStringLiteral("NULL") : q.value(2).toString())
                     .arg(q.value(3).toDouble());
        return r;
    }
    QStringList lignes() { return lignes(numero()); }
    QStringList codes(qint64 ticket) {
        QStringList r;
        for (const QString& l : lignes(ticket))
            r << l.section(u'|', 0, 0);
        return r;
    }
    bool clos(qint64 ticket) {
        return b.valeur("SELECT TicketClos FROM TICKETS WHERE NumeroTicket = ?", {ticket})
                   .toInt() == 1;
    }
    static QStringList textes(const Surface& s) {
        QStringList r;
        for (const auto& t : s.textes())
            r << t.texte;
        return r;
    }
};
