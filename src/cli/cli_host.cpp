#include "cli/cli_host.h"

namespace zantrel {

void CliHost::messageBox(const QByteArray& title, const QByteArray& text) {
    err_.write(title.constData(), title.size());
    err_ << ": ";
    err_.write(text.constData(), text.size());
    err_ << std::endl;
}

} // namespace zantrel
