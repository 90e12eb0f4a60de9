#pragma once

#include <QString>

class QAbstractItemView;
class QAbstractSpinBox;
class QListWidget;
class QModelIndex;

namespace motifex::test {

// Replaces the spin box's text by typing and presses Return, as a user finishes an entry.
void typeInto(QAbstractSpinBox* spinBox, const QString& text);

// Clicks the row of the list (scrolled into view first).
void clickRow(QListWidget* list, int row);
// Clicks or double-clicks the item of a view once the view has laid it out and scrolled it into view.
void clickIndex(QAbstractItemView* view, const QModelIndex& index);
void doubleClickIndex(QAbstractItemView* view, const QModelIndex& index);
// The first row whose Qt::UserRole data is the text; −1 when none is.
int rowWithData(const QListWidget* list, const QString& data);

// Returns once the calls queued so far have run (such as the answer of a finished dialog or the report
// of a click that is delivered from the event loop); false if they did not run within the usual wait.
bool runQueuedCalls();

} // namespace motifex::test
