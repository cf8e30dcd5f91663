#pragma once

#include "register/ui/clavierboitemodale.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QKeyEvent;
class QLineEdit;
class QWidget;

// Keeps every scan for the till. A keyboard-wedge scanner types a code as a burst of keys, each
// within a few milliseconds of the last, ended by Return: far faster than a person types.
// - While the till shows one of its boxes (an amount to type, the closing offer), such a burst
//   is a scan, never an answer: what it typed into a box is put back as it was, its Return does
//   not press a button, and the code is handed over as a scan, processed once the box is closed.
// - Keys meant for another control of the Caisse tab (a button that took the focus) go to the
//   entry box, so that a scan never presses a button.
class CaptureScanner : public QObject {
  public:
    // The longest gap between two keys of one burst (ms).
    static constexpr qint64 ecartMaximal = 50;

    CaptureScanner(QWidget* caisse, QLineEdit* saisie, std::function<void(const QString&)> scan);
    ~CaptureScanner() override;

    // The till shows one of its boxes (boxes may open inside boxes).
    void ouvrirBoite() { ++boitesOuvertes_; }
    // The box is gone. When it was the last one, a scan it cut short (a burst still under way, its
    // Return not yet typed) is taken out of the boxes it typed into and given back: the entry box
    // takes it (reprendre) once the answer has been acted upon, and its next keys follow there.
    QString fermerBoite();
    void reprendre(const QString& debutDeScan);

  protected:
    bool eventFilter(QObject* cible, QEvent* e) override;

  private:
    // A line edit as it was before the burst typed into it.
    struct Avant {
        QPointer<QLineEdit> champ;
        QString texte;
        int curseur = 0;
        int debutSelection = -1;
        int longueurSelection = 0;
        void remettre() const;
    };
    qint64 moment(const QKeyEvent* k) const;
    bool dansLaCaisse(QObject* cible) const;
    // Sends the key to the entry box instead.
    bool rediriger(QKeyEvent* k);

    QWidget* caisse_;
    QLineEdit* saisie_;
    std::function<void(const QString&)> scan_;
    int boitesOuvertes_ = 0;
    QString rafale_;
    QList<Avant> avant_;
    qint64 dernier_ = -1;
    qint64 dernierRecu_ = -1; // when the burst's last key reached the program
    // A scan's end just taken: the other key of a CR LF pair belongs to it.
    std::optional<bool> finScan_;
    QElapsedTimer horloge_;
    ClavierBoiteModale versLesBoites_;
};
