// KDebug: the trace stream's buffer and its cutting into pieces.
#include "core/KDebug.h"

#include "core/ProcessFacts.h"

TraceStream::~TraceStream() {
  Flush();
}

TraceStream& TraceStream::operator<<(std::string_view text) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  for (char c : text) Put(c);
  return *this;
}

TraceStream& TraceStream::operator<<(const char* text) {
  return *this << std::string_view(text != nullptr ? text : "");
}

TraceStream& TraceStream::operator<<(char c) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  Put(c);
  return *this;
}

TraceStream& TraceStream::operator<<(bool value) {
  return *this << std::string_view(value ? "TRUE" : "FALSE");
}

void TraceStream::EndLine() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  Put('\n');
  Deliver();
}

void TraceStream::Flush() {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  Deliver();
}

void TraceStream::SetSink(kdebug::PieceSink sink) {
  std::lock_guard<std::recursive_mutex> hold(lock_);
  sink_ = sink;
}

void TraceStream::Put(char c) {
  buffer_[position_++] = c;
  if (position_ == kdebug::kTraceBufferSize) Deliver();
}

void TraceStream::Deliver() {
  if (position_ == 0) return;
  // The buffer is emptied before the sink runs: anything traced while the piece is on its way
  // (a handler run by the send) starts a fresh piece instead of being lost or sent twice.
  const std::size_t count = position_;
  position_ = 0;
  try {
    const std::string piece(buffer_, count);
    if (sink_ != nullptr) sink_(piece);
  } catch (...) {
    // A trace must never change the program's course: the piece is dropped.
  }
}

TraceStream& EndLine(TraceStream& stream) {
  stream.EndLine();
  return stream;
}

TraceStream& Trace() {
  static TraceStream stream;
  return stream;
}

TraceStream& TracePid() {
  return Trace() << CurrentProcessId();
}

void TraceLine(const std::string& line) {
  Trace() << line << EndLine;
}

std::string TraceExceptionText(const std::string& routineName, const std::string& extra,
                               const std::string& exceptionMessage) {
  std::string text = " --- " + routineName + "()";
  if (!extra.empty()) text += " --- " + extra;
  return text + " --- " + exceptionMessage;
}

void TraceException(const std::string& routineName, const std::string& extra,
                    const std::string& exceptionMessage) {
  TraceLine(TraceExceptionText(routineName, extra, exceptionMessage));
}
