// app/main_window.h: the Quenbrook window on Qt Widgets.
//
// How data flows:
//
//   window_definition ──controls, columns──▶ MainWindow (builds the widgets)
//   Qt events ──▶ MainWindow ──▶ WindowActions (fetch, list, draw, schedule)
//   tick of 时钟1 ──▶ UpdateClock(window)
//   actions ──WindowPort, GBK texts──▶ MainWindow ──QString──▶ widgets
//
// The window knows nothing of what the actions do; main.cc hands it one
// hook per event. GBK becomes QString here and nowhere else.
#ifndef QUENBROOK_APP_MAIN_WINDOW_H_
#define QUENBROOK_APP_MAIN_WINDOW_H_

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "app/window_port.h"

class QTimer;
class QTreeWidget;

namespace app {

// The actions the window's events run. An empty hook does nothing.
struct WindowActions {
  std::function<void()> created;          // once, just after the window is first shown
  std::function<void()> fetchClicked;     // 获取券
  std::function<void()> listClicked;      // 超级列表框2: left click in the item area
  std::function<void()> drawClicked;      // 运行一次
  std::function<void()> scheduleClicked;  // 定时
};

class MainWindow : public QWidget, public WindowPort {
  Q_OBJECT

 public:
  // Builds every control with its initial text; the clock stands still
  // until SetTimerPeriod("时钟1", ...) starts it. Closing the window ends
  // the application, but only once no DelayWithEvents is waiting: a
  // handler that waits finishes its wait (of full length) first.
  explicit MainWindow(WindowActions actions = {});
  ~MainWindow() override;

  // Replaces the hooks; takes effect for the next event.
  void SetActions(WindowActions actions);

  // WindowPort. The run log 编辑框_输出日志 reads back byte for byte as set
  // and appended. The other multi-line boxes store "\r\n" as a paragraph
  // break and a lone "\n" or "\r" as a line break inside the paragraph;
  // both read back as "\r\n" and "\n" respectively (a lone "\r" reads
  // back as "\n").
  Text ControlText(std::string_view name) const override;
  void SetControlText(std::string_view name, const Text& text) override;
  void AppendToEditBox(std::string_view name, const Text& text) override;
  void ListDeleteAllRows(std::string_view name) override;
  int ListInsertRow(std::string_view name) override;
  void ListSetCell(std::string_view name, int row, int column, const Text& text) override;
  Text ListCellText(std::string_view name, int row, int column) const override;
  int ListSelectedRow(std::string_view name) const override;
  // Icons by style: 16 critical, 32 question, 48 exclamation mark, 64
  // information. Always one OK button, whatever buttons the style asks for.
  void ShowMessageBox(const Text& text, int style, const Text& title) override;
  bool Closed() const override;
  // The tick falls 1 ms after each multiple of the period on the wall clock
  // (base::Now()), so the clock label turns over right after each second.
  void SetTimerPeriod(std::string_view name, int milliseconds) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ConnectEvents();
  QObject* Control(std::string_view name) const;
  QTreeWidget* List(std::string_view name) const;
  void ArmClock();
  void OnClockTick();
  void QuitWhenNoWait();
  void Run(std::function<void()> WindowActions::*hook);

  WindowActions actions_;
  std::map<std::string, QObject*, std::less<>> controls_;  // by UTF-8 name
  QTimer* clock_ = nullptr;
  int clockPeriod_ = 0;
  QTreeWidget* rightsList_ = nullptr;
  bool shown_ = false;
  bool closed_ = false;
  bool releaseEndsDoubleClick_ = false;
};

}  // namespace app

#endif  // QUENBROOK_APP_MAIN_WINDOW_H_
