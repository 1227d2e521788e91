#pragma once

#include "core/host.h"

#include <ostream>

namespace zantrel {

// The window's dialogs answered from the command line: message boxes are printed as
// "title: text", the file dialogs return the paths given, printing is declined.
class CliHost final : public Host {
  public:
    explicit CliHost(std::ostream& err) : err_(err) {}

    void messageBox(const QByteArray& title, const QByteArray& text) override;
    std::optional<QByteArray> saveFileDialog() override { return savePath; }
    std::optional<QByteArray> openFileDialog() override { return openPath; }
    QList<QByteArray> openFilesDialog() override {
        return openPath ? QList<QByteArray>{*openPath} : QList<QByteArray>{};
    }

    std::optional<QByteArray> savePath;
    std::optional<QByteArray> openPath;

  private:
    std::ostream& err_;
};

} // namespace zantrel
