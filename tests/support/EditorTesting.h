#pragma once

// What the tests of the property editors share: the application fixture, the change recorder, the
// user actions and the test main, and a few small look-ups into the running window.

#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "doc/UpdateScope.h"
#include "editors/PropertiesFrame.h"
#include "support/AppFixture.h"
#include "support/ChangeRecorder.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QtTest>

class QAction;
class QComboBox;

namespace motifex::test {

inline std::shared_ptr<doc::Document> documentOf(AppFixture& app)
{
    return app.controller().document();
}

inline std::shared_ptr<doc::Properties> propertiesOf(AppFixture& app)
{
    return app.controller().document()->properties();
}

// The property as the document stores it ("itemSpacing" gives the length in millionths of a millimetre).
inline QVariant storedProperty(AppFixture& app, const QString& key)
{
    return propertiesOf(app)->toData().toMap().value(key);
}

// Makes the panel's tab current, as a click on its icon does, and returns it.
template<typename Tab>
Tab* showTab(AppFixture& app, Tab* (PropertiesFrame::*tab)() const)
{
    PropertiesFrame* panel = app.window()->propertiesFrame();
    panel->showTab((panel->*tab)());
    return (panel->*tab)();
}

// Colours compare by their 8-bit channels, whatever model they were made in.
inline QString argb(const QColor& color)
{
    return color.name(QColor::HexArgb);
}

// The texts of the actions, "-" for a separator.
QStringList actionTexts(const QList<QAction*>& actions);
// The entries of a combo box: their texts, or their data in the role.
QStringList comboTexts(const QComboBox* box, int role = Qt::DisplayRole);

// Counts the events of one type that an object receives.
class EventCounter : public QObject
{
public:
    EventCounter(QObject* watched, QEvent::Type type);
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type m_type;
};

} // namespace motifex::test
