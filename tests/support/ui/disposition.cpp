#include "support/ui/disposition.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace {
QRect dansLaFenetre(const QWidget* fenetre, const QWidget* w) {
    return QRect(w->mapTo(fenetre, QPoint(0, 0)), w->size());
}

// The nearest widget with a name, `w` included.
const QWidget* nomme(const QWidget* w) {
    while (w && w->objectName().isEmpty())
        w = w->parentWidget();
    return w;
}
} // namespace

QString fauteDeDisposition(const QWidget* fenetre, const QStringList& noms) {
    QList<const QWidget*> controles;
    for (const QString& nom : noms) {
        const QWidget* w = fenetre->findChild<QWidget*>(nom);
        if (!w)
            return nom + QStringLiteral(" : absent");
        if (!w->isVisibleTo(fenetre))
            return nom + QStringLiteral(" : caché");
        if (!w->parentWidget()->rect().contains(w->geometry()))
            return nom + QStringLiteral(" : dépasse de son parent");
        const QPoint centre = dansLaFenetre(fenetre, w).center();
        const QWidget* dessus = fenetre->childAt(centre);
        if (dessus != w && !w->isAncestorOf(dessus))
            return nom + QStringLiteral(" : couvert par ") + nomme(dessus)->objectName();
        controles << w;
    }
    for (qsizetype i = 0; i < controles.size(); ++i)
        for (qsizetype j = i + 1; j < controles.size(); ++j) {
            const QRect a = dansLaFenetre(fenetre, controles[i]).adjusted(1, 1, -1, -1);
            const QRect b = dansLaFenetre(fenetre, controles[j]).adjusted(1, 1, -1, -1);
            if (a.intersects(b))
                return noms[i] + QStringLiteral(" chevauche ") + noms[j];
        }
    return {};
}

QStringList controlesAuClavier(const QWidget* zone) {
    QStringList noms;
    for (const QWidget* w : zone->findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && w->isVisible() && w->isEnabled() && !w->focusProxy() &&
            (w->focusPolicy() & Qt::TabFocus))
            noms << w->objectName();
    }
    return noms;
}

QStringList parcoursTabulation(QWidget* depart, int pas) {
    QStringList noms;
    depart->setFocus(Qt::TabFocusReason);
    QWidget* w = QApplication::focusWidget();
    for (int i = 0; w && i < pas; ++i) {
        noms << nomme(w)->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == depart)
            break;
    }
    return noms;
}

QString fauteDOrdreDeLecture(const QWidget* fenetre, const QStringList& suivants) {
    for (qsizetype i = 1; i < suivants.size(); ++i) {
        const QWidget* a = fenetre->findChild<QWidget*>(suivants[i - 1]);
        const QWidget* b = fenetre->findChild<QWidget*>(suivants[i]);
        if (!a || !b)
            return QStringLiteral("absent : ") + (a ? suivants[i] : suivants[i - 1]);
        const QRect ra = dansLaFenetre(fenetre, a), rb = dansLaFenetre(fenetre, b);
        // One line: the two controls' middles lie within half the lower one's height.
        const bool memeLigne =
            qAbs(ra.center().y() - rb.center().y()) * 2 < qMin(ra.height(), rb.height());
        const bool apres = memeLigne ? rb.left() > ra.left() : rb.center().y() > ra.center().y();
        if (!apres)
            return suivants[i] + QStringLiteral(" se lit avant ") + suivants[i - 1];
    }
    return {};
}
