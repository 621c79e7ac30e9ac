// The run log's view, offscreen: its text, its rows beside a QPlainTextEdit
// in the same place, scrolling, selection and copying.
#include "app/log_view.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>
#include <string>
#include <vector>

#include "base/gbk.h"

namespace app {
namespace {

// The run log's box: 389 by 194 pixels, green on black.
const QRect kLogPlace(3, 22, 389, 194);

base::Text Gbk(std::string_view utf8) { return base::TextOfUtf8(utf8); }
QString QStringOf(const base::Text& text) {
  return QString::fromStdU16String(base::Utf16OfText(text));
}

void GreenOnBlack(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, Qt::black);
  palette.setColor(QPalette::Text, Qt::green);
  widget->setPalette(palette);
}

// A line as AppendLog writes it.
std::string LogLine(int i, const std::string& message) {
  return "[2020年9月9日7时8分" + std::to_string(i % 60) + "秒]  " + message + "\r\n";
}

class LogViewTest : public testing::Test {
 protected:
  LogViewTest() {
    view_ = new LogView(&host_);
    view_->setGeometry(kLogPlace);
    GreenOnBlack(view_);
    host_.resize(400, 240);
  }

  void SetUp() override {
    host_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host_));
  }

  void Append(std::string_view utf8) { view_->Append(Gbk(utf8)); }
  QScrollBar* Bar() { return view_->verticalScrollBar(); }
  // Middle of row `row` (from 0) of a view at the top whose rows hold
  // Latin text only.
  QPoint RowMiddle(int row, int x) {
    const int height = QFontMetrics(view_->font()).height();
    return QPoint(x, 4 + row * height + height / 2);
  }

  QWidget host_;
  LogView* view_;
};

TEST_F(LogViewTest, KeepsTheTextExactlyAsAppended) {
  const struct {
    std::vector<const char*> appends;  // UTF-8
    int lines;
  } kCases[] = {
      {{"[2020年9月9日7时8分9秒]  定时任务结束\r\n"}, 2},
      {{"[2020年9月9日7时8分9秒]  \r\n"}, 2},  // empty message
      // A whole service answer under one timestamp.
      {{"[2020年9月9日7时8分9秒]  {\"a\":1,\r\n\"b\":2}\r\n"}, 3},
      {{"a\nb\r\nc"}, 3},         // a lone LF breaks as CR LF does
      {{"a\r", "\nb"}, 2},        // CR LF split across two appends
      {{"a\r", "b"}, 2},          // a lone CR
      {{"a", "b\r\n", ""}, 2},    // an append goes on in the open last line
      {{"\r\n\r\n\n\r"}, 5},      // empty lines only
      {{""}, 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    view_->SetText("");
    base::Text expected;
    for (const char* piece : c.appends) {
      Append(piece);
      expected += Gbk(piece);
    }
    EXPECT_EQ(view_->WholeText(), expected);
    EXPECT_EQ(view_->LineCount(), c.lines);
    EXPECT_GE(view_->RowCount(), c.lines);
    EXPECT_LE(view_->RowCount(), c.lines + 1);  // only the timestamped lines may wrap
    view_->SelectAll();
    EXPECT_EQ(view_->SelectedText(), QStringOf(expected));
  }
  // Bytes GBK has no character for, and a zero byte, come back unchanged.
  const base::Text odd("\x81\r\n\xFF\x00z\r\n", 7);
  view_->SetText(odd);
  EXPECT_EQ(view_->WholeText(), odd);
  EXPECT_EQ(view_->LineCount(), 3);
}

TEST_F(LogViewTest, WrapsScrollsAndDrawsAsAnEditBoxInItsPlace) {
  // The run log's box as it was: a QPlainTextEdit beside the view.
  auto* edit = new QPlainTextEdit(&host_);
  edit->setGeometry(kLogPlace);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setFocusPolicy(Qt::NoFocus);  // no caret in the picture
  GreenOnBlack(edit);
  edit->show();

  const std::string answer =
      "{\"resultCode\":\"0000\",\"resultData\":{\"resultMessage\":\"活动太火爆，请稍后再试\"}}";
  const std::string longWord(300, 'x');
  std::string all;
  for (int i = 0; i < 120; ++i) {
    std::string message = i % 3 == 0 ? "定时任务结束" : answer;
    if (i % 7 == 0) message = answer + "\r\n" + answer + "\n" + longWord;
    if (i % 11 == 0) message = "";
    all += LogLine(i, message);
  }
  view_->SetText("");
  Append(all);
  // The edit box shows lone LFs and CR LFs alike as line ends.
  QString shown = QString::fromUtf8(all);
  shown.replace("\r\n", "\n");
  if (shown.endsWith('\n')) shown.chop(1);
  edit->setPlainText(shown);
  edit->appendPlainText("");  // and the empty line after the last break
  QCoreApplication::processEvents();

  for (const int width : {389, 250}) {
    SCOPED_TRACE(width);
    edit->resize(width, kLogPlace.height());
    view_->resize(width, kLogPlace.height());
    QCoreApplication::processEvents();
    // The edit box lays out only what it has shown, and counts one row for
    // each line it has not: lay out all, then let it count again.
    QTextDocument* document = edit->document();
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
      document->documentLayout()->blockBoundingRect(b);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(view_->RowCount(), edit->document()->lineCount());
    EXPECT_GT(view_->RowCount(), view_->LineCount());  // some lines wrapped
    EXPECT_EQ(Bar()->maximum(), edit->verticalScrollBar()->maximum());
    EXPECT_EQ(Bar()->pageStep(), edit->verticalScrollBar()->pageStep());
    for (const int value : {0, 1, 37, Bar()->maximum()}) {
      SCOPED_TRACE(value);
      Bar()->setValue(value);
      // Scrolled there from the top: the edit box's row tops then fall on
      // whole pixels, as they do after most scrolls.
      edit->verticalScrollBar()->setValue(0);
      edit->verticalScrollBar()->setValue(value);
      EXPECT_EQ(view_->grab().toImage(), edit->grab().toImage());
    }
  }
}

TEST_F(LogViewTest, EachAppendScrollsTheEndIntoViewAndWrappedLinesAddRows) {
  for (int i = 0; i < 40; ++i) Append(LogLine(i, "定时任务结束"));
  ASSERT_GT(Bar()->maximum(), 0);
  Bar()->setValue(0);  // the user looks at the first lines

  const struct {
    std::string message;
    int extraRows;  // beyond one for a short line
  } kCases[] = {
      {"未选择奖品", 0},
      {std::string(200, 'x'), 1},  // a long word is cut anywhere
      {"一二三四五六七八九十 " + std::string(300, 'y'), 2},
      {"a\r\nb\nc", 2},  // one row per line
      {std::string(20000, 'z'), 100},  // a whole answer on one line
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.message);
    const int64_t rows = view_->RowCount();
    const int maximum = Bar()->maximum();
    Append(LogLine(0, c.message));
    EXPECT_GE(view_->RowCount(), rows + 1 + c.extraRows);
    EXPECT_GT(Bar()->maximum(), maximum);
    EXPECT_EQ(Bar()->value(), Bar()->maximum());
    // The last row, the empty line after the break, is in view.
    EXPECT_EQ(Bar()->value() + Bar()->pageStep(), view_->RowCount());
  }
}

TEST_F(LogViewTest, SelectAllAndCopyPutTheExactTextOnTheClipboard) {
  const std::string text = LogLine(1, "{\"a\":1,\r\n\"b\":2}") + LogLine(2, "a\nb");
  Append(text);
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();

  view_->setFocus();
  QTest::keyClick(view_, Qt::Key_C, Qt::ControlModifier);  // nothing selected
  EXPECT_EQ(clipboard->text(), "");
  QTest::keyClick(view_, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(view_, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), QString::fromUtf8(text));

  // The context menu does the same.
  view_->SetText(Gbk("甲乙\r\n"));
  std::unique_ptr<QMenu> before(view_->CreateContextMenu(nullptr));
  ASSERT_EQ(before->actions().size(), 2);
  EXPECT_EQ(before->actions()[0]->text(), QString::fromUtf8("复制"));
  EXPECT_FALSE(before->actions()[0]->isEnabled());
  EXPECT_EQ(before->actions()[1]->text(), QString::fromUtf8("全选"));
  before->actions()[1]->trigger();
  std::unique_ptr<QMenu> after(view_->CreateContextMenu(nullptr));
  ASSERT_TRUE(after->actions()[0]->isEnabled());
  after->actions()[0]->trigger();
  EXPECT_EQ(clipboard->text(), QString::fromUtf8("甲乙\r\n"));
}

TEST_F(LogViewTest, MouseSelectsAcrossLinesAndAWordByDoubleClick) {
  view_->SetText("alpha beta\r\ngamma\r\ndelta");
  QWidget* area = view_->viewport();
  QTest::mousePress(area, Qt::LeftButton, {}, RowMiddle(0, 0));
  QTest::mouseMove(area, RowMiddle(1, area->width() - 1));
  QTest::mouseRelease(area, Qt::LeftButton, {}, RowMiddle(1, area->width() - 1));
  EXPECT_EQ(view_->SelectedText(), "alpha beta\r\ngamma");

  // An append leaves the selection on its text.
  view_->Append("\r\nepsilon");
  EXPECT_EQ(view_->SelectedText(), "alpha beta\r\ngamma");

  Bar()->setValue(0);
  const int beta = QFontMetrics(view_->font()).horizontalAdvance("alpha be") + 4;
  QTest::mouseDClick(area, Qt::LeftButton, {}, RowMiddle(0, beta));
  EXPECT_EQ(view_->SelectedText(), "beta");
  QTest::mouseClick(area, Qt::LeftButton, {}, RowMiddle(2, 4));
  EXPECT_FALSE(view_->HasSelection());
}

}  // namespace
}  // namespace app
