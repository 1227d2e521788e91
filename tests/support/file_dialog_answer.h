#pragma once

// For widget tests only (needs QtWidgets).

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

namespace zantrel {

// Runs look on the next modal file dialog, then types the files into it (quoted when several,
// as a user would) and accepts, or cancels when there are none or the dialog refuses them.
inline void ChooseInNextFileDialog(std::function<void(QFileDialog&)> look, QStringList files) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, look, files] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        look(*dialog);
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"); name && !files.isEmpty())
            name->setText(files.size() == 1 ? files[0] : '"' + files.join("\" \"") + '"');
        if (!files.isEmpty()) QMetaObject::invokeMethod(dialog, "accept");
        if (dialog->isVisible()) dialog->reject();
    });
    timer->start();
}

} // namespace zantrel
