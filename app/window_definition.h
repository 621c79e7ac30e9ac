// app/window_definition.h: the main window's controls as data.
//
// MainWindow builds itself from these tables; nothing here depends on the
// toolkit. Names and captions are UTF-8 (the program's own literals).
#ifndef QUENBROOK_APP_WINDOW_DEFINITION_H_
#define QUENBROOK_APP_WINDOW_DEFINITION_H_

#include <span>

namespace app {

enum class ControlKind {
  kLabel,
  kTransparentLabel,  // a label that lets the window's background show through
  kTimer,             // not visible; its geometry is only a place in the table
  kButton,
  kListView,          // report mode, one row selected at a time
  kEditBox,           // single line
  kMultiLineEditBox,
  kTabControl,
  kHyperlink,
};

enum class ControlColours {
  kDefault,
  kGreenOnBlack,
  kBlackOnWhite,
};

struct ControlDefinition {
  const char* name;
  ControlKind kind;
  int left, top, width, height;  // client coordinates of the parent
  const char* text;              // initial text or caption
  ControlColours colours = ControlColours::kDefault;
  bool verticalScrollBar = false;
  // Name of the tab control whose first page holds the control, or nullptr
  // for the window itself. The geometry then counts from the tab control's
  // top-left corner, as the page's own origin depends on the tab bar.
  const char* tabControl = nullptr;
};

enum class ColumnAlignment { kLeft, kCentre };

struct ListColumnDefinition {
  const char* title;
  int width;  // 0: the column is hidden but holds text
  ColumnAlignment alignment;
};

struct WindowDefinition {
  const char* title;
  int left, top, width, height;  // client area on the screen
};

// The main window itself.
const WindowDefinition& MainWindowDefinition();

// Every control of the main window, parents before the controls they hold.
std::span<const ControlDefinition> MainWindowControls();

// The columns of the list view 超级列表框2, in order.
std::span<const ListColumnDefinition> RightsListColumns();

// Title of the one page of the tab control 选择夹1.
const char* RunLogPageTitle();

}  // namespace app

#endif  // QUENBROOK_APP_WINDOW_DEFINITION_H_
