#include "core/state.h"
#include "zantrel_version.h"

namespace zantrel {

const char* const kDesignedCaption = "Zantrel(tm) - Version " ZANTREL_VERSION;

} // namespace zantrel
