#include "runtime/str_to_int.h"

#include <gtest/gtest.h>

#include "runtime/errors.h"

namespace runtime {
namespace {

TEST(StrToInt, WholeNumbersInTheirWrittenForms) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"0", 0},
      {"  42", 42},
      {"+7", 7},
      {"-15", -15},
      {"$1F", 31},
      {"0x1f", 31},
      {"-0X10", -16},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"007", 7},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, AnythingElseRaisesTheConversionError) {
  for (const char* text : {"", " ", "-", "0x", "$", "12 ", "1024x", "1.5", "\t3", "2147483648",
                           "-2147483649", "99999999999999999999"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "no error for '" << text << "'";
    } catch (const ConvertError& error) {
      EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
      EXPECT_FALSE(error.cause());  // the tool's own finding, no platform call failed
    }
  }
}

}  // namespace
}  // namespace runtime
