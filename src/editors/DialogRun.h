#pragma once

#include <functional>

class QDialog;
class QObject;

// Connects one opener to a dialog that several openers share (function editor, transition chooser,
// shape selection) for one run of the dialog. The connection is made right before the dialog opens and
// dropped as soon as it finishes, accepted or not. A dialog keeps at most one run: opening it again,
// for the same opener or another, first drops the connection still kept, so an answer only ever
// reaches the opener that opened the dialog last.
namespace DialogRun {

// Drops the dialog's kept connection, connects its finished(int) so that onFinished gets the result
// (from the event loop, once the dialog has closed, and only while the opener lives), then opens the
// dialog window-modally. Prepare the dialog's content before calling.
void open(QDialog* dialog, QObject* opener, const std::function<void(int result)>& onFinished);

// True while the dialog's current run belongs to the opener.
bool isOpenFor(const QDialog* dialog, const QObject* opener);

} // namespace DialogRun
