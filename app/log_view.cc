// app/log_view.cc: the run log's box.
#include "app/log_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "base/gbk.h"

namespace app {
namespace {

// What a QPlainTextEdit keeps around its text: 4 pixels left and right, and
// above the first and below the last line.
constexpr int kMargin = 4;
// Lines laid out and kept: a screenful and the lines just above and below,
// but fewer when the lines are long (a whole service answer), so that the
// kept layouts stay within a few megabytes.
constexpr size_t kLayoutsKept = 64;
constexpr qsizetype kLayoutCharactersKept = 256 * 1024;
// Shaped glyphs are kept only for lines up to this length; longer ones are
// shaped again as they are drawn.
constexpr qsizetype kLongestShapingKept = 2048;
// Scrolling while a drag selects beyond the top or bottom edge.
constexpr int kAutoScrollMs = 50;

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// How far above the view's top a view whose top row is `row` of `layout`
// puts the layout's top, as a QPlainTextEdit scrolled there does: the
// bottom of the row above, in whole pixels. Rows are laid out at whole
// heights while a row's own bottom may be a fraction higher, so the top
// row can start a pixel down.
qreal TopOfRow(const QTextLayout& layout, int row) {
  return row == 0 ? 0 : std::floor(layout.lineAt(row - 1).naturalTextRect().bottom());
}

}  // namespace

void LogView::Bytes::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    const uint64_t used = size_ % kBlock;
    if (used == 0 && size_ / kBlock == blocks_.size()) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlock));
    }
    const size_t n = std::min<uint64_t>(bytes.size(), kBlock - used);
    std::memcpy(blocks_[size_ / kBlock].get() + used, bytes.data(), n);
    size_ += n;
    bytes.remove_prefix(n);
  }
}

void LogView::Bytes::Clear() {
  blocks_.clear();
  size_ = 0;
}

std::string LogView::Bytes::Slice(uint64_t begin, uint64_t end) const {
  std::string out;
  if (end <= begin || begin >= size_) return out;
  end = std::min(end, size_);
  out.reserve(end - begin);
  while (begin < end) {
    const uint64_t offset = begin % kBlock;
    const uint64_t n = std::min(end - begin, kBlock - offset);
    out.append(blocks_[begin / kBlock].get() + offset, n);
    begin += n;
  }
  return out;
}

LogView::LogView(QWidget* parent) : QAbstractScrollArea(parent) {
  lines_.push_back({0, 0});
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  verticalScrollBar()->setSingleStep(1);
  wrapWidth_ = WrapWidth();
  UpdateScrollBar();
}

LogView::~LogView() = default;

base::Text LogView::WholeText() const { return bytes_.Slice(0, bytes_.size()); }

void LogView::SetText(std::string_view text) {
  bytes_.Clear();
  lines_.clear();
  lines_.push_back({0, 0});
  ForgetLayouts(0);
  CountRows(0);
  anchor_ = cursor_ = Position();
  Append(text);
  verticalScrollBar()->setValue(0);
  viewport()->update();
}

void LogView::Append(std::string_view text) {
  if (!text.empty()) {
    const int64_t changed = static_cast<int64_t>(lines_.size()) - 1;
    const uint64_t at = bytes_.size();
    size_t scanFrom = 0;
    // The "\n" of a "\r\n" that an earlier append began: the "\r" already
    // ended a line, and the empty line after it now starts past the "\n".
    if (at > 0 && bytes_.At(at - 1) == '\r' && text.front() == '\n') {
      lines_.back().start = at + 1;
      scanFrom = 1;
    }
    bytes_.Append(text);
    for (size_t i = scanFrom; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      if (IsBreak(text[i])) lines_.push_back({at + i + 1, 0});
    }
    ForgetLayouts(changed);
    CountRows(changed);
  }
  ScrollToEnd();
}

int64_t LogView::LineCount() const { return static_cast<int64_t>(lines_.size()); }

int64_t LogView::RowCount() const { return rowCount_; }

uint64_t LogView::LineEnd(int64_t line) const {
  if (line + 1 >= LineCount()) return bytes_.size();
  const uint64_t next = lines_[line + 1].start;
  // A GBK trail byte is never "\r" or "\n", so the bytes before the next
  // line's start are its break.
  const bool crlf =
      bytes_.At(next - 1) == '\n' && next >= lines_[line].start + 2 && bytes_.At(next - 2) == '\r';
  return next - (crlf ? 2 : 1);
}

QString LogView::TextOfBytes(uint64_t begin, uint64_t end) const {
  const std::string bytes = bytes_.Slice(begin, end);
  // The conversion stops at a zero byte; one that was appended shows as a
  // zero character, and what follows it still shows.
  QString text;
  std::string_view rest(bytes);
  while (true) {
    const size_t zero = rest.find('\0');
    const std::u16string units = base::Utf16OfText(rest.substr(0, zero));
    text.append(reinterpret_cast<const QChar*>(units.data()), static_cast<qsizetype>(units.size()));
    if (zero == std::string_view::npos) break;
    text.append(QChar(u'\0'));
    rest.remove_prefix(zero + 1);
  }
  return text;
}

QString LogView::LineText(int64_t line) const {
  return TextOfBytes(lines_[line].start, LineEnd(line));
}

qreal LogView::LayOut(QTextLayout& layout) const {
  // As a QPlainTextEdit wraps its blocks: at word boundaries, or anywhere
  // in a word longer than the row; each row as high as its tallest font.
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.setCacheEnabled(layout.text().size() <= kLongestShapingKept);
  qreal height = 0;
  layout.beginLayout();
  while (true) {
    QTextLine row = layout.createLine();
    if (!row.isValid()) break;
    row.setLeadingIncluded(true);
    row.setLineWidth(wrapWidth_);
    row.setPosition(QPointF(kMargin, height));
    height += row.height();
    if (row.leading() < 0) height += std::ceil(row.leading());
  }
  layout.endLayout();
  return height;
}

const LogView::CachedLayout& LogView::Layout(int64_t line) const {
  ++layoutUses_;
  for (CachedLayout& c : layouts_) {
    if (c.line == line) {
      c.lastUse = layoutUses_;
      return c;
    }
  }
  auto layout = std::make_unique<QTextLayout>(LineText(line), font());
  const qreal height = LayOut(*layout);
  // Make room: the least recently used go first.
  qsizetype characters = layout->text().size();
  for (const CachedLayout& c : layouts_) characters += c.layout->text().size();
  const auto byUse = [](const CachedLayout& a, const CachedLayout& b) {
    return a.lastUse < b.lastUse;
  };
  while (!layouts_.empty() &&
         (layouts_.size() >= kLayoutsKept || characters > kLayoutCharactersKept)) {
    const auto oldest = std::min_element(layouts_.begin(), layouts_.end(), byUse);
    characters -= oldest->layout->text().size();
    layouts_.erase(oldest);
  }
  layouts_.push_back({line, layoutUses_, std::move(layout), height});
  return layouts_.back();
}

void LogView::ForgetLayouts(int64_t fromLine) const {
  std::erase_if(layouts_, [fromLine](const CachedLayout& c) { return c.line >= fromLine; });
}

void LogView::CountRows(int64_t fromLine) {
  int64_t rows = lines_[fromLine].rowsBefore;
  for (int64_t i = fromLine; i < LineCount(); ++i) {
    lines_[i].rowsBefore = rows;
    if (LineCount() - i <= static_cast<int64_t>(kLayoutsKept)) {
      rows += Layout(i).layout->lineCount();  // kept: the end is shown next
    } else {
      QTextLayout layout(LineText(i), font());
      LayOut(layout);
      rows += layout.lineCount();
    }
  }
  rowCount_ = rows;
}

QSize LogView::TextArea() const {
  if (areaKnown_) return viewport()->size();
  // Until the view is first shown its viewport has no size of its own; the
  // frame and the scroll bar lie between the view's edges and the text.
  const QRect r = contentsRect();
  return QSize(r.width() - verticalScrollBar()->sizeHint().width(), r.height());
}

int LogView::WrapWidth() const { return std::max(1, TextArea().width() - 2 * kMargin); }

void LogView::UpdateScrollBar() {
  // As a QPlainTextEdit counts them: the rows that fit below the top one
  // when the last row sits at the bottom.
  const qreal visible = TextArea().height() - kMargin - 1;
  qreal y = 0;
  int64_t rowsAtEnd = 0;
  for (int64_t i = LineCount() - 1; i >= 0; --i) {
    const CachedLayout& c = Layout(i);
    y += c.height + (i == LineCount() - 1 ? kMargin : 0);
    const int rows = c.layout->lineCount();
    if (y > visible) {
      int row = 0;
      while (row < rows && c.layout->lineAt(row).y() < y - visible) ++row;
      rowsAtEnd += rows - row;
      break;
    }
    rowsAtEnd += rows;
  }
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, static_cast<int>(std::clamp<int64_t>(rowCount_ - rowsAtEnd, 0, INT_MAX)));
  bar->setPageStep(static_cast<int>(std::clamp<int64_t>(rowsAtEnd, 1, INT_MAX)));
}

void LogView::ScrollToEnd() {
  UpdateScrollBar();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  viewport()->update();
}

int64_t LogView::TopLine(int* row) const {
  const int64_t top = verticalScrollBar()->value();
  const auto it = std::upper_bound(lines_.begin(), lines_.end(), top,
                                   [](int64_t r, const Line& l) { return r < l.rowsBefore; });
  const int64_t line = std::max<int64_t>(0, (it - lines_.begin()) - 1);
  *row = static_cast<int>(top - lines_[line].rowsBefore);
  return line;
}

void LogView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Text));
  const QRect exposed = event->rect();
  const auto [from, to] = std::minmax(anchor_, cursor_);
  QTextCharFormat selected;
  selected.setBackground(palette().brush(QPalette::Highlight));
  selected.setForeground(palette().brush(QPalette::HighlightedText));

  int topRow = 0;
  const int64_t first = TopLine(&topRow);
  qreal y = verticalScrollBar()->value() == 0 ? kMargin : 0;
  for (int64_t i = first; i < LineCount() && y < exposed.bottom() + 1; ++i) {
    const CachedLayout& c = Layout(i);
    const qreal top =
        i == first ? y - TopOfRow(*c.layout, std::min(topRow, c.layout->lineCount() - 1)) : y;
    QList<QTextLayout::FormatRange> selections;
    if (from != to && from.line <= i && i <= to.line) {
      const int begin = from.line == i ? from.column : 0;
      // Past the line's end the selection takes in its break, as a
      // QPlainTextEdit shows a selected paragraph end.
      const int end = to.line == i ? to.column : static_cast<int>(c.layout->text().size()) + 1;
      if (end > begin) selections.push_back({begin, end - begin, selected});
    }
    if (top + c.height >= exposed.top()) {
      c.layout->draw(&painter, QPointF(0, top), selections, exposed);
    }
    y = top + c.height;
  }
}

void LogView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  areaKnown_ = true;
  const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();
  if (WrapWidth() != wrapWidth_) {
    wrapWidth_ = WrapWidth();
    ForgetLayouts(0);
    CountRows(0);
  }
  UpdateScrollBar();
  if (atEnd) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    wrapWidth_ = WrapWidth();
    ForgetLayouts(0);
    CountRows(0);
    UpdateScrollBar();
    viewport()->update();
  }
}

void LogView::scrollContentsBy(int, int) { viewport()->update(); }

LogView::Position LogView::TextEnd() const {
  const int64_t last = LineCount() - 1;
  return {last, static_cast<int>(Layout(last).layout->text().size())};
}

LogView::Position LogView::PositionAt(QPoint point) const {
  int topRow = 0;
  const int64_t first = TopLine(&topRow);
  if (point.y() < 0) {
    // Above the view: the top row, as far left or right as the point.
    const CachedLayout& c = Layout(first);
    const QTextLine row = c.layout->lineAt(std::min(topRow, c.layout->lineCount() - 1));
    return {first, row.xToCursor(point.x())};
  }
  qreal y = verticalScrollBar()->value() == 0 ? kMargin : 0;
  for (int64_t i = first; i < LineCount(); ++i) {
    const CachedLayout& c = Layout(i);
    const int firstRow = i == first ? std::min(topRow, c.layout->lineCount() - 1) : 0;
    const qreal top = y - TopOfRow(*c.layout, firstRow);
    if (point.y() < top + c.height) {
      int row = firstRow;
      while (row + 1 < c.layout->lineCount() && point.y() >= top + c.layout->lineAt(row + 1).y()) {
        ++row;
      }
      return {i, c.layout->lineAt(row).xToCursor(point.x())};
    }
    y = top + c.height;
  }
  return TextEnd();
}

void LogView::Select(Position anchor, Position cursor) {
  if (anchor == anchor_ && cursor == cursor_) return;
  anchor_ = anchor;
  cursor_ = cursor;
  viewport()->update();
}

bool LogView::HasSelection() const { return anchor_ != cursor_; }

QString LogView::SelectedText() const {
  if (!HasSelection()) return QString();
  const auto [from, to] = std::minmax(anchor_, cursor_);
  const uint64_t begin = lines_[from.line].start;
  // Decoding never carries across a line break, so the lines' texts and
  // breaks decode to the same characters together as one by one.
  const QString lines = TextOfBytes(begin, LineEnd(to.line));
  const qsizetype lastLine = TextOfBytes(begin, lines_[to.line].start).size();
  return lines.mid(from.column, lastLine + to.column - from.column);
}

void LogView::SelectAll() { Select(Position(), TextEnd()); }

void LogView::Copy() {
  if (HasSelection()) QGuiApplication::clipboard()->setText(SelectedText());
}

QMenu* LogView::CreateContextMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  QAction* copy = menu->addAction(QString::fromUtf8("复制"), this, &LogView::Copy);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(HasSelection());
  QAction* all = menu->addAction(QString::fromUtf8("全选"), this, &LogView::SelectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(bytes_.size() > 0);
  return menu;
}

void LogView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu(CreateContextMenu(this));
  menu->exec(event->globalPos());
}

void LogView::keyPressEvent(QKeyEvent* event) {
  QScrollBar* bar = verticalScrollBar();
  if (event == QKeySequence::Copy) {
    Copy();
  } else if (event == QKeySequence::SelectAll) {
    SelectAll();
  } else if (event == QKeySequence::MoveToStartOfDocument) {
    bar->setValue(bar->minimum());
  } else if (event == QKeySequence::MoveToEndOfDocument) {
    bar->setValue(bar->maximum());
  } else {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
}

void LogView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  const Position at = PositionAt(event->position().toPoint());
  Select(event->modifiers() & Qt::ShiftModifier ? anchor_ : at, at);
  selecting_ = true;
  lastMouse_ = event->position().toPoint();
}

void LogView::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return;
  lastMouse_ = event->position().toPoint();
  const bool outside = lastMouse_.y() < 0 || lastMouse_.y() >= viewport()->height();
  if (outside && !autoScroll_.isActive()) {
    autoScroll_.start(kAutoScrollMs, this);
  } else if (!outside) {
    autoScroll_.stop();
  }
  Select(anchor_, PositionAt(lastMouse_));
}

void LogView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  autoScroll_.stop();
  selecting_ = false;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (HasSelection() && clipboard->supportsSelection()) {
    clipboard->setText(SelectedText(), QClipboard::Selection);
  }
}

void LogView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The word under the pointer, as an edit box selects it.
  const Position at = PositionAt(event->position().toPoint());
  const QString text = Layout(at.line).layout->text();
  QTextBoundaryFinder words(QTextBoundaryFinder::Word, text);
  words.setPosition(at.column);
  const int start = words.isAtBoundary() ? at.column : static_cast<int>(words.toPreviousBoundary());
  words.setPosition(at.column);
  const qsizetype end = words.toNextBoundary();
  Select({at.line, std::max(0, start)},
         {at.line, static_cast<int>(end < 0 ? text.size() : end)});
  selecting_ = false;
}

void LogView::timerEvent(QTimerEvent* event) {
  if (event->timerId() != autoScroll_.timerId()) {
    QAbstractScrollArea::timerEvent(event);
    return;
  }
  QScrollBar* bar = verticalScrollBar();
  if (lastMouse_.y() < 0) {
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  } else if (lastMouse_.y() >= viewport()->height()) {
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  }
  Select(anchor_, PositionAt(lastMouse_));
}

}  // namespace app
