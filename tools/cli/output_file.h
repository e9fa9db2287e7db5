// Where a file command writes the bytes it makes.
#pragma once

#include <cstddef>
#include <string>

namespace vqled::cli {

// Writes bytes to path through a temporary file, or to stdout for an empty
// path. Returns the exit status, the reason on stderr.
int WriteOutput(const std::string& path, const void* data, size_t size);

}  // namespace vqled::cli
