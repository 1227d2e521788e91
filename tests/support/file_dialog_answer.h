#pragma once

// For widget tests only (needs QtWidgets).

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace zantrel {

// Runs look on the next modal file dialog, then chooses files in it (names in the dialog's
// folder, each quoted, as a user types several) or cancels it when files is empty.
inline void ChooseInNextFileDialog(std::function<void(QFileDialog&)> look,
                                   const QStringList& files) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, look, files] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        look(*dialog);
        if (files.isEmpty()) {
            dialog->reject();
            return;
        }
        QStringList quoted;
        for (const QString& file : files)
            quoted << '"' + file + '"';
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
            name->setText(files.size() == 1 ? files.first() : quoted.join(' '));
        QMetaObject::invokeMethod(dialog, "accept");
        // A choice the dialog refuses cancels it, so that the test fails rather than waits.
        if (dialog->isVisible()) dialog->reject();
    });
    timer->start();
}

} // namespace zantrel
