#pragma once

#include "app/ApplicationController.h"
#include "app/CanvasPreviewFrame.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"

#include <QFile>
#include <QFileDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QtTest>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>

namespace motifex::test {

inline FileIO* fileIO(AppFixture& app)
{
    return app.window()->fileIO();
}

// The projects of these tests tell themselves apart by their name.
inline QString projectName(AppFixture& app)
{
    return app.document()->properties()->name();
}

inline QString titleFor(const QString& fileName)
{
    return fileName.isEmpty() ? QStringLiteral("<new project>[*] – Motifex v2.6.0")
                              : QStringLiteral("%1[*] – Motifex v2.6.0").arg(fileName);
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

// A small project file whose only difference from a new one is its name.
inline QByteArray projectData(const QString& name)
{
    return QJsonDocument(QJsonObject{{"properties", QJsonObject{{"name", name}}}}).toJson(QJsonDocument::Compact);
}

// A temporary folder of project files, each named after its project ("a.mtfx" holds the project "a").
struct ProjectFolder {
    QString path(const QString& name) const { return folder.filePath(name); }
    QString write(const QString& fileName) const
    {
        writeAll(path(fileName), projectData(QFileInfo(fileName).completeBaseName()));
        return path(fileName);
    }
    // The name of the project saved in the file.
    QString savedName(const QString& fileName) const
    {
        const QJsonObject json = QJsonDocument::fromJson(readAll(path(fileName))).object();
        return json.value("properties").toObject().value("name").toString();
    }

    QTemporaryDir folder;
};

// The name under which a dialog or box is listed in the expectations: its object name, else its class.
inline QString shownName(const ModalRecord& record)
{
    return record.objectName.isEmpty() ? record.className : record.objectName;
}

inline QStringList shownNames(const ModalAnswerer& answerer)
{
    QStringList names;
    for (const ModalRecord& record : answerer.records()) {
        names.append(shownName(record));
    }
    return names;
}

// Types the path into a file dialog's name field and presses Return, as a user would.
inline ModalAnswerer::Answer chooseFile(const QString& path)
{
    return [path](QWidget* widget) {
        auto* nameField = widget->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(qobject_cast<QFileDialog*>(widget) != nullptr && nameField != nullptr);
        nameField->setText(path);
        QTest::keyClick(nameField, Qt::Key_Return);
    };
}

// A path the dialog itself would not hand out (a folder), reported as chosen.
inline ModalAnswerer::Answer reportChosenPath(const QString& path)
{
    return [path](QWidget* widget) {
        auto* dialog = qobject_cast<QFileDialog*>(widget);
        QVERIFY(dialog != nullptr);
        emit dialog->fileSelected(path);
        static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    };
}

// As root, folder permissions do not stop a write. Without the override capabilities in this thread's
// effective set they do, so a read-only folder fails here as it would for any user.
class PermissionsEnforced
{
public:
    PermissionsEnforced()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0) {
            return;
        }
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH) | (1U << CAP_FOWNER));
        m_isLowered = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~PermissionsEnforced()
    {
        if (m_isLowered) {
            syscall(SYS_capset, &m_header, m_saved);
        }
    }
    PermissionsEnforced(const PermissionsEnforced&) = delete;
    PermissionsEnforced& operator=(const PermissionsEnforced&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_isLowered = false;
};

// While it lives, writing a file beyond the byte limit fails with EFBIG instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_previousHandler)(int) = nullptr;
};

} // namespace motifex::test
