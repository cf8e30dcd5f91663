#include "printing/surface.h"

#include "printing/image.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

// What a surface keeps of each drawing operation, in pixels at the surface's resolution.
struct Surface::Operation {
    struct Texte {
        QPointF position; // top-left corner
        double ascent = 0;
        QString texte;
        QFont police;
        QColor couleur;
    };
    struct Dessin {
        QRectF cible;
        Image image;
    };
    struct Rectangles {
        QList<QRectF> rectangles;
        QColor couleur;
    };
    std::variant<Texte, Dessin, Rectangles> quoi;
    double bas = 0; // the lowest point the operation covers

    // Whether the operation draws the same as `autre`.
    bool operator==(const Operation& autre) const {
        if (quoi.index() != autre.quoi.index() || bas != autre.bas)
            return false;
        if (const auto* t = std::get_if<Texte>(&quoi)) {
            const Texte& u = std::get<Texte>(autre.quoi);
            return t->position == u.position && t->ascent == u.ascent && t->texte == u.texte &&
                   t->couleur == u.couleur && t->police == u.police;
        }
        if (const auto* d = std::get_if<Dessin>(&quoi)) {
            const Dessin& e = std::get<Dessin>(autre.quoi);
            return d->cible == e.cible && d->image == e.image;
        }
        const Rectangles& r = std::get<Rectangles>(quoi);
        const Rectangles& q = std::get<Rectangles>(autre.quoi);
        return r.couleur == q.couleur && r.rectangles == q.rectangles;
    }
};

namespace {
constexpr double tailleMaxi = 1000; // points

bool fini(double v) {
    return std::isfinite(v);
}
} // namespace

Surface::Surface(double largeurPixels, double hauteurPixels, double dpi)
    : dpi_(dpi > 0 && fini(dpi) ? dpi : 96), largeurPx_(std::max(0.0, largeurPixels)),
      hauteurPx_(std::max(0.0, hauteurPixels)), police_(policeParDefaut()), pages_(1),
      basPages_(1, 0.0),
      mesure_(std::make_unique<QImage>(1, 1, QImage::Format_ARGB32_Premultiplied)) {
    police_.setPointSizeF(taillePoliceParDefaut);
    const int pointsParMetre = int(std::lround(dpi_ / 0.0254));
    mesure_->setDotsPerMeterX(pointsParMetre);
    mesure_->setDotsPerMeterY(pointsParMetre);
}

Surface::~Surface() = default;

QString Surface::familleReelle(const QString& nom) {
    const QString n = nom.trimmed();
    for (const char* sans : {"Arial", "MS Sans Serif", "Trebuchet MS"})
        if (n.compare(QLatin1String(sans), Qt::CaseInsensitive) == 0)
            return QStringLiteral("Liberation Sans");
    for (const char* lcd : {"LcdD", "GlaserSteD"})
        if (n.compare(QLatin1String(lcd), Qt::CaseInsensitive) == 0)
            return QStringLiteral("DSEG7 Classic");
    return n;
}

QFont Surface::policeReelle(const QString& nom, double points, bool gras) {
    QFont f(familleReelle(nom));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(gras);
    // Unhinted widths: a text measures the same, to the scale, on screen, on paper and in PDF.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QFont Surface::policeEffective() const {
    if (!policeEffective_)
        policeEffective_ = policeReelle(police_.family(), police_.pointSizeF(), police_.bold());
    return *policeEffective_;
}

const QFontMetricsF& Surface::metriques() const {
    if (!metriques_)
        metriques_.emplace(policeEffective(), mesure_.get());
    return *metriques_;
}

void Surface::policeChangee() {
    policeEffective_.reset();
    metriques_.reset();
    largeursPolice_ = nullptr;
}

double Surface::hauteurLignePx() const {
    return metriques().lineSpacing();
}

void Surface::Cls() {
    if (!imprimante_)
        vider();
}

void Surface::vider() {
    Modification m{QRectF(), true};
    if (rappel_) {
        // What the drawing before this one left beyond the last one, then this one kept to be
        // compared with the next.
        m.zone = zoneDepuis(avant_, pages_.front().size());
        avant_ = std::move(pages_.front());
    }
    pages_.assign(1, {});
    basPages_.assign(1, 0.0);
    textes_.clear();
    x_ = y_ = 0;
    ++dessin_;
    if (rappel_)
        rappel_(m);
}

Surface::Marque Surface::marque() const {
    return {pages_.size() == 1 ? dessin_ : 0,
            pages_.front().size(),
            textes_.size(),
            x_,
            y_,
            basPages_.front(),
            echelle_,
            police_,
            couleur_};
}

bool Surface::revenirA(const Marque& m) {
    if (m.dessin != dessin_ || pages_.size() != 1 || m.operations > pages_.front().size() ||
        m.textes > textes_.size())
        return false;
    Modification modif{QRectF(), true};
    std::vector<Operation>& page = pages_.front();
    if (rappel_) {
        // As after a Cls: the drawing as it is is what the next operations are compared with.
        modif.zone = zoneDepuis(avant_, page.size());
        avant_ = page;
    }
    page.erase(page.begin() + qsizetype(m.operations), page.end());
    textes_.resize(m.textes);
    basPages_.front() = m.bas;
    x_ = m.x;
    y_ = m.y;
    echelle_ = m.echelle;
    police_ = m.police;
    couleur_ = m.couleur;
    policeChangee();
    if (rappel_)
        rappel_(modif);
    return true;
}

QRectF Surface::zone(const Operation& op) {
    if (const auto* t = std::get_if<Operation::Texte>(&op.quoi))
        // The whole row, to the right edge: a text's width is not kept.
        return QRectF(std::min(0.0, t->position.x()), t->position.y(), 1e6,
                      op.bas - t->position.y());
    if (const auto* d = std::get_if<Operation::Dessin>(&op.quoi))
        return d->cible;
    QRectF r;
    for (const QRectF& rect : std::get<Operation::Rectangles>(op.quoi).rectangles)
        r |= rect;
    return r;
}

QRectF Surface::zoneDepuis(const std::vector<Operation>& ops, size_t debut) {
    QRectF r;
    for (size_t i = debut; i < ops.size(); ++i)
        r |= zone(ops[i]);
    return r;
}

QRectF Surface::zoneRetiree() {
    const size_t dessinees = pages_.front().size();
    const QRectF r = zoneDepuis(avant_, dessinees);
    if (avant_.size() > dessinees)
        avant_.erase(avant_.begin() + qsizetype(dessinees), avant_.end());
    return r;
}

void Surface::setScaleMode(Echelle e) {
    // The drawing position stays where it is on the surface, expressed in the new scale.
    const double px = versPixels(x_), py = versPixels(y_);
    echelle_ = e;
    x_ = depuisPixels(px);
    y_ = depuisPixels(py);
}

double Surface::versPixels(double v) const {
    return unites::versPixels(v, echelle_, dpi_);
}

double Surface::depuisPixels(double px) const {
    return unites::depuisPixels(px, echelle_, dpi_);
}

double Surface::ScaleWidth() const {
    return depuisPixels(taille_ ? taille_().width() : largeurPx_);
}

double Surface::ScaleHeight() const {
    return depuisPixels(taille_ ? taille_().height() : hauteurPx_);
}

void Surface::redimensionner(double largeurPixels, double hauteurPixels) {
    largeurPx_ = std::max(0.0, largeurPixels);
    hauteurPx_ = std::max(0.0, hauteurPixels);
}

void Surface::setFontName(const QString& nom) {
    police_.setFamily(nom);
    policeChangee();
}

void Surface::setFontSize(double points) {
    if (fini(points) && points > 0)
        police_.setPointSizeF(std::min(points, tailleMaxi));
    policeChangee();
}

void Surface::setFontBold(bool gras) {
    police_.setBold(gras);
    policeChangee();
}

void Surface::ajouter(Operation op) {
    basPages_.back() = std::max(basPages_.back(), op.bas);
    Modification m;
    if (rappel_) {
        // Unchanged when the drawing before the Cls had the same operation at this rank.
        const size_t rang = pages_.back().size();
        const bool premiere = pages_.size() == 1;
        if (!premiere || rang >= avant_.size())
            m.zone = zone(op);
        else if (!(avant_[rang] == op))
            m.zone = zone(op) | zone(avant_[rang]);
    }
    pages_.back().push_back(std::move(op));
    if (rappel_)
        rappel_(m);
}

void Surface::dessinerTexte(const QString& texte) {
    const int page = int(pages_.size()) - 1;
    textes_.append({x_, y_, texte, FontBold(), FontName(), FontSize(), page, echelle_});
    if (texte.isEmpty())
        return;
    const QFontMetricsF& m = metriques();
    const QPointF coin(versPixels(x_), versPixels(y_));
    Operation op{Operation::Texte{coin, m.ascent(), texte, policeEffective(), couleur_},
                 coin.y() + m.lineSpacing()};
    ajouter(std::move(op));
}

void Surface::Print(const QString& texte) {
    dessinerTexte(texte);
    x_ = 0;
    y_ += depuisPixels(hauteurLignePx());
}

void Surface::PrintSuite(const QString& texte) {
    dessinerTexte(texte);
    x_ += TextWidth(texte);
}

void Surface::Print() {
    x_ = 0;
    y_ += depuisPixels(hauteurLignePx());
}

double Surface::TextWidth(const QString& texte) const {
    if (!largeursPolice_)
        largeursPolice_ = &largeurs_[policeEffective().key()];
    auto connue = largeursPolice_->constFind(texte);
    if (connue == largeursPolice_->cend()) {
        // Every text of a shop's printouts, many times over, stays well within this.
        constexpr qsizetype kTextesRetenus = 20000;
        if (largeursPolice_->size() >= kTextesRetenus)
            largeursPolice_->clear();
        connue = largeursPolice_->insert(texte, metriques().horizontalAdvance(texte));
    }
    return depuisPixels(*connue);
}

double Surface::TextHeight(const QString& texte) const {
    return depuisPixels(hauteurLignePx() * (texte.count(u'\n') + 1));
}

void Surface::PaintPicture(const Image& image, double x, double y, double largeur, double hauteur) {
    if (image.estNulle() || !fini(x) || !fini(y) || !fini(largeur) || !fini(hauteur) ||
        largeur == 0 || hauteur == 0)
        return;
    const QRectF cible =
        QRectF(versPixels(x), versPixels(y), versPixels(largeur), versPixels(hauteur)).normalized();
    ajouter({Operation::Dessin{cible, image}, cible.bottom()});
}

void Surface::LineBF(double x1, double y1, double x2, double y2, const QColor& couleur) {
    remplirRectangles({QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized()}, couleur);
}

void Surface::remplirRectangles(const QList<QRectF>& rectangles, const QColor& couleur) {
    QList<QRectF> px;
    px.reserve(rectangles.size());
    double bas = 0;
    for (const QRectF& r : rectangles) {
        if (!fini(r.x()) || !fini(r.y()) || !fini(r.width()) || !fini(r.height()))
            continue;
        const QRectF p = QRectF(versPixels(r.x()), versPixels(r.y()), versPixels(r.width()),
                                versPixels(r.height()))
                             .normalized();
        bas = std::max(bas, p.bottom());
        px.append(p);
    }
    if (!px.isEmpty())
        ajouter({Operation::Rectangles{std::move(px), couleur}, bas});
}

void Surface::NouvellePage() {
    pages_.emplace_back();
    basPages_.push_back(0.0);
    x_ = y_ = 0;
}

int Surface::nombrePages() const {
    return int(pages_.size());
}

bool Surface::pageVide(int page) const {
    return page < 0 || page >= nombrePages() || pages_[size_t(page)].empty();
}

double Surface::basDessin() const {
    return depuisPixels(basPages_.back());
}

double Surface::basDessinPage(int page) const {
    return page < 0 || page >= nombrePages() ? 0.0 : depuisPixels(basPages_[size_t(page)]);
}

void Surface::rejouer(QPainter& p, int page, double dpiCible, const QRectF& zone) const {
    if (page < 0 || page >= nombrePages() || !(dpiCible > 0))
        return;
    const double f = dpiCible / dpi_;
    // Fonts are sized in points for the device the painter draws on.
    const double dpiPeripherique =
        p.device() && p.device()->logicalDpiY() > 0 ? p.device()->logicalDpiY() : dpiCible;
    auto echelle = [f](const QRectF& r) {
        return QRectF(r.x() * f, r.y() * f, r.width() * f, r.height() * f);
    };
    p.save();
    for (const Operation& op : pages_[size_t(page)]) {
        if (const auto* t = std::get_if<Operation::Texte>(&op.quoi)) {
            if (!zone.isEmpty() && (t->position.y() * f > zone.bottom() || op.bas * f < zone.top()))
                continue;
            QFont police = t->police;
            police.setPointSizeF(police.pointSizeF() * dpiCible / dpiPeripherique);
            p.setFont(police);
            p.setPen(t->couleur);
            p.setRenderHint(QPainter::TextAntialiasing, true);
            p.drawText(QPointF(t->position.x() * f, (t->position.y() + t->ascent) * f), t->texte);
        } else if (const auto* d = std::get_if<Operation::Dessin>(&op.quoi)) {
            p.setRenderHint(QPainter::Antialiasing, true);
            d->image.dessiner(p, echelle(d->cible));
        } else if (const auto* r = std::get_if<Operation::Rectangles>(&op.quoi)) {
            // Crisp edges: bars of a bar code must not blur into their spaces.
            p.setRenderHint(QPainter::Antialiasing, false);
            for (const QRectF& rect : r->rectangles)
                p.fillRect(echelle(rect), r->couleur);
        }
    }
    p.restore();
}
