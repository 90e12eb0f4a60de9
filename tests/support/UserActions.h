#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QAbstractItemView;
class QAction;
class QAbstractSpinBox;
class QListWidget;
class QModelIndex;
class QPoint;
class QWidget;

namespace motifex::test {

// Replaces the spin box's text by typing and presses Return, as a user finishes an entry.
void typeInto(QAbstractSpinBox* spinBox, const QString& text);
// Activates the field's window, replaces the field's text by typing and leaves the field with Tab (in a
// dialog, Return would also press its default button).
void typeAndLeave(QWidget* field, const QString& text);

// Clicks the row of the list (scrolled into view first).
void clickRow(QListWidget* list, int row);
// Clicks or double-clicks the item of a view once the view has laid it out and scrolled it into view.
void clickIndex(QAbstractItemView* view, const QModelIndex& index);
void doubleClickIndex(QAbstractItemView* view, const QModelIndex& index);
// The first row whose Qt::UserRole data is the text; −1 when none is.
int rowWithData(const QListWidget* list, const QString& data);

// Right-clicks the point of the widget and asks it for its context menu there, as a mouse does.
void contextClick(QWidget* widget, const QPoint& position);
// Chooses a menu entry as a user does: runs open (a click or key that pops a menu up, also one that
// runs the menu until it closes), then walks the popup menus by the entry texts, opening each submenu
// with the Right key and choosing the last entry with Return. False, with every menu closed, when an
// entry is missing or disabled or no menu appeared.
bool chooseMenuEntry(const std::function<void()>& open, const QStringList& entryTexts);

// The widget's (or menu's) action with the text; null when it has none.
QAction* actionWithText(const QWidget* widget, const QString& text);

// Returns once the calls queued so far have run (such as the answer of a finished dialog or the report
// of a click that is delivered from the event loop); false if they did not run within the usual wait.
bool runQueuedCalls();

} // namespace motifex::test
