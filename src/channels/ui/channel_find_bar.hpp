// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Find bar above the channel grid: "Find:" with the text to look for, "Next", a line that
// says how many channels match, and "Close". It only reports what the user does (typed text,
// Enter or Next, Esc or Close); which channels match, where the grid goes and when the bar
// closes is decided by the application's controller behind it.

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kestra {

class ChannelFindBar : public QWidget {
    Q_OBJECT
public:
    explicit ChannelFindBar(QWidget* parent = nullptr);

    QString text() const;
    // Shows the bar with the keyboard in its text, all of it selected so typing replaces it.
    void Open();
    // The line beside the buttons: "2 of 5 channels", "No channel matches", or nothing.
    void ShowResult(const QString& result);

    QLineEdit* textEdit() const { return text_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* closeButton() const { return close_; }
    QLabel* resultLabel() const { return result_; }

signals:
    // The user changed the text.
    void textEdited(const QString& text);
    // Enter in the text or "Next".
    void nextRequested();
    // Esc or "Close".
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* text_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* close_ = nullptr;
    QLabel* result_ = nullptr;
};

}  // namespace kestra
