// Streaming zlib inflate in bounded memory: input goes in piece by piece, output comes out in
// chunks.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace payload {

class Inflater {
 public:
  static constexpr size_t kChunkSize = 65536;

  enum class Status { kNeedInput, kStreamEnd, kError, kStopped };
  // Receives each produced chunk; false stops the inflate (kStopped).
  using ChunkFn = std::function<bool(const char* bytes, size_t size)>;

  Inflater();
  ~Inflater();
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // Inflates one piece of the stream (header 0x78 .., deflate data, Adler-32), handing out every
  // chunk it produces. After kStreamEnd, kError or kStopped the inflater takes no more input.
  Status Feed(const char* input, size_t size, const ChunkFn& chunk);
  // Why the stream was refused (after kError).
  const std::string& Error() const { return error_; }

 private:
  Status Finish(Status status);
  Status Fail(int code);

  z_stream stream_{};
  bool ready_ = false;
  bool finished_ = false;
  Status final_ = Status::kStreamEnd;  // what Feed answers once finished
  std::vector<char> output_;
  std::string error_;
};

}  // namespace payload
