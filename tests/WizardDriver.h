// Drives a wizard form as a user would: answers the open dialog and message boxes that the
// form runs modally, and clicks its buttons through the platform's mouse events.
#pragma once

#include "Controls.h"
#include "internal/QtHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace WizardDriver {

// Runs Answer on the next modal window of type W as soon as it is shown.
template <class W> void WhenModal(std::function<void(W*)> Answer) {
    auto* Poll = new QTimer;
    Poll->setInterval(5);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Answer] {
        if (auto* Window = qobject_cast<W*>(QApplication::activeModalWidget())) {
            Poll->stop();
            Poll->deleteLater();
            Answer(Window);
        }
    });
    Poll->start();
}

// Types Path into the next open dialog's file-name field and confirms; an empty Path cancels.
inline void AnswerFileDialog(const QString& Path) {
    WhenModal<QFileDialog>([Path](QFileDialog* Dialog) {
        if (Path.isEmpty()) {
            Dialog->reject();
            return;
        }
        auto* Edit = Dialog->findChild<QLineEdit*>("fileNameEdit");
        Edit->setText(Path);
        QTest::keyClick(Edit, Qt::Key_Return);
    });
}

// Closes the next message box and hands its text to Seen.
inline void AnswerMessageBox(QString* Seen) {
    WhenModal<QMessageBox>([Seen](QMessageBox* Box) {
        *Seen = Box->text();
        Box->accept();
    });
}

inline void Click(TControl* Control) {
    QWidget* W = TControlAccess::Widget(Control);
    QTest::mouseClick(W, Qt::LeftButton, {}, W->rect().center());
}

} // namespace WizardDriver
