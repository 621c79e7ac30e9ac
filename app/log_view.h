// app/log_view.h: the run log's box, a read-only multi-line view for a text
// that only grows.
//
// Holds the text as appended (GBK bytes in fixed-size blocks) and one small
// record per line; only the lines on screen are decoded and laid out. Looks
// and wraps like a QPlainTextEdit in the same place: the same margin, rows
// and scroll bar, lines wrapped at the view's width, the palette's Text on
// its Base. The mouse selects, Ctrl+C copies, Ctrl+A selects all, and the
// context menu offers 复制 and 全选; the user cannot type into it.
//
// A line takes little more than its own bytes (a day of a schedule, 432,000
// lines, about a seventh of what a QPlainTextEdit holds), and an append
// costs the same however long the log has grown. Only a change of the
// view's width or font lays every line out again.
#ifndef QUENBROOK_APP_LOG_VIEW_H_
#define QUENBROOK_APP_LOG_VIEW_H_

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>
#include <compare>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

#include "base/text.h"

class QMenu;
class QTextLayout;

namespace app {

class LogView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit LogView(QWidget* parent = nullptr);
  ~LogView() override;

  // The whole text, byte for byte as set and appended ("\r\n" stays "\r\n").
  base::Text WholeText() const;
  // Replaces the whole text, drops the selection and shows the first line.
  void SetText(std::string_view text);
  // Puts `text` after the existing text and scrolls the end into view. The
  // selection stays on the text it covered. An empty `text` only scrolls.
  void Append(std::string_view text);

  // Lines of the text: "\r\n", a lone "\n" and a lone "\r" each end one,
  // also when an append splits "\r\n" ("a\r" then "\nb" is two lines). The
  // empty text, and a text that ends in a line break, end in an empty line.
  int64_t LineCount() const;
  // Rows on screen of all lines, long lines wrapped at the view's width.
  int64_t RowCount() const;

  bool HasSelection() const;
  // The selected text with its line breaks as appended; empty if none.
  QString SelectedText() const;
  void SelectAll();
  // Puts the selected text on the clipboard; without a selection, nothing.
  void Copy();
  // The context menu: 复制 (only with a selection) and 全选. The caller
  // owns it.
  QMenu* CreateContextMenu(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  // Bytes in fixed-size blocks: an append never moves what is stored, and
  // the slack is at most one block.
  class Bytes {
   public:
    void Append(std::string_view bytes);
    void Clear();
    uint64_t size() const { return size_; }
    char At(uint64_t i) const { return blocks_[i / kBlock][i % kBlock]; }
    // Bytes `begin` to `end` (not included) as one string.
    std::string Slice(uint64_t begin, uint64_t end) const;

   private:
    static constexpr uint64_t kBlock = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    uint64_t size_ = 0;
  };

  struct Line {
    uint64_t start;      // first byte
    int64_t rowsBefore;  // rows of all lines above it
  };

  // A place in the text: a line and a UTF-16 position within it.
  struct Position {
    int64_t line = 0;
    int column = 0;
    auto operator<=>(const Position&) const = default;
  };

  struct CachedLayout {
    int64_t line;
    uint64_t lastUse;
    std::unique_ptr<QTextLayout> layout;
    qreal height;
  };

  uint64_t LineEnd(int64_t line) const;  // past the last byte, before the break
  QString LineText(int64_t line) const;
  QString TextOfBytes(uint64_t begin, uint64_t end) const;
  // Wraps `layout` at the current width; returns its height in pixels.
  qreal LayOut(QTextLayout& layout) const;
  // The laid-out line, kept for later paints; valid until the next call.
  const CachedLayout& Layout(int64_t line) const;
  void ForgetLayouts(int64_t fromLine) const;
  // Rows of `fromLine` and below anew, after its text or the width changed.
  void CountRows(int64_t fromLine);
  int WrapWidth() const;
  QSize TextArea() const;
  void UpdateScrollBar();
  void ScrollToEnd();
  // Line and first row at the top of the view.
  int64_t TopLine(int* row) const;
  Position PositionAt(QPoint point) const;
  Position TextEnd() const;
  void Select(Position anchor, Position cursor);

  Bytes bytes_;
  std::deque<Line> lines_;  // never empty
  int64_t rowCount_ = 1;
  int wrapWidth_ = 0;
  bool areaKnown_ = false;  // the viewport has had its real size
  mutable std::vector<CachedLayout> layouts_;
  mutable uint64_t layoutUses_ = 0;
  Position anchor_, cursor_;  // the selection runs between them
  bool selecting_ = false;
  QPoint lastMouse_;
  QBasicTimer autoScroll_;
};

}  // namespace app

#endif  // QUENBROOK_APP_LOG_VIEW_H_
