#pragma once

#include "printing/serviceimpression.h"

#include <functional>

// The machine's printers: CUPS queues through QPrinterInfo, then "Imprimante PDF", which writes
// each job as a new PDF file into the folder "Impressions" of the program folder.
//
// A job draws on a surface at the printer's resolution and sends its pages at EndDoc: A4 pages
// for FormatPapier::A4; for FormatPapier::Ticket one roll page 80 mm wide and as long as the
// drawing. The PDF files are named after the moment they are written, with a counter
// ("2026-12-10_14-03-07_001.pdf"), so that their names sort in printing order.
class ImprimantesSysteme : public ServiceImpression {
  public:
    // The system's printer queues: device names in the system's order, and the default one.
    struct Systeme {
        QStringList noms;
        QString defaut;
    };
    using SourceSysteme = std::function<Systeme()>;

    explicit ImprimantesSysteme(QString dossierProgramme);
    // The queues come from `source` instead of CUPS (tests).
    ImprimantesSysteme(QString dossierProgramme, SourceSysteme source);

    QStringList imprimantes() const override;
    QString imprimanteParDefaut() const override;
    void SelectPrinter(const QString& nom) override;
    QString imprimanteCourante() const override;
    std::unique_ptr<TravailImpression> commencer(FormatPapier format) override;

    // The folder of the virtual printer's files.
    QString dossierImpressions() const;
    static QString nomDossierImpressions() { return QStringLiteral("Impressions"); }

    // The CUPS queues through QPrinterInfo.
    static Systeme systemeCups();

  private:
    QString dossier_;
    SourceSysteme source_;
    QString courante_;
};
