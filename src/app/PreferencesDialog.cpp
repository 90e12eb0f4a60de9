#include "app/PreferencesDialog.h"

#include "app/ApplicationController.h"
#include "app/UpdateCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString keyMaxThreadCount = QStringLiteral("maxThreadCount");
const QString keyUpdateCheck = QStringLiteral("updateCheck");

} // namespace

PreferencesDialog::PreferencesDialog(QWidget* parent)
    : QDialog(parent)
{
    initializeUi();
}

void PreferencesDialog::initializeUi()
{
    setWindowTitle(tr("Application Preferences"));
    setMinimumSize(500, 100);
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(8);
    layout->addWidget(new QLabel(tr("<h2>Application Preferences</h2>"), this));
    layout->addSpacing(16);

    auto* threadLayout = new QHBoxLayout();
    threadLayout->setContentsMargins(0, 0, 0, 0);
    threadLayout->setSpacing(8);
    threadLayout->addWidget(new QLabel(tr("Maximum Number of Threads:"), this));
    m_threadCount = new QComboBox(this);
    threadLayout->addWidget(m_threadCount);
    layout->addLayout(threadLayout);
    layout->addSpacing(16);

    m_updateCheck = new QCheckBox(tr("Automatically check for updates after the application is started."), this);
    layout->addWidget(m_updateCheck);
    layout->addSpacing(16);

    auto* description = new QLabel(this);
    description->setObjectName(QStringLiteral("updateCheckDesciption"));
    description->setWordWrap(true);
    description->setTextFormat(Qt::RichText);
    description->setText(
        tr("<p>The application checks once after every start if there is an update available. For this check, "
           "the following data is sent to the server: Application identifier, application version, time, "
           "anonymous installation identifier, signature.</p><p>Click <a href=\"#\">here</a> to see the data "
           "that is sent to the server. If you don't like to have this data sent, you can disable the update "
           "check permanently by unchecking this option.</p>"));
    layout->addWidget(description);
    layout->addSpacing(16);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);

    fillThreadCounts();
    // Connected only after the stored count is selected, so that building the dialog writes nothing.
    connect(m_threadCount, &QComboBox::currentIndexChanged, this, &PreferencesDialog::onThreadCountChanged);
    connect(m_updateCheck, &QCheckBox::clicked, this, &PreferencesDialog::saveSettings);
    connect(description, &QLabel::linkActivated, this, &PreferencesDialog::showExampleRequestData);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PreferencesDialog::fillThreadCounts()
{
    for (const int count : {8, 12, 16, 24, 32, 48, 64, 96, 128}) {
        m_threadCount->addItem(tr("%1 Threads").arg(count), count);
    }
    const int stored = QSettings().value(keyMaxThreadCount, defaultThreadCount).toInt();
    const int index = m_threadCount->findData(stored);
    m_threadCount->setCurrentIndex(index >= 0 ? index : m_threadCount->findData(defaultThreadCount));
}

void PreferencesDialog::onThreadCountChanged()
{
    const int count = std::clamp(m_threadCount->currentData().toInt(), minimumThreadCount, maximumThreadCount);
    QThreadPool::globalInstance()->setMaxThreadCount(count);
    QSettings().setValue(keyMaxThreadCount, count);
}

void PreferencesDialog::showExampleRequestData()
{
    const UpdateCheck* updateCheck = ApplicationController::instance()->updateCheck();
    QMessageBox::information(this, tr("Example Request Data"),
                             QStringLiteral("<pre>%1</pre>").arg(QString::fromUtf8(updateCheck->createJsonData(true))),
                             QMessageBox::Ok);
}

void PreferencesDialog::loadSettings()
{
    m_updateCheck->setChecked(QSettings().value(keyUpdateCheck, true).toBool());
}

void PreferencesDialog::saveSettings()
{
    QSettings().setValue(keyUpdateCheck, m_updateCheck->isChecked());
}
