// The Qt window adapter, driven offscreen: controls, WindowPort, events.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "app/log_view.h"
#include "base/delay.h"
#include "base/gbk.h"

namespace app {

// Collects the URLs the desktop would open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public slots:
  void Open(const QUrl& url) { urls.push_back(url); }
};

namespace {

std::string Utf8(const Text& text) { return base::Utf8OfText(text); }
Text Gbk(const char* utf8) { return base::TextOfUtf8(std::string_view(utf8)); }

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    WindowActions actions;
    actions.listClicked = [this] {
      ++listClicks_;
      selectedAtClick_ = window_.ListSelectedRow("超级列表框2");
    };
    window_.SetActions(actions);
  }

  void SetUp() override {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  template <typename T>
  T* Find(const char* name) {
    return window_.findChild<T*>(QString::fromUtf8(name));
  }

  MainWindow window_;
  int listClicks_ = 0;
  int selectedAtClick_ = -2;
};

TEST_F(MainWindowTest, BuildsEveryControlWithItsKindPlaceAndText) {
  const struct {
    const char* name;
    const char* className;
    QRect geometry;  // in the window's client area
    const char* text;
  } kControls[] = {
      {"标签说明", "QLabel", {56, 8, 720, 16}, ""},
      {"标签1", "QLabel", {56, 24, 720, 24},
       "先填入ck信息，然后点击获取按钮即可获取当前奖品信息，再列表内左键单击选择奖品信息，最后运行或定时运行"},
      {"标签_北京时间1", "QLabel", {16, 50, 88, 40}, "当前时间"},
      {"标签_北京时间", "QLabel", {104, 50, 128, 40}, ""},
      {"获取券", "QPushButton", {344, 50, 56, 32}, "获取"},
      {"超级列表框2", "QTreeWidget", {424, 50, 384, 224}, ""},
      {"标签_北京时间2", "QLabel", {16, 98, 80, 32}, "定时时间"},
      {"标签_定时时间", "QLabel", {104, 98, 128, 32}, "无"},
      {"运行一次", "QPushButton", {344, 98, 56, 32}, "运行一次"},
      {"编辑框_时", "QLineEdit", {16, 146, 40, 32}, ""},
      {"标签4", "QLabel", {56, 146, 40, 32}, "时"},
      {"编辑框_分", "QLineEdit", {80, 146, 40, 32}, "59"},
      {"标签2", "QLabel", {120, 146, 40, 32}, "分"},
      {"编辑框_秒", "QLineEdit", {144, 146, 40, 32}, "58"},
      {"标签3", "QLabel", {184, 146, 40, 32}, "秒"},
      {"标签5", "QLabel", {210, 146, 40, 32}, "间隔"},
      {"编辑框_间隔", "QLineEdit", {256, 146, 48, 32}, "200"},
      {"标签6", "QLabel", {304, 146, 32, 32}, "ms"},
      {"定时", "QPushButton", {344, 146, 56, 32}, "定时"},
      {"选择夹1", "QTabWidget", {16, 194, 392, 216}, "运行日志"},
      {"编辑框_输出日志", "app::LogView", {16 + 3, 194 + 22, 389, 194}, ""},
      {"透明标签_2", "QLabel", {432, 298, 48, 32}, "CK信息"},
      {"编辑框CK", "QPlainTextEdit", {480, 298, 336, 32}, ""},
      {"透明标签_1", "QLabel", {423, 370, 56, 32}, "奖品信息"},
      {"编辑框信息", "QPlainTextEdit", {480, 370, 336, 32}, ""},
      {"标签_北京时间3", "QLabel", {16, 410, 176, 24}, ""},
      {"超级链接框1", "QLabel", {720, 410, 96, 24}, "软件帖子在这"},
  };
  EXPECT_EQ(window_.windowTitle(), "Quenbrook");
  EXPECT_EQ(window_.geometry(), QRect(50, 50, 832, 468));
  for (const auto& c : kControls) {
    SCOPED_TRACE(c.name);
    QWidget* w = Find<QWidget>(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(w->metaObject()->className(), c.className);
    EXPECT_EQ(QRect(w->mapTo(&window_, QPoint(0, 0)), w->size()), c.geometry);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(Utf8(window_.ControlText(c.name)), c.text);
  }

  // The run log sits on the tab control's one page.
  auto* tab = Find<QTabWidget>("选择夹1");
  ASSERT_EQ(tab->count(), 1);
  EXPECT_TRUE(tab->widget(0)->isAncestorOf(Find<QWidget>("编辑框_输出日志")));
  EXPECT_EQ(Find<LogView>("编辑框_输出日志")->verticalScrollBarPolicy(),
            Qt::ScrollBarAlwaysOn);

  // The timer is not a widget and stands still until start-up sets it going.
  auto* clock = Find<QTimer>("时钟1");
  ASSERT_NE(clock, nullptr);
  EXPECT_FALSE(clock->isActive());
}

TEST_F(MainWindowTest, ColoursTheCookieInfoAndLogBoxesGreenOnBlack) {
  const struct {
    const char* name;
    QColor text;
    QColor background;
  } kBoxes[] = {
      {"编辑框CK", Qt::green, Qt::black},   {"编辑框信息", Qt::green, Qt::black},
      {"编辑框_输出日志", Qt::green, Qt::black}, {"编辑框_时", Qt::black, Qt::white},
      {"编辑框_分", Qt::black, Qt::white},  {"编辑框_秒", Qt::black, Qt::white},
      {"编辑框_间隔", Qt::black, Qt::white},
  };
  for (const auto& c : kBoxes) {
    SCOPED_TRACE(c.name);
    const QPalette palette = Find<QWidget>(c.name)->palette();
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::Text), c.text);
    EXPECT_EQ(palette.color(QPalette::Active, QPalette::Base), c.background);
  }
}

TEST_F(MainWindowTest, ListHasSevenColumnsTheLastHiddenButHoldingText) {
  const struct {
    const char* title;
    int width;
    Qt::Alignment alignment;
  } kColumns[] = {
      {"序号", 40, Qt::AlignLeft},        {"奖品名称", 120, Qt::AlignHCenter},
      {"奖品价值", 60, Qt::AlignLeft},    {"奖品介绍", 150, Qt::AlignHCenter},
      {"用户等级", 60, Qt::AlignHCenter}, {"所需等级", 60, Qt::AlignHCenter},
      {"", 0, Qt::AlignHCenter},
  };
  auto* list = Find<QTreeWidget>("超级列表框2");
  ASSERT_EQ(list->columnCount(), 7);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
  const int row = window_.ListInsertRow("超级列表框2");
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    const auto& c = kColumns[i];
    EXPECT_EQ(list->headerItem()->text(i), QString::fromUtf8(c.title));
    EXPECT_EQ(list->isColumnHidden(i), c.width == 0);
    if (c.width > 0) {
      EXPECT_EQ(list->columnWidth(i), c.width);
    }
    const auto horizontal = [](int a) { return Qt::Alignment(a) & Qt::AlignHorizontal_Mask; };
    EXPECT_EQ(horizontal(list->headerItem()->textAlignment(i)), c.alignment);
    EXPECT_EQ(horizontal(list->topLevelItem(row)->textAlignment(i)), c.alignment);
  }
  window_.ListSetCell("超级列表框2", row, 6, "10086");
  EXPECT_EQ(window_.ListCellText("超级列表框2", row, 6), "10086");
}

TEST_F(MainWindowTest, TextsCrossAsGbkAndReadBackUnchanged) {
  const struct {
    const char* name;
    const char* text;  // UTF-8; goes in and must come back as GBK
  } kCases[] = {
      {"标签说明", "使用说明：先填CK"},
      {"标签_北京时间", "23时59分58秒"},
      {"定时", "停止"},
      {"编辑框_时", "9"},
      {"编辑框_间隔", ""},
      {"编辑框信息", "购物卡 <b>&amp;</b>"},
      {"编辑框CK", "pt_key=a;\r\npt_pin=b"},
      {"编辑框_输出日志", "{\n\"a\":1}\r\n"},  // a lone LF stays a lone LF
      {"超级链接框1", "讨论帖"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    window_.SetControlText(c.name, Gbk(c.text));
    EXPECT_EQ(window_.ControlText(c.name), Gbk(c.text));
  }
  // What the user sees, not markup.
  EXPECT_EQ(Find<QLineEdit>("编辑框_时")->text(), "9");
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框CK")->document()->blockCount(), 2);
  EXPECT_EQ(Find<QPlainTextEdit>("编辑框信息")->toPlainText(),
            QString::fromUtf8("购物卡 <b>&amp;</b>"));

  // Unknown names read as empty and take writes without effect.
  window_.SetControlText("无此控件", "x");
  window_.AppendToEditBox("无此控件", "x");
  EXPECT_EQ(window_.ControlText("无此控件"), "");
  EXPECT_EQ(window_.ListInsertRow("无此控件"), -1);
}

TEST_F(MainWindowTest, HyperlinkOpensTheDiscussionPage) {
  UrlCatcher catcher;
  QDesktopServices::setUrlHandler("https", &catcher, "Open");
  QDesktopServices::setUrlHandler("http", &catcher, "Open");
  auto* link = Find<QLabel>("超级链接框1");
  EXPECT_TRUE(link->openExternalLinks());
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(8, link->height() / 2));
  QDesktopServices::unsetUrlHandler("https");
  QDesktopServices::unsetUrlHandler("http");
  ASSERT_EQ(catcher.urls.size(), 1);
  EXPECT_EQ(catcher.urls[0], QUrl(QUENBROOK_DISCUSSION_PAGE_URL));
}

TEST_F(MainWindowTest, ListRowsAreNumberedFromZeroAndAbsentRowsReadEmpty) {
  constexpr char kList[] = "超级列表框2";
  EXPECT_EQ(window_.ListSelectedRow(kList), -1);
  ASSERT_EQ(window_.ListInsertRow(kList), 0);
  ASSERT_EQ(window_.ListInsertRow(kList), 1);
  window_.ListSetCell(kList, 1, 1, Gbk("购物卡"));
  window_.ListSetCell(kList, -1, 1, "lost");
  window_.ListSetCell(kList, 2, 1, "lost");
  window_.ListSetCell(kList, 1, 7, "lost");

  const struct {
    int row, column;
    const char* text;
  } kCells[] = {
      {1, 1, "购物卡"}, {0, 1, ""}, {-1, 1, ""}, {2, 1, ""}, {1, 7, ""}, {1, -1, ""},
  };
  for (const auto& c : kCells) {
    SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
    EXPECT_EQ(Utf8(window_.ListCellText(kList, c.row, c.column)), c.text);
  }

  Find<QTreeWidget>(kList)->topLevelItem(1)->setSelected(true);
  EXPECT_EQ(window_.ListSelectedRow(kList), 1);
  window_.ListDeleteAllRows(kList);
  EXPECT_EQ(Find<QTreeWidget>(kList)->topLevelItemCount(), 0);
  EXPECT_EQ(window_.ListSelectedRow(kList), -1);
  EXPECT_EQ(window_.ListInsertRow(kList), 0);
}

TEST_F(MainWindowTest, ClickBelowTheLastRowClearsTheSelectionAndStillRunsTheAction) {
  constexpr char kList[] = "超级列表框2";
  for (int i = 0; i < 2; ++i) {
    window_.ListSetCell(kList, window_.ListInsertRow(kList), 1, "x");
  }
  auto* list = Find<QTreeWidget>(kList);
  QWidget* viewport = list->viewport();

  QTest::mouseClick(viewport, Qt::LeftButton, {},
                    list->visualItemRect(list->topLevelItem(1)).center());
  QTRY_COMPARE(listClicks_, 1);
  EXPECT_EQ(selectedAtClick_, 1);  // the selection changed before the action ran

  QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 5));
  QTRY_COMPARE(listClicks_, 2);
  EXPECT_EQ(selectedAtClick_, -1);
  EXPECT_EQ(window_.ListSelectedRow(kList), -1);

  // Right clicks and the keyboard run no action.
  QTest::mouseClick(viewport, Qt::RightButton, {},
                    list->visualItemRect(list->topLevelItem(0)).center());
  QTest::keyClick(list, Qt::Key_Down);
  QTest::qWait(20);
  EXPECT_EQ(listClicks_, 2);
}

TEST_F(MainWindowTest, AppendGoesToTheEndAndScrollsItIntoView) {
  constexpr char kLog[] = "编辑框_输出日志";
  auto* log = Find<LogView>(kLog);
  window_.SetControlText(kLog, "first\r\n");
  log->verticalScrollBar()->setValue(0);  // the user scrolled back to the first line
  Text expected = "first\r\n";
  for (int i = 0; i < 200; ++i) {
    const Text line = "line " + std::to_string(i) + "\r\n";
    window_.AppendToEditBox(kLog, line);
    expected += line;
  }
  EXPECT_EQ(window_.ControlText(kLog), expected);
  EXPECT_EQ(log->LineCount(), 202);  // 201 lines and the empty last one
  QScrollBar* bar = log->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(bar->value() + bar->pageStep(), log->RowCount());  // the last row shows
}

TEST_F(MainWindowTest, MessageBoxIsAnOwnerlessModalWarningWithOneOkButton) {
  struct Seen {
    bool found = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    qsizetype buttons = 0;
    Qt::WindowModality modality = Qt::NonModal;
    bool owned = true;
  } seen;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = {true,          box->icon(),           box->windowTitle(), box->text(),
            box->buttons().size(), box->windowModality(), box->parentWidget() != nullptr};
    box->done(QMessageBox::Ok);
  });
  QTimer::singleShot(2000, [] {  // keeps a broken test from hanging
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
  QElapsedTimer shown;
  shown.start();
  window_.ShowMessageBox(Gbk("未输入定时时间"), 48, Gbk("提示"));
  EXPECT_LT(shown.elapsed(), 1500);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.title, QString::fromUtf8("提示"));
  EXPECT_EQ(seen.text, QString::fromUtf8("未输入定时时间"));
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_EQ(seen.modality, Qt::ApplicationModal);
  EXPECT_FALSE(seen.owned);
}

// Runs the application's event loop until it quits, or fails after 5 s.
int RunApplication() {
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
  return QApplication::exec();
}

TEST(MainWindowCloseTest, ClosingEndsTheProgram) {
  MainWindow window;
  window.show();
  QTimer::singleShot(0, [&] { window.close(); });
  EXPECT_EQ(RunApplication(), 0);
  EXPECT_TRUE(window.Closed());
}

TEST(MainWindowCloseTest, ClosingDuringAWaitEndsTheProgramOnlyOnceTheHandlerReturns) {
  MainWindow window;
  qint64 firstWait = 0, laterWait = 0, nestedLoop = 0;
  bool closedAfterWait = false;
  QElapsedTimer sinceReturn;
  WindowActions actions;
  actions.drawClicked = [&] {
    QTimer::singleShot(50, [&] { window.close(); });
    QTimer::singleShot(100, [&] {
      // The application has not begun to quit while the handler waits: an
      // event loop nested in the wait (a message box, say) runs as usual.
      QEventLoop nested;
      QTimer::singleShot(50, &nested, &QEventLoop::quit);
      QElapsedTimer n;
      n.start();
      nested.exec();
      nestedLoop = n.elapsed();
    });
    QElapsedTimer t;
    t.start();
    base::DelayWithEvents(300);
    firstWait = t.restart();
    closedAfterWait = window.Closed();
    base::DelayWithEvents(100);  // a wait begun after the close keeps its length too
    laterWait = t.elapsed();
    sinceReturn.start();
  };
  window.SetActions(actions);
  window.show();
  QTimer::singleShot(0, [&] {
    QTest::mouseClick(window.findChild<QPushButton*>(QString::fromUtf8("运行一次")),
                      Qt::LeftButton);
  });
  EXPECT_EQ(RunApplication(), 0);
  EXPECT_TRUE(closedAfterWait);
  EXPECT_GE(firstWait, 300);
  EXPECT_GE(laterWait, 100);
  EXPECT_GE(nestedLoop, 50);
  ASSERT_TRUE(sinceReturn.isValid());
  EXPECT_LT(sinceReturn.elapsed(), 500);  // quits soon after the handler is done
}

}  // namespace
}  // namespace app

#include "main_window_test.moc"
