// app/fake_window.h: a map-backed WindowPort for the actions' tests.
#ifndef QUENBROOK_APP_FAKE_WINDOW_H_
#define QUENBROOK_APP_FAKE_WINDOW_H_

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/window_port.h"
#include "base/gbk.h"
#include "base/text.h"

namespace app {

class FakeWindow : public WindowPort {
 public:
  struct MessageBoxCall {
    Text text;
    int style;
    Text title;
  };

  Text ControlText(std::string_view name) const override {
    auto it = texts_.find(std::string(name));
    return it == texts_.end() ? Text() : it->second;
  }
  void SetControlText(std::string_view name, const Text& text) override {
    texts_[std::string(name)] = text;
  }
  void AppendToEditBox(std::string_view name, const Text& text) override {
    texts_[std::string(name)] += text;
  }
  void ListDeleteAllRows(std::string_view) override {
    rows.clear();
    selectedRow = -1;
  }
  int ListInsertRow(std::string_view) override {
    rows.emplace_back(7);
    return static_cast<int>(rows.size()) - 1;
  }
  void ListSetCell(std::string_view, int row, int column, const Text& text) override {
    if (row >= 0 && row < static_cast<int>(rows.size()) && column >= 0 && column < 7) {
      rows[row][column] = text;
    }
  }
  Text ListCellText(std::string_view, int row, int column) const override {
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column >= 7) return {};
    return rows[row][column];
  }
  int ListSelectedRow(std::string_view) const override { return selectedRow; }
  void ShowMessageBox(const Text& text, int style, const Text& title) override {
    messageBoxes.push_back({text, style, title});
  }
  bool Closed() const override { return closed; }

  // Sets a control's text from UTF-8.
  void Set(std::string_view name, std::u8string_view utf8) {
    SetControlText(name, base::TextOfUtf8(utf8));
  }
  // The messages of the run log, without their timestamps, as UTF-8.
  std::vector<std::string> LogMessages() const {
    std::vector<std::string> messages;
    for (const Text& line : base::SplitText(ControlText("编辑框_输出日志"), "\r\n")) {
      const int end = base::FindText(line, "]  ");
      messages.push_back(end == -1 ? "?" + base::Utf8OfText(line)
                                   : base::Utf8OfText(line.substr(end + 2)));
    }
    return messages;
  }

  std::vector<std::vector<Text>> rows;
  int selectedRow = -1;
  std::vector<MessageBoxCall> messageBoxes;
  bool closed = false;

 private:
  std::map<std::string, Text> texts_;
};

}  // namespace app

#endif  // QUENBROOK_APP_FAKE_WINDOW_H_
