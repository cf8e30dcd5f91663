#pragma once

#include "frame/dialogues.h"

class QWidget;

// The boxes as Qt shows them.
class DialoguesQt : public Dialogues {
  public:
    explicit DialoguesQt(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    Reponse message(const QString& texte, const QString& titre, Boutons boutons, Icone icone,
                    Reponse parDefaut) override;
    std::optional<QString> saisie(const QString& invite, const QString& titre,
                                  const QString& defaut, const Verification& verification) override;

  private:
    QWidget* parent_;
};
