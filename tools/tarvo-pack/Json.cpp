// Json: a small streaming JSON writer (see Json.h).
#include "tarvo-pack/Json.h"

namespace tarvopack {

std::string JsonQuote(const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char c : text) {
    const auto b = static_cast<uint8_t>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (b < 0x20 || b >= 0x7F) {
      out += "\\u00";
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void JsonWriter::Prefix(const std::string& key) {
  if (!first_.empty()) {
    if (!first_.back()) out_ += ",";
    first_.back() = false;
    out_ += "\n" + std::string(first_.size() * 2, ' ');
  }
  if (!key.empty()) out_ += JsonQuote(key) + ": ";
}

JsonWriter& JsonWriter::BeginObject(const std::string& key) {
  Prefix(key);
  out_ += "{";
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  const bool empty = first_.back();
  first_.pop_back();
  if (!empty) out_ += "\n" + std::string(first_.size() * 2, ' ');
  out_ += "}";
  if (first_.empty()) out_ += "\n";
  return *this;
}

JsonWriter& JsonWriter::BeginArray(const std::string& key) {
  Prefix(key);
  out_ += "[";
  first_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  const bool empty = first_.back();
  first_.pop_back();
  if (!empty) out_ += "\n" + std::string(first_.size() * 2, ' ');
  out_ += "]";
  if (first_.empty()) out_ += "\n";
  return *this;
}

JsonWriter& JsonWriter::Text(const std::string& key, const std::string& value) {
  Prefix(key);
  out_ += JsonQuote(value);
  return *this;
}

JsonWriter& JsonWriter::Number(const std::string& key, uint64_t value) {
  Prefix(key);
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::SignedNumber(const std::string& key, int64_t value) {
  Prefix(key);
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(const std::string& key, bool value) {
  Prefix(key);
  out_ += value ? "true" : "false";
  return *this;
}

}  // namespace tarvopack
