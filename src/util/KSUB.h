// KSUB: delimited lists ('|a|b|c|'), one text whose first character is the separator.
#pragma once

#include <cstdint>
#include <string>

// Class methods only: lists are plain texts kept by the callers.
class SUB {
 public:
  SUB() = delete;

  // Separator candidates, tried in this order when a list needs a new separator.
  static const std::string& SeparatorCandidates();

  static int FieldCount(const std::string& list);
  static std::string Field(const std::string& list, int index, const std::string& def);
  static std::int64_t FieldInt(const std::string& list, int index, std::int64_t def);
  static std::string NameValue(const std::string& list, const std::string& name,
                               const std::string& notFoundDefault, const std::string& emptyDefault);
  static std::string SetField(const std::string& list, int index, const std::string& value);
  static std::string PickSeparator(const std::string& text);
};
