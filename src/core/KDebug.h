// KDebug: the trace stream. Writes fill a 128-character buffer that is handed on as one piece
// whenever it is full and at every line end; the installed piece sink decides where pieces go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>

namespace kdebug {

constexpr std::size_t kTraceBufferSize = 128;

// How pieces reach a debug viewer: each piece becomes a global atom whose number travels as the
// second parameter of the registered message, sent to the viewer's top-level window.
constexpr const char* kViewerClass = ".KDebug.";
constexpr const char* kDebugMessageName = ".K_DebugMsg.";
constexpr unsigned kChannel = 1;  // first parameter

// Receives one piece (1 to 128 characters; the last piece of a line ends with '\n'). A plain
// function so that the stream can still deliver while statics are being torn down.
using PieceSink = void (*)(const std::string& piece);

}  // namespace kdebug

// One text stream: text, numbers in decimal, booleans as "TRUE"/"FALSE", single characters.
// Never throws and never reports an error to the writer.
class TraceStream {
 public:
  TraceStream() = default;
  TraceStream(const TraceStream&) = delete;
  TraceStream& operator=(const TraceStream&) = delete;
  // Whatever is still buffered is delivered when the stream is closed.
  ~TraceStream();

  TraceStream& operator<<(std::string_view text);
  TraceStream& operator<<(const std::string& text) { return *this << std::string_view(text); }
  TraceStream& operator<<(const char* text);
  TraceStream& operator<<(char c);
  TraceStream& operator<<(bool value);
  template <typename T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool> &&
           !std::is_same_v<T, char>) TraceStream&
  operator<<(T value) {
    return *this << std::string_view(std::to_string(value));
  }
  TraceStream& operator<<(TraceStream& (*manipulator)(TraceStream&)) { return manipulator(*this); }

  // Appends a line feed (no carriage return) and delivers the buffer.
  void EndLine();
  // Delivers whatever is buffered.
  void Flush();
  // nullptr drops every piece.
  void SetSink(kdebug::PieceSink sink);

 private:
  void Put(char c);
  void Deliver();

  char buffer_[kdebug::kTraceBufferSize] = {};
  std::size_t position_ = 0;
  kdebug::PieceSink sink_ = nullptr;
  // Guards the buffer and makes one delivery indivisible; recursive because a delivery may pump
  // sent messages whose handlers trace again.
  std::recursive_mutex lock_;
};

// Manipulator: Trace() << "text" << EndLine;
TraceStream& EndLine(TraceStream& stream);

// The process-wide trace stream.
TraceStream& Trace();
// The process-wide stream after the current process id in decimal: the start of a line that
// identifies its process.
TraceStream& TracePid();
// One whole line.
void TraceLine(const std::string& line);

// " --- Routine() --- Extra --- Message", the " --- Extra" part only when Extra is not empty.
std::string TraceExceptionText(const std::string& routineName, const std::string& extra,
                               const std::string& exceptionMessage);
// Writes TraceExceptionText as one trace line.
void TraceException(const std::string& routineName, const std::string& extra,
                    const std::string& exceptionMessage);
