// The event the download engine's threads steer one another with (manual or automatic reset, a
// test that never blocks, timed waits) is the threads seam's.
#pragma once

#include "platform/thread.h"

using Event = platform::Event;
