#pragma once

namespace varnolux {

/// Whether the processor runs AVX2 instructions (kernels built for it are chosen at
/// run time; the program itself needs only the baseline instruction set).
bool HasAvx2();

} // namespace varnolux
