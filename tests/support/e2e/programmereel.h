#pragma once

// The real program in a real window: Xvfb, the openbox window manager and the built program in a
// temporary installation, typed into with xdotool as a keyboard-wedge scanner types (fast bursts
// of keys ending with Return). What depends on focus, a window manager or real key timing is
// checked here, by reading the shop database afterwards.

#include "support/testsupport.h"

#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class ProgrammeReel {
  public:
    // What this machine lacks to run the program for real (Xvfb, openbox, xdotool, the built
    // program); empty when nothing is missing. Tests skip with it.
    static QString manque();

    // A temporary installation: the program and its pictures copied in, and a shop database
    // (empty or the demo shop, made with the shop-database tool's code).
    explicit ProgrammeReel(BoutiqueTest::Base base = BoutiqueTest::Base::Demo);
    ~ProgrammeReel();
    ProgrammeReel(const ProgrammeReel&) = delete;
    ProgrammeReel& operator=(const ProgrammeReel&) = delete;

    BoutiqueTest& boutique() { return boutique_; }
    QString dossier() const { return boutique_.dossier(); }

    // Starts the display, the window manager and the program, and waits (bounded) for its main
    // window to be shown and active. False, with the reason in erreur(), otherwise.
    bool demarrer(const QStringList& arguments = {});
    // The same without waiting for any window of the program (a start that shows a box, or is
    // looked at while its splash is up).
    bool demarrerSansAttendre(const QStringList& arguments = {});
    const QString& erreur() const { return erreur_; }
    QProcess& processus() { return programme_; }

    // Types text into the focused window, `delaiMs` between keys (a scanner: a few ms).
    bool taper(const QString& texte, int delaiMs = 4);
    // Presses keys by their X names ("Return", "Tab", "Linefeed", "alt+F4"), in order.
    bool touches(const QStringList& noms, int delaiMs = 4);
    // A scan: the code typed fast, then its end keys, in one burst.
    bool scanner(const QString& code, const QStringList& fin = {QStringLiteral("Return")},
                 int delaiMs = 4);

    // Waits until `condition` holds, polling while the program runs; false after `delaiMs`.
    bool attendre(const std::function<bool()>& condition, int delaiMs = 20000);
    // Waits until a visible window whose title matches `titre` (a regular expression) is the
    // active window.
    bool attendreFenetreActive(const QString& titre, int delaiMs = 20000);
    // The title of the active window ("" when none).
    QString fenetreActive();
    // The id of a visible window whose title matches `titre` ("" when none), and the place and
    // size of a window (empty when it cannot be read).
    QString fenetreVisible(const QString& titre);
    QRect geometrie(const QString& fenetre);

    // One value read from the shop database through a connection of its own.
    QVariant valeur(const QString& sql, const QVariantList& valeurs = {}) const;
    // The lines of the event journal.
    QStringList journal() const { return boutique_.lignesJournal(); }
    // A picture of the whole screen (or of one window, by its id), for a failing test's report
    // or to look at what the program drew.
    bool capture(const QString& fichier, const QString& fenetre = QStringLiteral("root"));
    // Runs xdotool on the program's display; its standard output into `sortie`.
    bool xdotool(const QStringList& arguments, int delaiMs = 10000, QByteArray* sortie = nullptr);

    // Closes the main window as the close box does and waits for the program to end.
    bool arreter();

  private:
    // Xvfb on a free display, then openbox announced on it.
    bool ouvrirEcran();
    bool lancer(QProcess& p, const QString& programme, const QStringList& arguments);
    QProcessEnvironment environnement() const;

    BoutiqueTest boutique_;
    QTemporaryDir ecran_;
    QString display_;
    QProcess xvfb_;
    QProcess openbox_;
    QProcess programme_;
    QString erreur_;
};
