#pragma once

#include "editors/UpdateGuard.h"
#include "widgets/DocumentEditor.h"

#include <QFrame>

#include <memory>

class QFormLayout;
class QLabel;
class QVBoxLayout;

namespace doc {
class Properties;
}

// The base of the property tabs: a large title, a two-column form of labelled rows and a final
// stretch, and a listener of the current document.
//
// It applies the update rules for the tabs: a change of "properties/<key>/..." reaches
// refreshProperty(key) and a reset reaches refreshAll(), both inside a document update and never while
// an editor writes; writeProperties() writes only outside document updates. So a control's own edit
// never comes back into it, and a refresh never writes into the document.
class PropertyTab : public QFrame, public DocumentEditor
{
    Q_OBJECT

public:
    explicit PropertyTab(QWidget* parent);

    void setTitle(const QString& title);
    QString title() const;

    // Appends a labelled row; the widget becomes the label's buddy. An empty text gives an empty left
    // cell (for check boxes that carry their own text).
    QLabel* addRow(const QString& labelText, QWidget* widget);
    // Call once after the last row: what a tab appends later sits at the bottom.
    void addFinalStretch();

    // The property key of a change path ("properties/worldColor/hue" gives "worldColor"); an empty text
    // for a path outside the properties.
    static QString propertyKeyForPath(const QString& path);

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementReset() override;

protected:
    std::shared_ptr<doc::Properties> properties() const;

    // Runs write (which calls one setter of the properties) as an editor update.
    template<typename Write>
    void writeProperties(const Write& write)
    {
        UpdateGuard::write(document().get(), write);
    }

    // Shows the document's value of the property in its control.
    virtual void refreshProperty(const QString& key);
    // Shows the document's values in every control; a tab fills itself first on the start-up reset.
    virtual void refreshAll();

    QLabel* titleLabel() const { return m_titleLabel; }
    QVBoxLayout* mainLayout() const { return m_mainLayout; }
    // Null until the first addRow.
    QFormLayout* formLayout() const { return m_formLayout; }

private:
    void initializeBaseUi();

    QLabel* m_titleLabel = nullptr;
    QVBoxLayout* m_mainLayout = nullptr;
    QFormLayout* m_formLayout = nullptr;
};
