#include "support/ModalAnswerer.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDialog>
#include <QTest>

namespace motifex::test {

namespace {

QString withoutMnemonic(QString text)
{
    return text.remove(QLatin1Char('&'));
}

} // namespace

ModalAnswerer::ModalAnswerer()
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

ModalAnswerer::~ModalAnswerer() = default;

ModalAnswerer& ModalAnswerer::answer(Answer answer)
{
    m_answers.push_back(std::move(answer));
    return *this;
}

ModalAnswerer& ModalAnswerer::clickButton(const QString& text)
{
    return answer([text](QWidget* widget) {
        QAbstractButton* button = findButton(widget, text);
        if (button == nullptr) {
            qWarning("ModalAnswerer: no button \"%s\"; rejecting the dialog instead.", qPrintable(text));
            if (auto* dialog = qobject_cast<QDialog*>(widget)) {
                dialog->reject();
            }
            return;
        }
        button->click();
    });
}

ModalAnswerer& ModalAnswerer::clickStandardButton(QMessageBox::StandardButton standardButton)
{
    return answer([standardButton](QWidget* widget) {
        if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            if (QAbstractButton* button = box->button(standardButton)) {
                button->click();
                return;
            }
        }
        if (auto* buttonBox = widget->findChild<QDialogButtonBox*>()) {
            if (QAbstractButton* button =
                    buttonBox->button(static_cast<QDialogButtonBox::StandardButton>(standardButton))) {
                button->click();
                return;
            }
        }
        qWarning("ModalAnswerer: no such standard button; rejecting the dialog instead.");
        if (auto* dialog = qobject_cast<QDialog*>(widget)) {
            dialog->reject();
        }
    });
}

ModalAnswerer& ModalAnswerer::pressKey(Qt::Key key)
{
    return answer([key](QWidget* widget) { QTest::keyClick(widget, key); });
}

ModalAnswerer& ModalAnswerer::accept()
{
    return answer([](QWidget* widget) {
        if (auto* dialog = qobject_cast<QDialog*>(widget)) {
            dialog->accept();
        }
    });
}

ModalAnswerer& ModalAnswerer::reject()
{
    return answer([](QWidget* widget) {
        if (auto* dialog = qobject_cast<QDialog*>(widget)) {
            dialog->reject();
        }
    });
}

ModalRecord ModalAnswerer::lastRecord() const
{
    return m_records.isEmpty() ? ModalRecord() : m_records.last();
}

ModalRecord ModalAnswerer::describe(QWidget* widget)
{
    ModalRecord record;
    record.className = QString::fromLatin1(widget->metaObject()->className());
    record.objectName = widget->objectName();
    record.title = widget->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(widget)) {
        record.text = box->text();
        record.informativeText = box->informativeText();
        record.detailedText = box->detailedText();
        record.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            record.buttonTexts.append(withoutMnemonic(button->text()));
        }
    } else {
        for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
            if (button->isVisible() && !button->text().isEmpty()) {
                record.buttonTexts.append(withoutMnemonic(button->text()));
            }
        }
    }
    return record;
}

QAbstractButton* ModalAnswerer::findButton(QWidget* widget, const QString& text)
{
    const QString wanted = withoutMnemonic(text);
    for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
        if (withoutMnemonic(button->text()) == wanted) {
            return button;
        }
    }
    return nullptr;
}

void ModalAnswerer::poll()
{
    m_answeredWidgets.removeIf([](const QPointer<QWidget>& widget) { return widget.isNull() || !widget->isVisible(); });
    if (m_answers.empty()) {
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || m_answeredWidgets.contains(modal)) {
        return;
    }
    m_answeredWidgets.append(modal);
    m_records.append(describe(modal));
    Answer nextAnswer = std::move(m_answers.front());
    m_answers.pop_front();
    // Answered from a fresh event rather than from inside this timer's slot: an answer that opens the
    // next modal box with exec() must not block the timer that answers it.
    ++m_answersInFlight;
    QTimer::singleShot(0, modal, [this, nextAnswer = std::move(nextAnswer), modal] {
        --m_answersInFlight;
        nextAnswer(modal);
    });
}

} // namespace motifex::test
