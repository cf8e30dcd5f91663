#include "printing/imprimantessysteme.h"

// Placeholder until the printer layer lands: only the virtual PDF printer.
ImprimantesSysteme::ImprimantesSysteme(QString dossierProgramme)
    : dossier_(std::move(dossierProgramme)), courante_(nomImprimantePdf()) {}

QStringList ImprimantesSysteme::imprimantes() const {
    return {nomImprimantePdf()};
}

QString ImprimantesSysteme::imprimanteParDefaut() const {
    return nomImprimantePdf();
}

void ImprimantesSysteme::SelectPrinter(const QString& nom) {
    if (imprimantes().contains(nom))
        courante_ = nom;
}

QString ImprimantesSysteme::imprimanteCourante() const {
    return courante_;
}

std::unique_ptr<TravailImpression> ImprimantesSysteme::commencer(FormatPapier) {
    return nullptr;
}
