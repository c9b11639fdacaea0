// The raster step's bands on Windows threads. MinGW-w64's win32 thread model has no
// std::thread, so the shared worker pool of the core runs every job on its caller there;
// this runner keeps a pool of its own in the same way, of CreateThread workers started on
// first need. Each worker holds a reference to the module that runs it, so the DLL cannot
// be unloaded under it, and leaves through FreeLibraryAndExitThread after a while without
// work; nothing waits for a thread when the module is unloaded or the process exits.
#pragma once

#include "raster/band_runner.hpp"

namespace trazo::win32 {

class ThreadBandRunner final : public BandRunner {
 public:
  // The processors the system lets this process use.
  int parallelism() const override;
  int run(int count, int threads, BandWork& work) override;
};

// The one runner of the module's pictures.
ThreadBandRunner& threadBandRunner();

}  // namespace trazo::win32
