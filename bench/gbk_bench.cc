// Cost of turning a response body into GBK text: Utf8ToGbk on a 5 KB body
// of mixed Chinese and ASCII, as the rights list answers look. Prints the
// median and the 99th percentile of many runs in microseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/gbk.h"

namespace {

std::string MixedBody(size_t size) {
  // A rights-list-shaped record: ASCII keys, Chinese values.
  const std::string record =
      "{\"name\":\"\xE5\xB7\xB2\xE9\xA2\x86\xE5\x8F\x96\xE7\x89\xB9\xE6\x9D\x83"
      "\",\"rightsId\":\"20200909100507\",\"desc\":\"\xE4\xBC\x9A\xE5\x91\x98"
      "\xE4\xB8\x93\xE4\xBA\xAB\xE8\xAF\xB4\xE6\x98\x8E\",\"level\":3},";
  std::string body = "{\"resultData\":{\"data\":[";
  while (body.size() + record.size() < size) body += record;
  body += "]}}";
  return body;
}

template <typename F>
void Measure(const char* name, size_t bytes, F&& run) {
  constexpr int kRuns = 3000;
  std::vector<double> us;
  us.reserve(kRuns);
  size_t sink = 0;
  for (int i = 0; i < 50; ++i) sink += run();  // warm up
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    sink += run();
    us.push_back(std::chrono::duration<double, std::micro>(
                     std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(us.begin(), us.end());
  std::printf("%-12s %zu bytes: median %.1f us, p99 %.1f us (%zu)\n", name,
              bytes, us[us.size() / 2], us[us.size() * 99 / 100], sink % 10);
}

}  // namespace

int main() {
  const std::string body = MixedBody(5 * 1024);
  const std::string text = base::Utf8ToGbk(body);
  Measure("Utf8ToGbk", body.size(),
          [&] { return base::Utf8ToGbk(body).size(); });
  Measure("Utf8OfText", text.size(),
          [&] { return base::Utf8OfText(text).size(); });
  return 0;
}
