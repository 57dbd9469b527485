#pragma once
// The link records are laid out for the console's two-byte wchar_t, and say so. In the
// native fuzz build their fields are char16_t of that width; the standard headers come
// first, so that only the records see the change.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#define wchar_t char16_t
#include "console/LinkRecords.h"
#undef wchar_t
