#include "common/ui/affichageaccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {
constexpr char kAffichage[] = "talmirAffichage";

class AffichageAccessible : public QAccessibleWidget {
  public:
    explicit AffichageAccessible(QLabel* l) : QAccessibleWidget(l, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const auto* l = static_cast<const QLabel*>(widget());
        const QString valeur = l->text().trimmed();
        const QString legende = l->accessibleName();
        switch (t) {
        case QAccessible::Name:
            if (legende.isEmpty())
                return valeur;
            return valeur.isEmpty() ? legende : legende + QStringLiteral(" : ") + valeur;
        case QAccessible::Value:
            return valeur;
        case QAccessible::Description:
            return legende;
        default:
            return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* fabrique(const QString&, QObject* objet) {
    auto* l = qobject_cast<QLabel*>(objet);
    if (l && l->property(kAffichage).toBool())
        return new AffichageAccessible(l);
    return nullptr;
}
} // namespace

void affichageAccessible(QLabel* affichage) {
    static const bool installee = [] {
        QAccessible::installFactory(fabrique);
        return true;
    }();
    Q_UNUSED(installee);
    affichage->setProperty(kAffichage, true);
    // An interface made before (setting a caption makes one) is made again as a display's.
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(affichage);
    if (i && !dynamic_cast<AffichageAccessible*>(i))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(i));
}

void montrerValeur(QLabel* affichage, const QString& valeur) {
    if (affichage->text() == valeur)
        return;
    affichage->setText(valeur);
    if (!QAccessible::isActive())
        return;
    // Its name holds the value.
    QAccessibleEvent nom(affichage, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nom);
}
