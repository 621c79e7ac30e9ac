#include "base/cesu8.h"

#include <gtest/gtest.h>

namespace base {
namespace {

TEST(Utf16OfCesu8Test, DecodesSurrogateHalvesAsAPair) {
  const struct {
    const char* name;
    const char* cesu8;
    std::u16string utf16;
  } kCases[] = {
      {"ASCII", "ab", u"ab"},
      {"Chinese", "\xE4\xB8\xAD", u"\u4E2D"},
      // U+1F600 as the halves D83D DE00, three bytes each.
      {"non-BMP", "\xED\xA0\xBD\xED\xB8\x80!", u"\U0001F600!"},
      {"empty", "", u""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf16OfCesu8(c.cesu8), c.utf16);
  }
  // A byte that starts no sequence becomes one substitute unit; the rest
  // still decodes.
  const std::u16string broken = Utf16OfCesu8("a\xFF" "b");
  EXPECT_EQ(broken.front(), u'a');
  EXPECT_EQ(broken.back(), u'b');
  EXPECT_EQ(broken.size(), 3u);
}

}  // namespace
}  // namespace base
