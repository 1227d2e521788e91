#pragma once

// For widget tests only (needs QtWidgets).

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace zantrel {

// Answers every modal message box that opens while it lives with answer (OK unless told), and
// records each as "title|text", so code that opens one can run in a test without a user.
class MessageBoxCatcher : public QObject {
  public:
    MessageBoxCatcher() {
        timer_.setInterval(2);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen << box->windowTitle() + "|" + box->text();
            box->done(answer);
        });
        timer_.start();
    }

    QStringList seen;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

  private:
    QTimer timer_;
};

} // namespace zantrel
