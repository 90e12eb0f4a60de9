#include "editors/MetaTab.h"

#include "doc/Properties.h"

#include <QLineEdit>
#include <QPlainTextEdit>

MetaTab::MetaTab(QWidget* parent)
    : PropertyTab(parent)
{
    initializeUi();
}

void MetaTab::initializeUi()
{
    setTitle(tr("Metadata"));

    m_nameField = new QLineEdit(this);
    m_nameField->setObjectName(QStringLiteral("nameField"));
    m_nameField->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    m_nameField->setMaxLength(maximumNameLength);
    addRow(tr("Name:"), m_nameField);

    m_notesField = new QPlainTextEdit(this);
    m_notesField->setObjectName(QStringLiteral("notesField"));
    m_notesField->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    addRow(tr("Notes:"), m_notesField);

    connect(m_nameField, &QLineEdit::textChanged, this,
            [this] { writeProperties([this] { properties()->setName(m_nameField->text()); }); });
    connect(m_notesField, &QPlainTextEdit::textChanged, this,
            [this] { writeProperties([this] { properties()->setNotes(m_notesField->toPlainText()); }); });
}

void MetaTab::refreshProperty(const QString& key)
{
    if (key == QLatin1String("name")) {
        refreshName();
    } else if (key == QLatin1String("notes")) {
        refreshNotes();
    }
}

void MetaTab::refreshAll()
{
    refreshName();
    refreshNotes();
}

void MetaTab::refreshName()
{
    // Setting the same text again would only move the cursor of someone typing.
    if (m_nameField->text() != properties()->name()) {
        m_nameField->setText(properties()->name());
    }
}

void MetaTab::refreshNotes()
{
    if (m_notesField->toPlainText() != properties()->notes()) {
        m_notesField->setPlainText(properties()->notes());
    }
}
