// BuildRandom: the builder's seeded generator, so that a fixed seed gives byte-identical builds.
#pragma once

#include <cstdint>
#include <string>

namespace payload {

// SplitMix64: tiny, fast and the same on every platform; the builder needs reproducibility,
// not secrecy.
class BuildRandom {
 public:
  explicit BuildRandom(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // A number from low to high, both included (high >= low).
  uint64_t Range(uint64_t low, uint64_t high) { return low + Next() % (high - low + 1); }

  uint8_t Byte() { return static_cast<uint8_t>(Next() >> 56); }

  std::string Bytes(size_t count) {
    std::string out;
    out.reserve(count);
    for (size_t i = 0; i < count; ++i) out.push_back(static_cast<char>(Byte()));
    return out;
  }

  // A derived generator for one purpose, so adding a draw elsewhere never shifts this one.
  BuildRandom Fork(uint64_t purpose) const {
    BuildRandom copy(state_ ^ (purpose * 0xD1B54A32D192ED03ULL));
    copy.Next();
    return copy;
  }

 private:
  uint64_t state_;
};

}  // namespace payload
