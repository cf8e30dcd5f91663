#include "frame/ui/intro.h"

#include "common/ui/fenetres.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <QWindow>

namespace {
// The longest wait for the window manager to show the splash.
constexpr int kAttenteAffichageMs = 3000;

// The bar picture of "scroll": 602 x 33 pixels.
class Barre : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(120, 200, 190));
        g.setColorAt(1, QColor(0, 110, 110));
        p.fillRect(rect(), g);
    }
};
} // namespace

Intro::Intro(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("intro"));
    setFixedSize(600, 400);
    setWindowTitle(QStringLiteral("TALMIR_vestimentaire"));
    scroll = new Barre(this);
    scroll->setObjectName(QStringLiteral("scroll"));
    scroll->setGeometry(0, 400 - 33 - 12, 0, 33);
}

void Intro::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fond(0, 0, 0, height());
    fond.setColorAt(0, QColor(250, 246, 240));
    fond.setColorAt(1, QColor(226, 214, 198));
    p.fillRect(rect(), fond);
    // A coat hanger, the shop's sign.
    p.setPen(QPen(QColor(0, 110, 110), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawArc(QRectF(282, 60, 36, 36), 0, 180 * 16);
    p.drawLine(QPointF(318, 78), QPointF(300, 112));
    p.drawPolyline(
        QPolygonF({QPointF(300, 112), QPointF(200, 170), QPointF(400, 170), QPointF(300, 112)}));
    p.setPen(QColor(40, 40, 40));
    QFont titre(QStringLiteral("Liberation Sans"), 30, QFont::Bold);
    p.setFont(titre);
    p.drawText(QRectF(0, 190, 600, 60), Qt::AlignCenter, QStringLiteral("TALMIR Vestimentaire"));
    QFont sous(QStringLiteral("Liberation Sans"), 13);
    p.setFont(sous);
    p.drawText(QRectF(0, 250, 600, 30), Qt::AlignCenter,
               QStringLiteral("Point de vente et gestion du stock"));
    p.drawText(QRectF(0, 300, 600, 30), Qt::AlignCenter, QStringLiteral("Chargement en cours…"));
}

void Intro::montrer() {
    if (!centree_) {
        centrerFenetre(this);
        centree_ = true;
    }
    show();
    raise();
    attendreAffichage();
    repaint();
}

void Intro::attendreAffichage() {
    // Under a window manager a new window can be drawn only once the manager has mapped it and
    // the display has exposed it: a painting before that is lost, and the long steps that
    // follow leave the screen empty. The display's events run meanwhile (the operator's input
    // does not), for a bounded time.
    QWindow* fenetre = windowHandle();
    if (!fenetre || fenetre->isExposed())
        return;
    const QDeadlineTimer limite(kAttenteAffichageMs);
    QEventLoop boucle;
    QTimer regard;
    regard.setInterval(5);
    QObject::connect(&regard, &QTimer::timeout, &boucle, [&] {
        if (fenetre->isExposed() || limite.hasExpired())
            boucle.quit();
    });
    regard.start();
    boucle.exec(QEventLoop::ExcludeUserInputEvents);
}

void Intro::progresser(qint64 fait, qint64 total) {
    const int largeur = total > 0 ? int(double(fait) / double(total) * width()) : 0;
    if (largeur == scroll->width())
        return;
    scroll->resize(largeur, scroll->height());
    // Shown at the screen's pace, not at every pixel: a list of a hundred thousand articles
    // would spend its time drawing the bar.
    constexpr qint64 kImageMs = 15;
    if (isVisible() &&
        (fait >= total || !depuisRepeinture_.isValid() || depuisRepeinture_.hasExpired(kImageMs))) {
        scroll->repaint();
        depuisRepeinture_.start();
        ++repeintures_;
    }
}

void Intro::fermer() {
    hide();
    scroll->resize(0, scroll->height());
    centree_ = false; // the next show centres it again
}
