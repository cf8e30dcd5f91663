#pragma once

#include <QObject>
#include <functional>
#include <memory>

// Every test class of a subsystem's executable registers itself with TALMIR_TEST(Class); the
// shared main runs them all (an optional first argument names the one class to run).
bool enregistrerTest(const char* nom, std::function<std::unique_ptr<QObject>()> fabrique);

#define TALMIR_TEST(Classe)                                                                        \
    static const bool Classe##_enregistre =                                                        \
        enregistrerTest(#Classe, [] { return std::unique_ptr<QObject>(new Classe); });
