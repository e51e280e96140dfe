#include "app/qt_messenger.hpp"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

namespace kestra {

QtMessenger::QtMessenger(QString caption) : caption_(std::move(caption)) {}

bool QtMessenger::Show(const std::string& text, MessageButtons buttons) {
    const QString message = QString::fromStdString(text);
    auto* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return ShowHere(message, buttons);
    }
    // Widgets live on the user-interface thread only: ask it and wait for the answer.
    bool answer = false;
    QMetaObject::invokeMethod(
        app, [&] { answer = ShowHere(message, buttons); }, Qt::BlockingQueuedConnection);
    return answer;
}

bool QtMessenger::ShowHere(const QString& text, MessageButtons buttons) const {
    const bool withCancel = buttons == MessageButtons::OkCancel;
    QMessageBox box(withCancel ? QMessageBox::Question : QMessageBox::Information, caption_, text,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace kestra
