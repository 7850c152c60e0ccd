// Streaming zlib inflate in bounded memory: input goes in piece by piece, output comes out in
// chunks.
#include "payload/Inflater.h"

namespace payload {

Inflater::Inflater() : output_(kChunkSize) {
  ready_ = inflateInit(&stream_) == Z_OK;
  if (!ready_) error_ = "zlib could not start";
}

Inflater::~Inflater() {
  if (ready_) inflateEnd(&stream_);
}

Inflater::Status Inflater::Finish(Status status) {
  finished_ = true;
  final_ = status;
  return status;
}

Inflater::Status Inflater::Fail(int code) {
  if (stream_.msg != nullptr) {
    error_ = stream_.msg;
  } else if (code == Z_MEM_ERROR) {
    error_ = "out of memory";
  } else {
    error_ = "damaged stream (zlib error " + std::to_string(code) + ")";
  }
  return Finish(Status::kError);
}

Inflater::Status Inflater::Feed(const char* input, size_t size, const ChunkFn& chunk) {
  if (!ready_) return Status::kError;
  if (finished_) return final_;
  stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
  stream_.avail_in = static_cast<uInt>(size);
  for (;;) {
    stream_.next_out = reinterpret_cast<Bytef*>(output_.data());
    stream_.avail_out = static_cast<uInt>(output_.size());
    const int code = inflate(&stream_, Z_NO_FLUSH);
    const size_t produced = output_.size() - stream_.avail_out;
    if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR) return Fail(code);
    if (produced > 0 && !chunk(output_.data(), produced)) return Finish(Status::kStopped);
    if (code == Z_STREAM_END) return Finish(Status::kStreamEnd);
    // Z_BUF_ERROR means no progress was possible: fine when the input is used up, else the stream
    // is bad.
    if (stream_.avail_in == 0 && (stream_.avail_out != 0 || code == Z_BUF_ERROR))
      return Status::kNeedInput;
    if (code == Z_BUF_ERROR) return Fail(code);
  }
}

}  // namespace payload
