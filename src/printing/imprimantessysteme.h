#pragma once

#include "printing/serviceimpression.h"

// The machine's printers: CUPS queues through QPrinterInfo, then "Imprimante PDF", which writes
// each job as a new PDF file into the folder "Impressions" of the program folder.
class ImprimantesSysteme : public ServiceImpression {
  public:
    explicit ImprimantesSysteme(QString dossierProgramme);
    QStringList imprimantes() const override;
    QString imprimanteParDefaut() const override;
    void SelectPrinter(const QString& nom) override;
    QString imprimanteCourante() const override;
    std::unique_ptr<TravailImpression> commencer(FormatPapier format) override;

  private:
    QString dossier_;
    QString courante_;
};
