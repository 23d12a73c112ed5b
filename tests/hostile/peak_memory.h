// The peak resident memory of this process, from Linux's /proc: the kernel keeps a high
// water mark that writing 5 to clear_refs puts back to the present size. Lets a test
// prove that a refused picture never had its pixels allocated (and touched).
#pragma once

#include <cstddef>
#include <fstream>
#include <string>

class PeakMemory {
 public:
  // False when the platform cannot reset the mark (the test should then skip).
  static bool Reset() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good();
  }
  static size_t HighWaterBytes() { return StatusKilobytes("VmHWM:") * 1024; }
  static size_t ResidentBytes() { return StatusKilobytes("VmRSS:") * 1024; }

 private:
  static size_t StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    size_t value = 0;
    while (status >> name) {
      if (name == field && status >> value) return value;
    }
    return 0;
  }
};

// How much the resident memory grew above where it stood while running work.
template <typename Work>
size_t PeakGrowth(Work&& work) {
  PeakMemory::Reset();
  const size_t before = PeakMemory::ResidentBytes();
  work();
  const size_t peak = PeakMemory::HighWaterBytes();
  return peak > before ? peak - before : 0;
}
