// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt_messenger.hpp"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

namespace kestra {

QtMessenger::QtMessenger(QString caption) : caption_(std::move(caption)) {}

bool QtMessenger::Show(const std::string& text, MessageButtons buttons) {
    const QString message = QString::fromStdString(text);
    return OnUiThread([&] { return ShowHere(message, buttons); });
}

void QtMessenger::ShowFailure(const std::string& text, MessageIcon icon) {
    const QString message = QString::fromStdString(text);
    OnUiThread([&] { return ShowFailureHere(message, icon); });
}

bool QtMessenger::OnUiThread(const std::function<bool()>& show) const {
    auto* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return show();
    }
    // Widgets live on the user-interface thread only: ask it and wait for the answer.
    bool answer = false;
    QMetaObject::invokeMethod(
        app, [&] { answer = show(); }, Qt::BlockingQueuedConnection);
    return answer;
}

bool QtMessenger::ShowFailureHere(const QString& text, MessageIcon icon) const {
    // The message's own text is the box's text; what follows it is the explanation under it.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::Warning,
                    caption_, lineEnd < 0 ? text : text.left(lineEnd), QMessageBox::Ok,
                    QApplication::activeWindow());
    if (lineEnd >= 0) {
        box.setInformativeText(text.mid(lineEnd + 1));
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

bool QtMessenger::ShowHere(const QString& text, MessageButtons buttons) const {
    if (buttons == MessageButtons::YesNo) {
        QMessageBox box(QMessageBox::Question, caption_, text, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    const bool withCancel = buttons == MessageButtons::OkCancel;
    QMessageBox box(withCancel ? QMessageBox::Question : QMessageBox::Information, caption_, text,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace kestra
