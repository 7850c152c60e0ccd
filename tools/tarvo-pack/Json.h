// Json: a small streaming JSON writer for the machine-readable output of tarvo-pack.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvopack {

// Texts are 8-bit ANSI: bytes 0x80..0xFF are written as \u0080..\u00FF so the output stays
// valid JSON whatever the code page was.
std::string JsonQuote(const std::string& text);

class JsonWriter {
 public:
  JsonWriter& BeginObject(const std::string& key = "");
  JsonWriter& EndObject();
  JsonWriter& BeginArray(const std::string& key = "");
  JsonWriter& EndArray();
  JsonWriter& Text(const std::string& key, const std::string& value);
  JsonWriter& Number(const std::string& key, uint64_t value);
  JsonWriter& SignedNumber(const std::string& key, int64_t value);
  JsonWriter& Bool(const std::string& key, bool value);
  // Array items (key empty).
  JsonWriter& Text(const std::string& value) { return Text("", value); }
  JsonWriter& Number(uint64_t value) { return Number("", value); }

  const std::string& Str() const { return out_; }

 private:
  void Prefix(const std::string& key);
  std::string out_;
  std::vector<bool> first_;  // per open level: nothing written yet
};

}  // namespace tarvopack
