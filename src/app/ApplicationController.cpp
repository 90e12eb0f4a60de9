#include "app/ApplicationController.h"

#include "app/MainWindow.h"
#include "app/Resources.h"
#include "app/UpdateCheck.h"
#include "doc/ColorManager.h"
#include "doc/Document.h"
#include "err/Error.h"
#include "frame/Manager.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"
#include "widgets/DocumentEditor.h"
#include "widgets/IconFont.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QThreadPool>

#include <algorithm>

ApplicationController* ApplicationController::_instance = nullptr;

ApplicationController::ApplicationController()
{
    initializeApplicationResources();
    _instance = this;
}

ApplicationController::~ApplicationController()
{
    // The window waits for a running generation before it goes, so nothing it uses is released early.
    delete m_mainWindow;
    m_mainWindow = nullptr;
    _instance = nullptr;
    DocumentEditor::setEditedDocument(nullptr);
    m_generatorManager.reset();
    m_generatorDocument.reset();
    m_document.reset();
    m_frameManager.reset();
    m_colorManager.reset();
}

bool ApplicationController::start()
{
    setThreadCountFromSettings();
    IconFont::registerFont();
    loadStyleSheet();
    if (!loadShapeDatabase()) {
        return false;
    }
    m_colorManager = std::make_shared<doc::ColorManager>();
    m_colorManager->load();
    m_frameManager = std::make_shared<frame::Manager>();
    m_document = std::make_shared<doc::Document>();
    m_generatorDocument = std::make_shared<doc::Document>();
    DocumentEditor::setEditedDocument(m_document);
    m_generatorManager = std::make_shared<GeneratorManager>(m_generatorDocument);
    m_updateCheck = new UpdateCheck(this);
    m_mainWindow = new MainWindow(nullptr);
    m_mainWindow->show();
    return true;
}

ApplicationController* ApplicationController::instance()
{
    return _instance;
}

const QFont& ApplicationController::iconFont()
{
    return IconFont::font();
}

QPixmap ApplicationController::pixmapForIcon(int codePoint, int size) const
{
    return IconFont::pixmap(codePoint, size);
}

void ApplicationController::setThreadCountFromSettings()
{
    const int stored = QSettings().value(QStringLiteral("maxThreadCount"), 16).toInt();
    QThreadPool::globalInstance()->setMaxThreadCount(std::clamp(stored, 8, 128));
}

void ApplicationController::loadStyleSheet()
{
    QFile file(QStringLiteral(":/application.qss"));
    if (file.open(QIODevice::ReadOnly)) {
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
    }
}

QString ApplicationController::shapeDatabaseErrorText(const QString& reason)
{
    return tr("<h2>Issue with User Shape Database</h2><p>There was a problem loading the user shape database. As a "
              "result, some custom shapes may not be available.</p><p>The application can still run, but with "
              "missing shapes. These shapes have been moved to a 'failed' subfolder, and you won't encounter this "
              "error again on the next start.</p><p>If you require all shapes, please quit and resolve the "
              "following issue:</p><p><b>Error Details:</b> %1</p>")
        .arg(reason.toHtmlEscaped());
}

bool ApplicationController::loadShapeDatabase()
{
    m_shapeManager = new shape::Manager(this);
    try {
        m_shapeManager->loadOrThrow();
        return true;
    } catch (const err::Error& error) {
        if (!askToStartAnyway(error.reason())) {
            return false;
        }
    }
    try {
        m_shapeManager->fixLoadingIssues();
    } catch (const err::Error&) {
        QMessageBox box;
        box.setWindowTitle(tr("Unable to Move Shape Files"));
        box.setText(tr("<p>The failed files cannot be moved.</p>"));
        box.exec();
    }
    return true;
}

bool ApplicationController::askToStartAnyway(const QString& reason)
{
    QMessageBox box;
    box.setWindowTitle(tr("Shape Database Load Error"));
    box.setText(shapeDatabaseErrorText(reason));
    QPushButton* startButton = box.addButton(tr("Start Anyway"), QMessageBox::AcceptRole);
    QPushButton* quitButton = box.addButton(tr("Quit and Resolve"), QMessageBox::RejectRole);
    box.setDefaultButton(startButton);
    box.setEscapeButton(quitButton);
    box.exec();
    return box.clickedButton() != quitButton;
}
