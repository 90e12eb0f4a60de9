#include "editors/PropertyTab.h"

#include "doc/Document.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QString propertiesPathPrefix = QStringLiteral("properties");

} // namespace

PropertyTab::PropertyTab(QWidget* parent)
    : QFrame(parent)
{
    initializeBaseUi();
}

void PropertyTab::initializeBaseUi()
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setContentsMargins(8, 16, 8, 8);
    m_mainLayout->setSpacing(8);
    m_titleLabel = new QLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("propertyTabTitle"));
    QFont titleFont = m_titleLabel->font();
    titleFont.setPointSizeF(22.0);
    m_titleLabel->setFont(titleFont);
    m_mainLayout->addWidget(m_titleLabel);
}

void PropertyTab::setTitle(const QString& title)
{
    m_titleLabel->setText(title);
}

QString PropertyTab::title() const
{
    return m_titleLabel->text();
}

QLabel* PropertyTab::addRow(const QString& labelText, QWidget* widget)
{
    if (m_formLayout == nullptr) {
        m_formLayout = new QFormLayout();
        m_formLayout->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
        m_formLayout->setContentsMargins(0, 0, 0, 0);
        m_formLayout->setSpacing(8);
        m_mainLayout->addLayout(m_formLayout);
        m_mainLayout->addStretch(0);
    }
    auto* label = new QLabel(labelText, this);
    label->setBuddy(widget);
    m_formLayout->addRow(label, widget);
    return label;
}

void PropertyTab::addFinalStretch()
{
    m_mainLayout->addStretch(1);
}

QString PropertyTab::propertyKeyForPath(const QString& path)
{
    if (!path.startsWith(propertiesPathPrefix)) {
        return {};
    }
    return path.section(QLatin1Char('/'), 1, 1);
}

void PropertyTab::onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* /*element*/)
{
    const QString key = propertyKeyForPath(path);
    if (key.isEmpty()) {
        return;
    }
    UpdateGuard::refresh(document().get(), [this, &key] { refreshProperty(key); });
}

void PropertyTab::onDocumentElementReset()
{
    UpdateGuard::refresh(document().get(), [this] { refreshAll(); });
}

std::shared_ptr<doc::Properties> PropertyTab::properties() const
{
    return document()->properties();
}

void PropertyTab::refreshProperty(const QString& /*key*/)
{
}

void PropertyTab::refreshAll()
{
}
