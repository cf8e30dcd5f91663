#include "frame/ui/intro.h"
#include "support/testmain.h"

#include <QWindow>
#include <QtTest>

namespace {
// The splash, counting its paintings.
class IntroComptee : public Intro {
  public:
    int peintures = 0;

  protected:
    void paintEvent(QPaintEvent* e) override {
        ++peintures;
        Intro::paintEvent(e);
    }
};
} // namespace

// The splash window, as the operator sees it.
class TestIntro : public QObject {
    Q_OBJECT
  private slots:
    void dessineeAvantLesLonguesEtapes() {
        // The long steps run right after montrer() without letting the display work: by then
        // the window must be shown by the display and painted.
        IntroComptee intro;
        intro.montrer();
        QVERIFY(intro.windowHandle());
        QVERIFY(intro.windowHandle()->isExposed());
        QVERIFY(intro.peintures >= 1);
        intro.fermer();
        QVERIFY(!intro.isVisible());
        // Shown again by a loader: the same.
        intro.peintures = 0;
        intro.montrer();
        QVERIFY(intro.windowHandle()->isExposed());
        QVERIFY(intro.peintures >= 1);
    }
};

TALMIR_TEST(TestIntro)
#include "tst_intro.moc"
