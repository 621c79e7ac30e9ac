#include "net/base64.h"

#include <gtest/gtest.h>

namespace net {
namespace {

TEST(Base64EncodeTest, EncodesRfc4648Vectors) {
  const struct {
    std::string bytes;
    const char* encoded;
  } kCases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {std::string("\0\xFF\xFE", 3), "AP/+"},
      {std::string("\xFB\xEF", 2), "++8="},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.encoded);
    EXPECT_EQ(Base64Encode(c.bytes), c.encoded);
  }
}

TEST(BasicCredentialsTest, EncodesUserColonPasswordAsGiven) {
  EXPECT_EQ(BasicCredentials("Aladdin", "open sesame"), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
  EXPECT_EQ(BasicCredentials("user", ""), "Basic dXNlcjo=");
  // 用户 in GBK (D3 C3 BB A7), not converted to UTF-8.
  EXPECT_EQ(BasicCredentials("\xD3\xC3\xBB\xA7", "p"), "Basic 08O7pzpw");
}

}  // namespace
}  // namespace net
