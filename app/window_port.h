// app/window_port.h: what the actions need of MainWindow.
//
// Controls are named as in the window definition ("编辑框CK", "标签说明");
// texts cross as GBK. The Qt window implements it; tests may use their own.
#ifndef QUENBROOK_APP_WINDOW_PORT_H_
#define QUENBROOK_APP_WINDOW_PORT_H_

#include <string_view>

#include "base/text.h"

namespace app {

using base::Text;

class WindowPort {
 public:
  virtual ~WindowPort() = default;
  // Text of an edit box, or caption of a label or button; empty if none.
  virtual Text ControlText(std::string_view name) const = 0;
  // Shown at once; a later ControlText returns the same text.
  virtual void SetControlText(std::string_view name, const Text& text) = 0;
  // Appends at the end of a multi-line edit box and scrolls the end into view.
  virtual void AppendToEditBox(std::string_view name, const Text& text) = 0;

  // List view operations; rows and columns count from 0.
  virtual void ListDeleteAllRows(std::string_view name) = 0;
  // Returns the new row's index.
  virtual int ListInsertRow(std::string_view name) = 0;
  virtual void ListSetCell(std::string_view name, int row, int column, const Text& text) = 0;
  // Empty for row -1 or a row that does not exist.
  virtual Text ListCellText(std::string_view name, int row, int column) const = 0;
  // -1 when no row is selected.
  virtual int ListSelectedRow(std::string_view name) const = 0;

  // Task-modal message box; returns when the user has closed it. Style 48:
  // exclamation-mark icon and one OK button.
  virtual void ShowMessageBox(const Text& text, int style, const Text& title) = 0;

  // True once the user has closed the window; waiting actions end then.
  virtual bool Closed() const = 0;

  // Sets the period of a timer control; its tick event runs about once per
  // period from then on. A period of 0 or less stops the timer. Windows
  // without timers ignore the call.
  virtual void SetTimerPeriod(std::string_view name, int milliseconds) {}
};

// The two program-wide texts the actions share.
struct AppState {
  Text SelectedRightsId;
  Text LastDrawResponse;
};

}  // namespace app

#endif  // QUENBROOK_APP_WINDOW_PORT_H_
