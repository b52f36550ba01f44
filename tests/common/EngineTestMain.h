#pragma once

#include "BrowserEngine.h"

#include <QApplication>
#include <QTest>

#include <functional>

// The main() of a test that runs real engine pages: the engine's process model before the
// application, one engine for the whole run, and windows that may all be hidden without the
// application quitting. `afterTests` runs before the engine goes (e.g. to destroy the windows).
template <class TestClass>
int RunEngineTest(int argc, char **argv, const std::function<void()> &afterTests = {})
{
    BrowserEngine::prepareProcessModel();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    BrowserEngine engine;
    int result = 0;
    {
        TestClass test;
        result = QTest::qExec(&test, argc, argv);
    }
    if (afterTests)
        afterTests();
    return result;
}

#define SORVANE_ENGINE_TEST_MAIN(TestClass)                                                                  \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        return RunEngineTest<TestClass>(argc, argv);                                                         \
    }
