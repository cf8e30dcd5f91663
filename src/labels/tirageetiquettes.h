#pragma once

#include "common/resultat.h"
#include "frame/services.h"
#include "labels/etiquette.h"
#include "labels/grilleetiquettes.h"

#include <QList>
#include <QStringList>

class Image;
class Surface;

// Follows a printer run sheet by sheet (a progress window with a stop button).
class SuiviTirage {
  public:
    virtual ~SuiviTirage() = default;
    // Called after each printed sheet; false stops the run there.
    virtual bool continuer(qint64 feuillesImprimees, qint64 feuillesEnTout) = 0;
    // The printing is over (whatever its end), before the operator is asked anything.
    virtual void terminer() {}
};

// How a label run ended.
struct BilanTirage {
    enum class Fin {
        Complet,          // every label drawn (the preview: its first sheet)
        Refuse,           // the operator did not want that many sheets: nothing printed
        Interrompu,       // stopped by the operator between two sheets
        ErreurImprimante, // a sheet did not reach the printer (the sheets before it did)
        ErreurLecture     // the articles could not be read
    };
    Fin fin = Fin::Complet;
    qint64 feuilles = 0;       // sheets drawn (on the printer: sheets sent)
    qint64 etiquettes = 0;     // labels drawn
    int depart = 0;            // first position used on the first sheet
    int positionFinale = 0;    // first free position after the last label
    QStringList sansCodeBarre; // codes of the articles whose labels have no bars
    bool enregistre = false;   // the operator confirmed: counts and start position recorded
};

// The label run: every article with labels to print, in code order, on sheets of 4 x 9 labels,
// starting at the first free position of the sheet left in the printer.
class TirageEtiquettes {
  public:
    explicit TirageEtiquettes(const Services& services) : services_(services) {}

    // Above this many sheets the operator is asked before anything is printed.
    static constexpr qint64 feuillesSansQuestion = 50;

    void setSuivi(SuiviTirage* suivi) { suivi_ = suivi; }

    // The preview: the first sheet that the next printer run would print, on the page `fond`
    // (cleared first). `images` receives the label background.
    BilanTirage imprimer(Surface& fond, Image& images);
    // On the current printer, one print job a sheet; then the operator says whether the labels
    // came out right, and only a Yes records the run: the labels printed are no longer to print
    // and the next run starts at the first free position of the last sheet.
    BilanTirage imprimer(ServiceImpression& imprimante, Image& images);

  private:
    struct Lot;
    bool preparer(Lot& lot, Image& images, BilanTirage& bilan);
    bool confirmerNombre(qint64 etiquettes, qint64 feuilles);
    void signalerSansCodeBarre(const QStringList& codes);
    void enregistrer(const Lot& lot, const BilanTirage& bilan);
    // The labels printed are no longer to print, in one transaction.
    Resultat<> remettreAZero(const Lot& lot, const BilanTirage& bilan);

    Services services_;
    SuiviTirage* suivi_ = nullptr;
};
