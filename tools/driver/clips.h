// Test clips made, and outputs examined, with the build's own converter.
#pragma once

#include "tests/support/support.h"

namespace driver {
using test::MakeClip;
using test::Probe;
} // namespace driver
