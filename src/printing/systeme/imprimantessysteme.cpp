#include "printing/systeme/imprimantessysteme.h"

#include "platform/fichiers.h"
#include "printing/surface.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>

namespace {
constexpr double dpiPdf = 600;
constexpr double largeurTicketMm = 80;
// A receipt is drawn on a surface this long; its page is cut to the drawing at EndDoc.
constexpr double surfaceTicketMm = 3000;
constexpr double margeTicketMm = 5;
constexpr double longueurTicketMiniMm = 20;
constexpr int fichiersParSecondeMaxi = 999;

QPageSize pageTicket(double longueurMm) {
    return QPageSize(QSizeF(largeurTicketMm, longueurMm), QPageSize::Millimeter,
                     QStringLiteral("Ticket"), QPageSize::ExactMatch);
}

QPageLayout miseEnPage(FormatPapier format, double longueurTicketMm = surfaceTicketMm) {
    if (format == FormatPapier::Ticket)
        return QPageLayout(pageTicket(longueurTicketMm), QPageLayout::Portrait, QMarginsF(),
                           QPageLayout::Millimeter);
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

// The pages worth sending: up to the last one with a drawing (a new page left blank at the
// end is not sent).
int pagesAEnvoyer(const Surface& s) {
    for (int page = s.nombrePages() - 1; page >= 0; --page)
        if (!s.pageVide(page))
            return page + 1;
    return 0;
}

// A receipt page: as long as the drawing, and a margin to tear it off.
double longueurTicketMm(const Surface& s, int page) {
    const double basMm = unites::depuisPixels(s.versPixels(s.basDessinPage(page)),
                                              unites::Unite::Millimetres, s.dpi());
    return std::clamp(basMm + margeTicketMm, longueurTicketMiniMm, surfaceTicketMm);
}

// Replays the pages onto a printer or a PDF writer; false if the device refused them.
bool envoyer(QPagedPaintDevice& peripherique, const Surface& s, FormatPapier format, int pages,
             double dpi) {
    QPainter p;
    for (int page = 0; page < pages; ++page) {
        if (format == FormatPapier::Ticket)
            peripherique.setPageSize(pageTicket(longueurTicketMm(s, page)));
        if (page == 0 ? !p.begin(&peripherique) : !peripherique.newPage())
            return false;
        s.rejouer(p, page, dpi);
    }
    return p.end();
}

// Whether CUPS refused the job just sent from this thread (a queue that does not accept jobs,
// a server gone), and its reason. Qt's print support sends the job at the end of the painting
// and does not look at the answer; libcups keeps the answer of the thread's last request, in
// the library Qt's print support has loaded.
bool refuseParCups(QString* raison) {
    using Statut = int (*)();
    using Texte = const char* (*)();
    static const auto statut =
        reinterpret_cast<Statut>(QLibrary::resolve(QStringLiteral("cups"), 2, "cupsLastError"));
    static const auto texte = reinterpret_cast<Texte>(
        QLibrary::resolve(QStringLiteral("cups"), 2, "cupsLastErrorString"));
    // Answers 0x0000 to 0x00ff are the successful ones.
    constexpr int dernierSucces = 0x00ff;
    if (!statut)
        return false;
    const int s = statut();
    if (s >= 0 && s <= dernierSucces)
        return false;
    const char* t = texte ? texte() : nullptr;
    *raison = t ? QString::fromUtf8(t).trimmed() : QString();
    return true;
}

std::unique_ptr<Surface> surfaceDe(const QPageLayout& page, double dpi) {
    const QRect zone = page.paintRectPixels(int(dpi));
    auto s = std::make_unique<Surface>(zone.width(), zone.height(), dpi);
    s->setImprimante(true);
    return s;
}

// A job drawn on a surface of its own. EndDoc sends the pages up to the last drawn one (a job
// with nothing drawn sends nothing and succeeds), then leaves the surface empty for the next
// job, whether the pages went or not.
class TravailSurSurface : public TravailImpression {
  public:
    Surface& surface() override { return *surface_; }

    Resultat<> EndDoc() final {
        const int pages = pagesAEnvoyer(*surface_);
        if (pages == 0)
            return {};
        auto vider = qScopeGuard([this] { surface_->vider(); });
        return envoyerPages(pages);
    }

  protected:
    // Sends the first `pages` pages of the surface; fails with a French reason when they could
    // not be sent.
    virtual Resultat<> envoyerPages(int pages) = 0;

    std::unique_ptr<Surface> surface_;
};

// "Imprimante PDF": each job is a new file of the folder "Impressions".
class TravailPdf : public TravailSurSurface {
  public:
    TravailPdf(QString dossier, FormatPapier format)
        : dossier_(std::move(dossier)), format_(format) {
        surface_ = surfaceDe(miseEnPage(format), dpiPdf);
    }

  private:
    Resultat<> envoyerPages(int pages) override {
        if (Resultat<> dossier = creerDossier(dossier_); !dossier)
            return dossier;
        QFile fichier;
        if (Resultat<> ouvert = ouvrirNouveauFichier(fichier); !ouvert)
            return ouvert;
        {
            QPdfWriter pdf(&fichier);
            pdf.setResolution(int(dpiPdf));
            pdf.setCreator(QStringLiteral("TALMIR_vestimentaire"));
            pdf.setTitle(QFileInfo(fichier).completeBaseName());
            pdf.setPageLayout(miseEnPage(format_));
            if (!envoyer(pdf, *surface_, format_, pages, dpiPdf)) {
                const QString raison = raisonFichier(fichier);
                fichier.remove();
                return echec(raison);
            }
        }
        fichier.close();
        if (fichier.error() != QFileDevice::NoError) {
            const QString raison = raisonFichier(fichier);
            fichier.remove();
            return echec(raison);
        }
        return {};
    }

    // A name that sorts after every earlier job: the moment, then a counter within the second.
    Resultat<> ouvrirNouveauFichier(QFile& fichier) const {
        const QString moment =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
        int compteur = 1;
        const QStringList deja =
            QDir(dossier_).entryList({moment + QStringLiteral("_*.pdf")}, QDir::Files);
        for (const QString& nom : deja)
            compteur = std::max(compteur, nom.mid(moment.size() + 1, 3).toInt() + 1);
        for (; compteur <= fichiersParSecondeMaxi; ++compteur) {
            fichier.setFileName(QDir(dossier_).filePath(
                QStringLiteral("%1_%2.pdf").arg(moment).arg(compteur, 3, 10, QLatin1Char('0'))));
            errno = 0;
            if (fichier.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                return {};
            if (!fichier.exists())
                return echec(raisonFichier(fichier));
        }
        return echec(QStringLiteral("trop d'impressions dans la même seconde"));
    }

    QString dossier_;
    FormatPapier format_;
};

// A CUPS queue.
class TravailCups : public TravailSurSurface {
  public:
    TravailCups(QString nom, FormatPapier format, ImprimantesSysteme::SourceSysteme source)
        : nom_(std::move(nom)), format_(format), source_(std::move(source)) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(nom_);
        double dpi = dpiPdf;
        QPageLayout page = miseEnPage(format);
        if (!info.isNull()) {
            QPrinter imprimante(info, QPrinter::HighResolution);
            preparer(imprimante);
            dpi = imprimante.resolution();
            page = imprimante.pageLayout();
        }
        surface_ = surfaceDe(page, dpi);
    }

  private:
    Resultat<> envoyerPages(int pages) override {
        const QPrinterInfo info = QPrinterInfo::printerInfo(nom_);
        if (!source_().noms.contains(nom_) || info.isNull())
            return echec(QStringLiteral("l'imprimante « %1 » n'est plus installée").arg(nom_));
        QPrinter imprimante(info, QPrinter::HighResolution);
        preparer(imprimante);
        if (!envoyer(imprimante, *surface_, format_, pages, imprimante.resolution()))
            return echec(QStringLiteral("l'imprimante « %1 » refuse le travail").arg(nom_));
        QString raison;
        const bool refuse = refuseParCups(&raison);
        if (!refuse && imprimante.printerState() != QPrinter::Error)
            return {};
        if (raison.isEmpty())
            return echec(QStringLiteral("l'impression sur « %1 » a échoué").arg(nom_));
        return echec(QStringLiteral("l'impression sur « %1 » a échoué : %2").arg(nom_, raison));
    }

    void preparer(QPrinter& imprimante) const {
        imprimante.setDocName(QStringLiteral("TALMIR_vestimentaire"));
        imprimante.setFullPage(false);
        if (format_ == FormatPapier::Ticket) {
            imprimante.setPageLayout(miseEnPage(format_));
        } else {
            // A4 within the printer's own margins: the drawing starts at the printable area.
            imprimante.setPageSize(QPageSize(QPageSize::A4));
        }
    }

    QString nom_;
    FormatPapier format_;
    ImprimantesSysteme::SourceSysteme source_;
};
} // namespace

ImprimantesSysteme::Systeme ImprimantesSysteme::systemeCups() {
    return {QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName()};
}

ImprimantesSysteme::ImprimantesSysteme(QString dossierProgramme)
    : ImprimantesSysteme(std::move(dossierProgramme), &ImprimantesSysteme::systemeCups) {}

ImprimantesSysteme::ImprimantesSysteme(QString dossierProgramme, SourceSysteme source)
    : dossier_(std::move(dossierProgramme)), source_(std::move(source)) {
    courante_ = imprimanteParDefaut();
}

QStringList ImprimantesSysteme::imprimantes() const {
    return source_().noms << nomImprimantePdf();
}

QString ImprimantesSysteme::imprimanteParDefaut() const {
    const QString defaut = source_().defaut;
    return defaut.isEmpty() ? nomImprimantePdf() : defaut;
}

void ImprimantesSysteme::SelectPrinter(const QString& nom) {
    // Exact device names only: same letters, same case, no trimming.
    const QStringList noms = imprimantes();
    const auto trouve = std::find(noms.begin(), noms.end(), nom);
    if (trouve != noms.end())
        courante_ = *trouve;
}

QString ImprimantesSysteme::imprimanteCourante() const {
    return courante_;
}

QString ImprimantesSysteme::dossierImpressions() const {
    return QDir(dossier_).filePath(nomDossierImpressions());
}

std::unique_ptr<TravailImpression> ImprimantesSysteme::commencer(FormatPapier format) {
    // A system queue named like the virtual printer comes first in the list, so it wins. A
    // queue removed since it was selected stays current: its job fails at EndDoc.
    if (courante_ == nomImprimantePdf() && !source_().noms.contains(courante_))
        return std::make_unique<TravailPdf>(dossierImpressions(), format);
    return std::make_unique<TravailCups>(courante_, format, source_);
}
