#pragma once

#include "common/TestMain.h"
#include "support/UrlRecorder.h"

#include "app/Application.h"

// Like MOTIFEX_TEST_MAIN for widget tests: the program's Application object in the fusion style without
// native dialogs, offscreen, with web links recorded instead of opened.
#define MOTIFEX_WIDGET_TEST_MAIN(TestObject)                                                                           \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        motifex::test::IsolatedEnvironment environment;                                                                \
        motifex::test::setApplicationIdentity();                                                                       \
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);                                                   \
        Application app(argc, argv);                                                                                   \
        QApplication::setStyle(QStringLiteral("fusion"));                                                              \
        motifex::test::UrlRecorder urlRecorder;                                                                        \
        TestObject testObject;                                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&testObject, argc, argv);                                                                  \
    }
