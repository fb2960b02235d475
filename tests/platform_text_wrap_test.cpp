#include <gtest/gtest.h>

#include "platform/text_wrap.h"

namespace {

struct WrapRow {
    const char* text;
    size_t columns;
    const char* wrapped;
};

class TextWrap : public testing::TestWithParam<WrapRow> {};

// The fatal box's text: at spaces where it can, inside a long path where it must.
TEST_P(TextWrap, LinesFitTheColumns) {
    EXPECT_EQ(platform::wrapText(GetParam().text, GetParam().columns), GetParam().wrapped);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextWrap,
    testing::Values(WrapRow{"short", 10, "short"}, WrapRow{"one two three", 7, "one two\nthree"},
                    WrapRow{"a /very/long/path b", 6, "a\n/very/\nlong/p\nath b"},
                    WrapRow{"kept\nbreak here", 5, "kept\nbreak\nhere"},
                    WrapRow{"exactly10!", 10, "exactly10!"}));

}  // namespace
