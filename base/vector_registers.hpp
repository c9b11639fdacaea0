// Tells the processor that the upper halves of its wide vector registers hold nothing. Code
// of other libraries in the process (a GUI toolkit's drawing, a numeric library's loops) can
// leave them in use; until they are cleared, every SSE instruction of ours, which is every
// floating-point step and every blend, waits on them, and a repaint takes half as long again.
// Called where the control's work starts on a thread it does not own; does nothing where the
// processor has no such registers.
#pragma once

namespace trazo {

void settleVectorRegisters() noexcept;

}  // namespace trazo
