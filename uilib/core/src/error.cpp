#include "uilib/error.h"

void AtlThrow(std::int32_t hr) { throw CAtlException(hr); }
