#pragma once
// Included first in every source of a folder's test program (tests/CMakeLists.txt puts it in
// the programs' precompiled header). QTEST_MAIN and its kin register the test class with the
// folder's runner (TestRunner.cpp) instead of defining main(), so one program holds every
// Qt Test class of a folder and runs the one named on its command line, with the same
// application object as a program of its own would make.

#include <QtTest/qtest.h>

namespace ZelvoTest {

// Makes the class's application object, runs its test functions and returns qExec's result.
using RunFunction = int (*)(int argc, char **argv);

// Remembers run under className; returns true, so that a static initialiser can call it.
bool Register(const char *className, RunFunction run);

} // namespace ZelvoTest

#undef QTEST_MAIN
#undef QTEST_GUILESS_MAIN
#undef QTEST_APPLESS_MAIN

// The body of Qt's QTEST_MAIN_WRAPPER, as a function registered under the class's name.
#define ZELVO_TEST_REGISTER(TestObject, ...)                                                   \
    static int ZelvoTestRun_##TestObject(int argc, char *argv[])                               \
    {                                                                                          \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<TestObject>();                     \
        __VA_ARGS__                                                                            \
        TestObject tc;                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                             \
        return QTest::qExec(&tc, argc, argv);                                                  \
    }                                                                                          \
    [[maybe_unused]] static const bool ZelvoTestRegistered_##TestObject =                      \
        ZelvoTest::Register(#TestObject, ZelvoTestRun_##TestObject);

#define QTEST_MAIN(TestObject) ZELVO_TEST_REGISTER(TestObject, QTEST_MAIN_SETUP())
#define QTEST_GUILESS_MAIN(TestObject)                                                         \
    ZELVO_TEST_REGISTER(TestObject, QTEST_QAPP_SETUP(QCoreApplication))
#define QTEST_APPLESS_MAIN(TestObject) ZELVO_TEST_REGISTER(TestObject)
