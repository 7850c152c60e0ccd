// Tests for the delimited-list class SUB.
#include "util/KSUB.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(KSUB, FieldCount) {
  struct Case {
    std::string list;
    int expected;
  } cases[] = {
      {"", 0},
      {"|", 0},
      {"||", 1},
      {"|a|b|", 2},
      {"|a|b", 0},
      {"|a||c|", 3},
      {"a|b|a", 1},
      {"*x|y*", 1},
      {"\x01"
       "a\x01",
       1},
      {"\xFF"
       "a\xFF"
       "b\xFF",
       2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::FieldCount(c.list), c.expected) << "list '" << c.list << "'";
}

TEST(KSUB, Field) {
  struct Case {
    std::string list;
    int index;
    std::string def, expected;
  } cases[] = {
      {"|a||c|", 0, "x", "a"},
      {"|a||c|", 1, "x", "x"},  // empty field gives the default
      {"|a||c|", 2, "x", "c"},
      {"|a||c|", 3, "x", "x"},  // past the last field
      {"", 0, "d", "d"},
      {"\0"s, 0, "d", "d"},
      {"|", 0, "d", "d"},
      {"|a|b", 0, "", "a"},   // need not end with its separator
      {"|a|b", 1, "z", "z"},  // text after the last separator is not a field
      {"|a|b|", -1, "n", "n"},
      {"\x01k=v\x01k2=v2\x01", 1, "", "k2=v2"},
      {"\xFF"
       "a b\xFF",
       0, "", "a b"},
      {"|x\0y|"s, 0, "", "x\0y"s},  // code 0 inside a field is kept
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::Field(c.list, c.index, c.def), c.expected)
        << "list '" << c.list << "' index " << c.index;
}

TEST(KSUB, FieldInt) {
  struct Case {
    std::string list;
    int index;
    std::int64_t def, expected;
  } cases[] = {
      {"|12|-7|+3|", 0, 99, 12},
      {"|12|-7|+3|", 1, 99, -7},
      {"|12|-7|+3|", 2, 99, 3},
      {"|12|-7|+3|", 3, 99, 99},
      {"|abc|", 0, 5, 5},
      {"|12x|", 0, 5, 5},
      {"||", 0, 5, 5},
      {"|-|", 0, 5, 5},
      {"|9223372036854775807|", 0, 5, INT64_MAX},
      {"|-9223372036854775808|", 0, 5, INT64_MIN},
      {"|9223372036854775808|", 0, 5, 5},  // overflow is not a number
      {"| 42 |", 0, 5, 42},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::FieldInt(c.list, c.index, c.def), c.expected)
        << "list '" << c.list << "' index " << c.index;
}

TEST(KSUB, NameValue) {
  struct Case {
    std::string list, name, expected;
  } cases[] = {
      {"| Name =Ann|Age=5|", "name", "Ann"},
      {"| Name =Ann|Age=5|", "AGE", "5"},
      {"| Name =Ann|Age=5|", "age=", "5"},  // a trailing '=' is not doubled
      {"|Name= Ann|", "Name", " Ann"},      // a blank after '=' stays
      {"| Name =Ann|Age=5|", "Nam", "?"},
      {"|A=|", "a", "-"},
      {"|a=x =y|", "a", "x=y"},  // the ' =' joining works inside values too
      {"|xa=1|a=2|", "a", "2"},  // names match whole, from the separator
      {"|a=1|a=2|", "a", "1"},   // the first occurrence wins
      {"|a=1|b=2", "b", "?"},    // not well formed: last character differs
      {"||", "a", "?"},          // shorter than three characters
      {"|  a=1|", "a", "?"},     // only one blank is dropped after a separator
      {"\x01hide=\x01"
       "SpanCdLvl=2\x01",
       "spancdlvl", "2"},
      {"|a=b=c|", "a", "b=c"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::NameValue(c.list, c.name, "?", "-"), c.expected)
        << "list '" << c.list << "' name " << c.name;
}

TEST(KSUB, SetField) {
  struct Case {
    std::string list;
    int index;
    std::string value, expected;
  } cases[] = {
      {"|a|b|", 3, "z", "|a|b||z|"},
      {"", 0, "x", "|x|"},
      {"|a|b|", 1, "q", "|a|q|"},
      {"|a|b|", 0, "p|q", "*p|q*b*"},  // '|' in the value: first free candidate
      {"|a|b", 0, "x", "|x|"},         // unterminated list keeps the fields up to index
      {"|a|b", 1, "x", "|a|x|"},
      {"|a|b|", 0, "", "||b|"},
      {"*a*b*", 1, "|", "*a*|*"},   // a foreign separator is kept when free
      {"|a|b|", -1, "x", "|a|b|"},  // no such field: the list is rebuilt unchanged
      {"|a|", 0, "|*^", "!|*^!"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::SetField(c.list, c.index, c.value), c.expected)
        << "list '" << c.list << "' index " << c.index << " value '" << c.value << "'";
}

TEST(KSUB, SetFieldWhenEveryCandidateIsTaken) {
  // With all ten candidates inside the value, the placeholder code 0 stays the separator.
  const std::string all = SUB::SeparatorCandidates();
  EXPECT_EQ(SUB::SetField("|a|", 0, all), "\0"s + all + "\0"s);
  EXPECT_EQ(SUB::Field(SUB::SetField("|a|", 0, all), 0, ""), all);
}

TEST(KSUB, PickSeparator) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"", ""},           {"|a|b|", "*a*b*"},
      {"|a*b|", "^a*b^"}, {"xax", "|a|"},
      {"\0a\0"s, "|a|"},  {"\0|*^!~@#$&\0"s, "\xFF|*^!~@#$&\xFF"},  // only code 255 is left
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::PickSeparator(c.text), c.expected) << "text '" << c.text << "'";
  const std::string full = "\0"s + SUB::SeparatorCandidates() + "\0"s;
  EXPECT_EQ(SUB::PickSeparator(full), full);
}

TEST(KSUB, SetFieldThenFieldRoundTrips) {
  std::string list;
  const std::string values[] = {"plain", "with|bar", "", "star*and|bar", "x"};
  for (int i = 0; i < 5; ++i) list = SUB::SetField(list, i, values[i]);
  EXPECT_EQ(SUB::FieldCount(list), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SUB::Field(list, i, ""), values[i]) << "field " << i;
}

}  // namespace
