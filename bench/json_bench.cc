// Cost of one handler run over each document backing: construct, Parse of
// a 5 KB list answer, 40 GetText reads, Destroy. Prints the median and the
// 95th percentile in microseconds, and the median of each phase.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "base/numbers_dates.h"
#include "json/json_document.h"

namespace {

// A list answer of about 5 KB in the service's shape, as GBK text.
base::Text ListAnswer() {
  std::string utf8 =
      R"({"resultCode":"0","resultMsg":"成功","resultData":{"data":{)";
  for (int list = 1; list <= 2; ++list) {
    utf8 += "\"subRightsList" + std::to_string(list) + "\":[";
    for (int k = 0; k < 11; ++k) {
      if (k > 0) utf8 += ',';
      utf8 += R"({"name":"视频会员月卡特权)" + std::to_string(k) +
              R"(","subRightsVal":)" + std::to_string(15 + k) +
              R"(,"subTitle":"每月领取一次，\u9650\u91cf\u4f9b\u5e94",)"
              R"("userLevel":"3","rightsTarget":"V)" + std::to_string(k % 5) +
              R"(","rightsId":"RID2024)" + std::to_string(100000 + k) +
              R"(","desc":"活动期间每位会员限领一次，先到先得，领完即止。"})";
    }
    utf8 += list == 1 ? "]," : "]";
  }
  utf8 += "}}}";
  return base::Utf8ToGbk(utf8);
}

// The 40 paths one run reads: the message, then the six cells of rows.
std::vector<base::Text> ReadPaths() {
  static const char* const kMembers[] = {"name",      "subRightsVal",
                                         "subTitle",  "userLevel",
                                         "rightsTarget", "rightsId"};
  std::vector<base::Text> paths = {"resultMsg"};
  for (int i = 0; paths.size() < 40; ++i) {
    paths.push_back("resultData.data.subRightsList" +
                    std::to_string(1 + i / 66) + "[" +
                    std::to_string(i / 6 % 11) + "]." + kMembers[i % 6]);
  }
  return paths;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Measure(const char* name, int runs,
             const std::function<json::JsonDocument()>& make,
             const base::Text& answer, const std::vector<base::Text>& paths) {
  using Clock = std::chrono::steady_clock;
  const auto us = [](Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
  };
  std::vector<double> micros, constructs, parses, reads;
  size_t sink = 0;
  for (int r = 0; r < runs; ++r) {
    const auto t0 = Clock::now();
    json::JsonDocument document = make();
    const auto t1 = Clock::now();
    document.Parse(answer);
    const auto t2 = Clock::now();
    for (const base::Text& path : paths) sink += document.GetText(path).size();
    const auto t3 = Clock::now();
    document.Destroy();
    const auto t4 = Clock::now();
    micros.push_back(us(t4 - t0));
    constructs.push_back(us(t1 - t0));
    parses.push_back(us(t2 - t1));
    reads.push_back(us(t3 - t2));
  }
  std::sort(micros.begin(), micros.end());
  std::printf("%-14s runs %5d  median %8.1f us  p95 %8.1f us  (%zu bytes read)\n",
              name, runs, micros[micros.size() / 2],
              micros[micros.size() * 95 / 100], sink / runs);
  std::printf("%-14s medians: construct %.1f us, Parse %.1f us, 40 reads %.1f us\n",
              "", Median(constructs), Median(parses), Median(reads));
}

}  // namespace

int main() {
  const base::Text answer = ListAnswer();
  const std::vector<base::Text> paths = ReadPaths();
  std::printf("answer: %zu bytes GBK, %zu reads per run\n", answer.size(),
              paths.size());
  // Check once that the reads find what they look for.
  json::JsonDocument check;
  check.Parse(answer);
  std::printf("check: %s / %s\n", base::Utf8OfText(check.GetText(paths[1])).c_str(),
              base::Utf8OfText(check.GetText(paths.back())).c_str());

  Measure("native reader", 5000, [] { return json::JsonDocument(); }, answer,
          paths);
  Measure("script engine", 500,
          [] { return json::JsonDocument::WithScriptEngine(); }, answer, paths);
  return 0;
}
