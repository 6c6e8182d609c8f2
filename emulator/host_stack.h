// The host calls plug-in commands on its program's main thread, whose stack
// is 2 MiB; the emulator does its work on a stack of that size too, so that
// a command or check that needs more fails here as it would in the host.
// On Windows the program's own main thread has it (the linker sets the
// reserve); natively, where the main thread usually has 8 MiB, the work
// runs on a thread of that stack size instead.
#pragma once

#include <cstddef>
#include <functional>

namespace emulator {

constexpr size_t kHostStackBytes = size_t{2} << 20;

// Runs `work` on a stack of kHostStackBytes and returns what it returns.
int RunOnHostStack(const std::function<int()>& work);

}  // namespace emulator
