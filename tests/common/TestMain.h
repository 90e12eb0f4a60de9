#pragma once

#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

namespace motifex::test {

// Gives one test program a private HOME and private XDG folders before Qt reads any of them, so that
// test programs running in parallel never share settings or data and never touch a real user's files.
class IsolatedEnvironment
{
public:
    IsolatedEnvironment()
    {
        if (!m_root.isValid()) {
            qFatal("Could not create the temporary test home.");
        }
        const QDir root(m_root.path());
        for (const char* folder : {"home", "config", "data", "cache", "runtime"}) {
            root.mkpath(QString::fromLatin1(folder));
        }
        setVariable("HOME", root.filePath("home"));
        setVariable("XDG_CONFIG_HOME", root.filePath("config"));
        setVariable("XDG_DATA_HOME", root.filePath("data"));
        setVariable("XDG_CACHE_HOME", root.filePath("cache"));
        setVariable("XDG_RUNTIME_DIR", root.filePath("runtime"));
        QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }

    QString path() const { return m_root.path(); }

private:
    static void setVariable(const char* name, const QString& value) { qputenv(name, QFile::encodeName(value)); }

    QTemporaryDir m_root;
};

// The names that decide where settings and application data live, as the application sets them.
inline void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Motifex"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.6.0"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillane.com"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillane"));
}

} // namespace motifex::test

// Like QTEST_MAIN, with an isolated environment and the application's identity.
#define MOTIFEX_TEST_MAIN(TestObject)                                                                                  \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        motifex::test::IsolatedEnvironment environment;                                                                \
        motifex::test::setApplicationIdentity();                                                                       \
        QGuiApplication app(argc, argv);                                                                               \
        TestObject testObject;                                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&testObject, argc, argv);                                                                  \
    }
