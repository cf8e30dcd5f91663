#pragma once

#include <QString>

// Going from one tab to another on the operator's behalf, asked of the main window rather than
// done by a tab that would have to know the others.
class Navigation {
  public:
    virtual ~Navigation() = default;
    // The article of that code on the article form, shown, ready for the pieces received to be
    // typed.
    virtual void ouvrirFicheArticle(const QString& code) = 0;
};
