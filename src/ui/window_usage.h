#pragma once

#include <QStringList>
#include <ostream>

namespace zantrel {

// zantrel --help and --version. They are answered before the toolkit starts, so they work
// without a display (the manual page is made from them at build time). True when the
// arguments (those after the program's name) ask for one of them; its text is then on `out`.
bool AnswerUsageRequest(const QStringList& arguments, std::ostream& out);

} // namespace zantrel
