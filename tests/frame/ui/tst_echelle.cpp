#include "common/ui/miseaechelle.h"
#include "frame/ui/form1.h"
#include "frame/ui/placefenetre.h"
#include "printing/ui/picturebox.h"
#include "settings/ini32.h"
#include "support/testmain.h"
#include "support/testsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {
// The named controls of a tab that a user sees, Qt's own parts of a control left out.
QList<QWidget*> controlesVisibles(QWidget* onglet) {
    QList<QWidget*> liste;
    for (QWidget* w : onglet->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) ||
            !w->isVisibleTo(onglet) || w->isWindow() || w->size().isEmpty())
            continue;
        bool partie = false; // a part of a control (the line of a combo box)
        for (QWidget* p = w->parentWidget(); p && p != onglet; p = p->parentWidget())
            partie = partie || qobject_cast<QComboBox*>(p) || qobject_cast<QAbstractButton*>(p);
        if (!partie)
            liste << w;
    }
    return liste;
}

QRect dansLaFenetre(const QWidget* w) {
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

// The first two controls of the list that overlap (a control and a panel it lies in aside, and
// the one pixel of the design by which twips rounded to pixels may overlap, at its scale).
QString chevauchement(const QList<QWidget*>& controles, double facteur) {
    const int arrondi = int(std::ceil(facteur));
    for (qsizetype i = 0; i < controles.size(); ++i)
        for (qsizetype j = i + 1; j < controles.size(); ++j) {
            QWidget* a = controles[i];
            QWidget* b = controles[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            const QRect commun = dansLaFenetre(a).intersected(dansLaFenetre(b));
            if (!commun.isEmpty() && std::min(commun.width(), commun.height()) > arrondi)
                return a->objectName() + QStringLiteral(" chevauche ") + b->objectName();
        }
    return {};
}

QString sansRaccourci(QString texte) {
    return texte.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(u'&')
        .replace(u'\x01', u'&');
}

// Where a control's caption is drawn and how wide it is, or an empty text for a control whose
// caption is not its own (data typed or read) or that fits its caption itself.
QString legendeCoupee(QWidget* w) {
    if (w->inherits("AfficheurLcd") || w->inherits("BoutonMultiligne"))
        return {};
    int largeur = 0, place = 0;
    QString texte;
    if (auto* l = qobject_cast<QLabel*>(w)) {
        texte = l->text();
        if (texte.isEmpty() || l->textFormat() == Qt::RichText)
            return {};
        const QRect zone =
            l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (l->wordWrap()) {
            const QRect r =
                l->fontMetrics().boundingRect(zone, Qt::TextWordWrap | int(l->alignment()), texte);
            if (r.height() > zone.height() + 1 || r.width() > zone.width())
                return texte + QStringLiteral(" : texte plus haut que sa place");
            return {};
        }
        for (const QString& ligne : texte.split(u'\n'))
            largeur = std::max(largeur, l->fontMetrics().horizontalAdvance(ligne));
        place = zone.width();
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        texte = sansRaccourci(b->text());
        QStyleOptionButton o;
        o.initFrom(b);
        o.text = texte;
        largeur = b->fontMetrics().horizontalAdvance(texte);
        place = b->style()->subElementRect(QStyle::SE_PushButtonContents, &o, b).width();
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        texte = c->currentText();
        QStyleOptionComboBox o;
        o.initFrom(c);
        o.editable = c->isEditable();
        largeur = c->fontMetrics().horizontalAdvance(texte);
        place = c->style()
                    ->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, c)
                    .width();
    } else {
        return {};
    }
    if (largeur > place)
        return QStringLiteral("%1 « %2 » : %3 pixels pour %4")
            .arg(w->objectName(), texte)
            .arg(largeur)
            .arg(place);
    return {};
}

QString texteMontre(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    return {};
}

struct FenetreTest {
    BoutiqueTest b{BoutiqueTest::Base::Demo};
    Form1 f{b.services()};

    explicit FenetreTest(QSize taille) {
        exiger(f.demarrer(), "start-up");
        f.resize(taille);
        f.show();
        exiger(QTest::qWaitForWindowExposed(&f), "showing the window");
    }
    QTabWidget* onglets() { return f.onglets(); }
};
} // namespace

// The main window drawn at the size of its window: every tab, at the design's size and at
// counter screens' sizes, readable (no control over another, no caption cut) and in proportion.
class TestEchelle : public QObject {
    Q_OBJECT
  private slots:
    void ongletsLisibles_data() {
        QTest::addColumn<QSize>("taille");
        QTest::newRow("680 x 540") << QSize(680, 540);
        QTest::newRow("1366 x 768") << QSize(1366, 768);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
    }
    void ongletsLisibles() {
        QFETCH(QSize, taille);
        FenetreTest t(taille);
        QTabWidget* onglets = t.onglets();
        for (int i = 0; i < onglets->count(); ++i) {
            onglets->setCurrentIndex(i);
            const QString onglet = onglets->tabText(i) + QStringLiteral(" : ");
            QWidget* page = onglets->widget(i);
            const QList<QWidget*> controles = controlesVisibles(page);
            const QRegularExpression nomParDefaut(
                QStringLiteral("^(Combo|Command|Label|Text|List|Picture|Frame)\\d+$"));
            QVERIFY2(!controles.isEmpty(), qPrintable(onglet));
            const QString faute = chevauchement(controles, MiseAEchelle::facteur(page));
            QVERIFY2(faute.isEmpty(), qPrintable(onglet + faute));
            const QRect zone = dansLaFenetre(page);
            for (QWidget* w : controles) {
                QVERIFY2(zone.contains(dansLaFenetre(w)) || !page->isAncestorOf(w),
                         qPrintable(onglet + w->objectName() + QStringLiteral(" : coupé")));
                const QString coupee = legendeCoupee(w);
                QVERIFY2(coupee.isEmpty(), qPrintable(onglet + coupee));
                // A caption that is only a control's default name reads as unfinished.
                const QString texte = texteMontre(w);
                QVERIFY2(!nomParDefaut.match(texte).hasMatch(),
                         qPrintable(onglet + w->objectName() + QStringLiteral(" : ") + texte));
                // On a counter's touch screen every button takes a fingertip: 34 pixels are
                // 8,5 mm on a 15,6-inch screen of 1366 x 768.
                if (taille.width() >= 1366 && qobject_cast<QPushButton*>(w))
                    QVERIFY2(
                        w->width() >= 34 && w->height() >= 34,
                        qPrintable(
                            onglet + w->objectName() +
                            QStringLiteral(" : %1 x %2 pixels").arg(w->width()).arg(w->height())));
            }
            const QRect titre = onglets->tabBar()->tabRect(i);
            QVERIFY2(onglets->fontMetrics().horizontalAdvance(onglets->tabText(i)) < titre.width(),
                     qPrintable(onglet + QStringLiteral("titre coupé")));
        }
    }

    // A counter screen shows the design enlarged: each control in the same proportion, fonts
    // included, the whole design inside the window.
    void proportions() {
        FenetreTest petit(QSize(680, 540));
        FenetreTest grand(QSize(1920, 1080));
        const double f = MiseAEchelle::facteur(&grand.f);
        QVERIFY2(f > 1.9, qPrintable(QString::number(f)));
        for (int i = 0; i < petit.onglets()->count(); ++i) {
            petit.onglets()->setCurrentIndex(i);
            grand.onglets()->setCurrentIndex(i);
            QWidget* pagePetite = petit.onglets()->widget(i);
            QWidget* pageGrande = grand.onglets()->widget(i);
            for (QWidget* p : controlesVisibles(pagePetite)) {
                auto* g = pageGrande->findChild<QWidget*>(p->objectName());
                QVERIFY(g);
                const QRect attendu(p->mapTo(pagePetite, QPoint(0, 0)) * f, p->size() * f);
                const QRect vu(g->mapTo(pageGrande, QPoint(0, 0)), g->size());
                // A label sized to its caption is as large as its text at the larger font.
                const bool naturelle = qobject_cast<QLabel*>(g) && g->size() == g->sizeHint();
                QVERIFY2(
                    (vu.topLeft() - attendu.topLeft()).manhattanLength() <= 3 &&
                        (naturelle || (qAbs(vu.width() - attendu.width()) <= 2 &&
                                       qAbs(vu.height() - attendu.height()) <= 2)),
                    qPrintable(QStringLiteral("%1 : (%2, %3, %4 x %5) au lieu de (%6, %7, %8 x %9)")
                                   .arg(p->objectName())
                                   .arg(vu.x())
                                   .arg(vu.y())
                                   .arg(vu.width())
                                   .arg(vu.height())
                                   .arg(attendu.x())
                                   .arg(attendu.y())
                                   .arg(attendu.width())
                                   .arg(attendu.height())));
                QVERIFY2(qAbs(g->font().pointSizeF() - p->font().pointSizeF() * f) < 0.01,
                         qPrintable(p->objectName()));
                QVERIFY(QRect(QPoint(0, 0), grand.f.size()).contains(dansLaFenetre(g)));
            }
        }
    }

    // The on-screen ticket at a larger scale: the same ticket in twips, drawn larger, still shown
    // at its end after the window changed size, its scroll bar counting the larger pixels.
    void ticketAEchelle() {
        FenetreTest t(QSize(680, 540));
        auto* ticket = t.f.findChild<PictureBox*>("ticket");
        auto* fond = t.f.findChild<QWidget*>("fondticket");
        auto* barre = t.f.findChild<QScrollBar*>("scrolling");
        auto* saisie = t.f.findChild<QLineEdit*>("saisie");
        for (int i = 0; i < 12; ++i) {
            saisie->setText(QStringLiteral("ART000001"));
            QTest::keyClick(saisie, Qt::Key_Return);
        }
        const double largeurTwips = ticket->Width();
        const double hauteurTwips = ticket->Height();
        const int largeurPixels = ticket->width();
        t.f.resize(1920, 1080);
        const double f = MiseAEchelle::facteur(&t.f);
        QVERIFY(f > 1.9);
        QCOMPARE(qRound(ticket->Width()), qRound(largeurTwips));
        QVERIFY(qAbs(ticket->Height() - hauteurTwips) <= 15 * 2);
        QVERIFY(qAbs(ticket->width() - largeurPixels * f) <= 2);
        QTRY_COMPARE(barre->maximum(), ticket->height() - fond->height());
        QCOMPARE(ticket->geometry().bottom() + 1, fond->height());
        QVERIFY(barre->maximum() > 0);
    }

    // The window's place as the settings file keeps it; anything else, or a place off every
    // screen, is no place and the window takes its first one.
    void placeRetenue_data() {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("lue");
        QTest::newRow("agrandie") << "agrandie"
                                  << "agrandie";
        QTest::newRow("cadre") << "120 80 1024 700"
                               << "120 80 1024 700";
        QTest::newRow("blancs") << "  10   20 800 600 "
                                << "10 20 800 600";
        QTest::newRow("vide") << ""
                              << "";
        QTest::newRow("trois nombres") << "1 2 800"
                                       << "";
        QTest::newRow("virgules") << "1,2,800,600"
                                  << "";
        QTest::newRow("texte") << "l'écran « 2 »\t\x01"
                               << "";
        QTest::newRow("trop petite") << "0 0 50 600"
                                     << "";
        QTest::newRow("négative") << "0 0 -800 600"
                                  << "";
        QTest::newRow("démesurée") << "0 0 99999999999 600"
                                   << "";
        QTest::newRow("hors des écrans") << "5000 5000 800 600"
                                         << "";
        QTest::newRow("à peine visible") << "1900 0 800 600"
                                         << "";
    }
    void placeRetenue() {
        QFETCH(QString, texte);
        QFETCH(QString, lue);
        const QList<QRect> ecrans{QRect(0, 0, 1920, 1080)};
        const std::optional<PlaceFenetre> place = PlaceFenetre::lire(texte, ecrans);
        QCOMPARE(place ? place->texte() : QString(), lue);
    }

    // The window opens where it was left; the first time, on a screen larger than its design,
    // it fills the screen.
    void placeDeLaFenetre() {
        BoutiqueTest b(BoutiqueTest::Base::Demo);
        const QString ini = b.installation().fichierIni();
        {
            Form1 f(b.services());
            QVERIFY(f.demarrer());
            f.afficher();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QVERIFY(f.isMaximized());
            f.showNormal();
            f.setGeometry(40, 30, 700, 560);
            QTRY_COMPARE(f.geometry(), QRect(40, 30, 700, 560));
            f.close();
        }
        QCOMPARE(parametre("systeme", "fenetre principale", "?", ini, 1),
                 QStringLiteral("40 30 700 560"));
        Form1 f(b.services());
        QVERIFY(f.demarrer());
        f.afficher();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(!f.isMaximized());
        QCOMPARE(f.geometry(), QRect(40, 30, 700, 560));
    }
};

TALMIR_TEST(TestEchelle)
#include "tst_echelle.moc"
