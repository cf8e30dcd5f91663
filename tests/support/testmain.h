#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QCoreApplication;

// Every test class of an executable registers itself with TALMIR_TEST(Class); the shared main
// runs them all, each in a process of its own, or the one class named by the first argument.
bool enregistrerTest(const char* nom, std::function<std::unique_ptr<QObject>()> fabrique);

// Runs the registered classes as the command line of `app` asks; 0 when every one passed.
int executerTests(QCoreApplication& app);

// Before the application object: the tests run headless unless a platform is asked for.
void preparerPlateforme();

#define TALMIR_TEST(Classe)                                                                        \
    static const bool Classe##_enregistre =                                                        \
        enregistrerTest(#Classe, [] { return std::unique_ptr<QObject>(new Classe); });
