#pragma once

#include "common/resultat.h"

#include <QString>
#include <QStringList>
#include <memory>

class Surface;

enum class FormatPapier {
    Ticket, // roll paper 80 mm wide, the page as long as the drawing
    A4      // paper-size code 9
};

// One print job: draw on its surface, then EndDoc sends the pages to the printer.
class TravailImpression {
  public:
    virtual ~TravailImpression() = default;
    virtual Surface& surface() = 0;
    // Ends the job; fails with a French reason when the printer could not take it.
    virtual Resultat<> EndDoc() = 0;
};

// The printers of the machine: the system's queues in its order, then the virtual printer
// "Imprimante PDF" that writes each job as a PDF file into the folder "Impressions".
class ServiceImpression {
  public:
    virtual ~ServiceImpression() = default;
    static QString nomImprimantePdf() { return QStringLiteral("Imprimante PDF"); }

    virtual QStringList imprimantes() const = 0;
    // The system's default printer, or the virtual one when the system has none.
    virtual QString imprimanteParDefaut() const = 0;
    // Makes current the first printer whose device name is exactly `nom`; otherwise the current
    // printer stays.
    virtual void SelectPrinter(const QString& nom) = 0;
    virtual QString imprimanteCourante() const = 0;
    // Starts a job on the current printer.
    virtual std::unique_ptr<TravailImpression> commencer(FormatPapier format) = 0;
};
