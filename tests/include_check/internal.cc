// A front-end file that reaches past the public interface: the include check
// must refuse its second include (CliIncludes.RefusesAnInternalHeader).
#include "cli/lines.h"
#include "base/text_buffer.h"
#include "zarnex/zarnex.hpp"

#include <string>
