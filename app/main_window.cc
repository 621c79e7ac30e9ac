// app/main_window.cc: the Quenbrook window on Qt Widgets.
#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <utility>

#include "app/clock_log.h"
#include "app/config.h"
#include "app/log_view.h"
#include "app/window_definition.h"
#include "base/delay.h"
#include "base/gbk.h"
#include "base/numbers_dates.h"

namespace app {
namespace {

// Dynamic properties the window keeps on its widgets.
constexpr char kCaptionProperty[] = "quenbrookCaption";  // hyperlink caption
constexpr char kTabLeftProperty[] = "quenbrookTabLeft";  // position within a tab control
constexpr char kTabTopProperty[] = "quenbrookTabTop";

// The run log: a view that keeps a day of lines in little memory. The other
// multi-line boxes stay edit boxes the user types into.
constexpr char kRunLog[] = "编辑框_输出日志";

QString QStringOfText(std::string_view text) {
  return QString::fromStdU16String(base::Utf16OfText(text));
}

Text TextOfQString(const QString& s) {
  return base::TextOfUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), s.size()));
}

// "\r\n" becomes a paragraph break of the text document, a lone "\r" or
// "\n" a line break within the paragraph.
QString DocumentTextOf(std::string_view text) {
  const QString s = QStringOfText(text);
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') {
      out += QChar(QChar::ParagraphSeparator);
      ++i;
    } else if (c == u'\r' || c == u'\n') {
      out += QChar(QChar::LineSeparator);
    } else {
      out += c;
    }
  }
  return out;
}

Text TextOfDocument(const QTextDocument& document) {
  QString raw = document.toRawText();
  QString out;
  out.reserve(raw.size() + raw.size() / 16);
  for (const QChar c : raw) {
    if (c == QChar::ParagraphSeparator) {
      out += u"\r\n";
    } else if (c == QChar::LineSeparator) {
      out += u'\n';
    } else {
      out += c;
    }
  }
  return TextOfQString(out);
}

QString HyperlinkHtml(const QString& caption) {
  return QStringLiteral("<a href=\"%1\">%2</a>")
      .arg(QString::fromStdString(DiscussionPageUrl()).toHtmlEscaped(), caption.toHtmlEscaped());
}

void SetColours(QWidget* widget, ControlColours colours) {
  if (colours == ControlColours::kDefault) return;
  const bool green = colours == ControlColours::kGreenOnBlack;
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, green ? QColor(0, 0, 0) : QColor(255, 255, 255));
  palette.setColor(QPalette::Text, green ? QColor(0, 255, 0) : QColor(0, 0, 0));
  widget->setPalette(palette);
}

Qt::Alignment AlignmentOf(ColumnAlignment alignment) {
  return (alignment == ColumnAlignment::kLeft ? Qt::AlignLeft : Qt::AlignHCenter) |
         Qt::AlignVCenter;
}

QTreeWidget* NewListView(QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  const auto columns = RightsListColumns();
  list->setColumnCount(static_cast<int>(columns.size()));
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    list->headerItem()->setText(i, QString::fromUtf8(columns[i].title));
    list->headerItem()->setTextAlignment(i, AlignmentOf(columns[i].alignment));
    if (columns[i].width > 0) {
      list->setColumnWidth(i, columns[i].width);
    } else {
      list->setColumnHidden(i, true);  // a zero width could be dragged open
    }
  }
  return list;
}

QTabWidget* NewTabControl(QWidget* parent) {
  auto* tab = new QTabWidget(parent);
  tab->addTab(new QWidget, QString::fromUtf8(RunLogPageTitle()));
  return tab;
}

QPlainTextEdit* NewMultiLineEditBox(QWidget* parent, bool verticalScrollBar) {
  auto* edit = new QPlainTextEdit(parent);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(verticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                     : Qt::ScrollBarAlwaysOff);
  // A log that grows all day would otherwise keep every append for undo.
  edit->setUndoRedoEnabled(false);
  return edit;
}

}  // namespace

MainWindow::MainWindow(WindowActions actions) : actions_(std::move(actions)) {
  // The window's close ends the program only once no handler waits (see
  // QuitWhenNoWait), never as a side effect of the last window closing.
  QApplication::setQuitOnLastWindowClosed(false);
  const WindowDefinition& w = MainWindowDefinition();
  setWindowTitle(QString::fromUtf8(w.title));
  setGeometry(w.left, w.top, w.width, w.height);
  setFixedSize(w.width, w.height);
  BuildControls();
  // The longest date ("2026年12月31日23时59分59秒") is a few pixels wider
  // than this label in the usual 12-pixel font.
  if (auto* date = qobject_cast<QLabel*>(Control("标签_北京时间3"))) {
    QFont smaller = date->font();
    smaller.setPixelSize(11);
    date->setFont(smaller);
  }
  ConnectEvents();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetActions(WindowActions actions) { actions_ = std::move(actions); }

void MainWindow::BuildControls() {
  for (const ControlDefinition& d : MainWindowControls()) {
    QWidget* parent = this;
    if (d.tabControl != nullptr) {
      auto* tab = qobject_cast<QTabWidget*>(Control(d.tabControl));
      if (tab == nullptr) continue;  // the table lists parents first
      parent = tab->widget(0);
      parent->installEventFilter(this);
    }
    const QString text = QString::fromUtf8(d.text);
    QObject* control = nullptr;
    QWidget* widget = nullptr;
    switch (d.kind) {
      case ControlKind::kLabel:
      case ControlKind::kTransparentLabel: {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(false);
        widget = label;
        break;
      }
      case ControlKind::kTimer: {
        clock_ = new QTimer(this);
        clock_->setSingleShot(true);  // re-armed to the wall clock's grid each tick
        clock_->setTimerType(Qt::PreciseTimer);
        control = clock_;
        break;
      }
      case ControlKind::kButton:
        widget = new QPushButton(text, parent);
        break;
      case ControlKind::kListView:
        rightsList_ = NewListView(parent);
        rightsList_->viewport()->installEventFilter(this);
        widget = rightsList_;
        break;
      case ControlKind::kEditBox:
        widget = new QLineEdit(text, parent);
        break;
      case ControlKind::kMultiLineEditBox: {
        if (std::string_view(d.name) == kRunLog) {
          auto* log = new LogView(parent);
          log->SetText(base::TextOfUtf8(std::string_view(d.text)));
          widget = log;
          break;
        }
        auto* edit = NewMultiLineEditBox(parent, d.verticalScrollBar);
        edit->setPlainText(text);
        widget = edit;
        break;
      }
      case ControlKind::kTabControl:
        widget = NewTabControl(parent);
        break;
      case ControlKind::kHyperlink: {
        auto* link = new QLabel(HyperlinkHtml(text), parent);
        link->setProperty(kCaptionProperty, text);
        link->setTextFormat(Qt::RichText);
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        link->setOpenExternalLinks(true);
        widget = link;
        break;
      }
    }
    if (widget != nullptr) {
      SetColours(widget, d.colours);
      widget->setGeometry(d.left, d.top, d.width, d.height);
      if (d.tabControl != nullptr) {
        widget->setProperty(kTabLeftProperty, d.left);
        widget->setProperty(kTabTopProperty, d.top);
      }
      control = widget;
    }
    control->setObjectName(QString::fromUtf8(d.name));
    controls_.emplace(d.name, control);
  }
}

void MainWindow::ConnectEvents() {
  const struct {
    const char* button;
    std::function<void()> WindowActions::*hook;
  } kButtons[] = {
      {"获取券", &WindowActions::fetchClicked},
      {"运行一次", &WindowActions::drawClicked},
      {"定时", &WindowActions::scheduleClicked},
  };
  for (const auto& b : kButtons) {
    if (auto* button = qobject_cast<QPushButton*>(Control(b.button))) {
      connect(button, &QPushButton::clicked, this, [this, hook = b.hook] { Run(hook); });
    }
  }
  if (clock_ != nullptr) connect(clock_, &QTimer::timeout, this, &MainWindow::OnClockTick);
}

void MainWindow::Run(std::function<void()> WindowActions::*hook) {
  // A copy, so that SetActions during a nested wait cannot pull the running
  // hook away from under it.
  const std::function<void()> action = actions_.*hook;
  if (!action) return;
  try {
    action();
  } catch (...) {
    // Actions report through the run log and never throw; should one do so
    // all the same, the event loop must go on.
  }
}

QObject* MainWindow::Control(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

QTreeWidget* MainWindow::List(std::string_view name) const {
  return qobject_cast<QTreeWidget*>(Control(name));
}

Text MainWindow::ControlText(std::string_view name) const {
  QObject* control = Control(name);
  if (auto* log = qobject_cast<LogView*>(control)) return log->WholeText();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) return TextOfDocument(*edit->document());
  if (auto* line = qobject_cast<QLineEdit*>(control)) return TextOfQString(line->text());
  if (auto* button = qobject_cast<QPushButton*>(control)) return TextOfQString(button->text());
  if (auto* label = qobject_cast<QLabel*>(control)) {
    const QVariant caption = label->property(kCaptionProperty);
    return TextOfQString(caption.isValid() ? caption.toString() : label->text());
  }
  if (auto* tab = qobject_cast<QTabWidget*>(control)) return TextOfQString(tab->tabText(0));
  return Text();
}

void MainWindow::SetControlText(std::string_view name, const Text& text) {
  QObject* control = Control(name);
  if (auto* log = qobject_cast<LogView*>(control)) {
    log->SetText(text);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
    edit->setPlainText(DocumentTextOf(text));
  } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
    line->setText(QStringOfText(text));
  } else if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->setText(QStringOfText(text));
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    if (label->property(kCaptionProperty).isValid()) {
      const QString caption = QStringOfText(text);
      label->setProperty(kCaptionProperty, caption);
      label->setText(HyperlinkHtml(caption));
    } else {
      label->setText(QStringOfText(text));
    }
  } else if (auto* tab = qobject_cast<QTabWidget*>(control)) {
    tab->setTabText(0, QStringOfText(text));
  }
}

void MainWindow::AppendToEditBox(std::string_view name, const Text& text) {
  QObject* control = Control(name);
  if (auto* log = qobject_cast<LogView*>(control)) {
    log->Append(text);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
    // Inserting at the end touches only the last paragraphs, so an append
    // costs the same however long the log has grown.
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(DocumentTextOf(text));
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
  } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
    line->end(false);
    line->insert(QStringOfText(text));
  }
}

void MainWindow::ListDeleteAllRows(std::string_view name) {
  if (QTreeWidget* list = List(name)) list->clear();
}

int MainWindow::ListInsertRow(std::string_view name) {
  QTreeWidget* list = List(name);
  if (list == nullptr) return -1;
  auto* item = new QTreeWidgetItem;
  for (int column = 0; column < list->columnCount(); ++column) {
    item->setTextAlignment(column, Qt::Alignment(list->headerItem()->textAlignment(column)));
  }
  list->addTopLevelItem(item);
  return list->topLevelItemCount() - 1;
}

void MainWindow::ListSetCell(std::string_view name, int row, int column, const Text& text) {
  QTreeWidget* list = List(name);
  if (list == nullptr || column < 0 || column >= list->columnCount()) return;
  if (QTreeWidgetItem* item = list->topLevelItem(row)) item->setText(column, QStringOfText(text));
}

Text MainWindow::ListCellText(std::string_view name, int row, int column) const {
  QTreeWidget* list = List(name);
  if (list == nullptr || column < 0 || column >= list->columnCount()) return Text();
  QTreeWidgetItem* item = list->topLevelItem(row);  // null for -1 or past the end
  return item == nullptr ? Text() : TextOfQString(item->text(column));
}

int MainWindow::ListSelectedRow(std::string_view name) const {
  QTreeWidget* list = List(name);
  if (list == nullptr) return -1;
  int first = -1;
  for (QTreeWidgetItem* item : list->selectedItems()) {
    const int row = list->indexOfTopLevelItem(item);
    if (row != -1 && (first == -1 || row < first)) first = row;
  }
  return first;
}

void MainWindow::ShowMessageBox(const Text& text, int style, const Text& title) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (style & 0xF0) {
    case 0x10: icon = QMessageBox::Critical; break;
    case 0x20: icon = QMessageBox::Question; break;
    case 0x30: icon = QMessageBox::Warning; break;
    case 0x40: icon = QMessageBox::Information; break;
    default: break;
  }
  // No parent: the box has no owner window, and application modality
  // blocks input to every window of the program while the clock ticks on.
  QMessageBox box(icon, QStringOfText(title), QStringOfText(text), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

bool MainWindow::Closed() const { return closed_; }

void MainWindow::SetTimerPeriod(std::string_view name, int milliseconds) {
  if (clock_ == nullptr || Control(name) != clock_) return;
  clockPeriod_ = milliseconds;
  if (milliseconds <= 0) {
    clock_->stop();
  } else {
    ArmClock();
  }
}

void MainWindow::ArmClock() {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;
  const long long now = duration_cast<microseconds>(base::Now().time_since_epoch()).count();
  const long long period = clockPeriod_ * 1000LL;
  long long intoPeriod = now % period;
  if (intoPeriod < 0) intoPeriod += period;
  const long long wait = period - intoPeriod + 1000;  // 1 ms past the boundary
  clock_->start(static_cast<int>((wait + 999) / 1000));
}

void MainWindow::OnClockTick() {
  if (clockPeriod_ <= 0) return;
  ArmClock();
  UpdateClock(*this);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // Runs from the event loop, after the window has been painted once, so a
  // slow start-up request leaves a visible window behind it.
  QTimer::singleShot(0, this, [this] { Run(&WindowActions::created); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (closed_) return;
  closed_ = true;
  QuitWhenNoWait();
}

void MainWindow::QuitWhenNoWait() {
  // A handler waiting in DelayWithEvents must finish its wait before the
  // program ends; the check repeats until the last wait has returned.
  if (base::DelayDepth() == 0) {
    QCoreApplication::quit();
    return;
  }
  QTimer::singleShot(20, this, [this] { QuitWhenNoWait(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (rightsList_ != nullptr && watched == rightsList_->viewport()) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick ||
        type == QEvent::MouseButtonRelease) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        if (type == QEvent::MouseButtonRelease) {
          // One action per click; the second click of a double click counts
          // as part of the first. Queued, so it runs once the list has
          // finished with the click.
          if (!std::exchange(releaseEndsDoubleClick_, false)) {
            QMetaObject::invokeMethod(
                this, [this] { Run(&WindowActions::listClicked); }, Qt::QueuedConnection);
          }
        } else {
          releaseEndsDoubleClick_ = type == QEvent::MouseButtonDblClick;
          // Qt keeps the old row selected on a click below the last row;
          // the list's users expect no row selected then.
          if (!rightsList_->indexAt(mouse->position().toPoint()).isValid()) {
            rightsList_->selectionModel()->clear();
          }
        }
      }
    }
  } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
    // A tab page moved: keep its controls where they belong within the tab
    // control, whatever the height of the tab bar.
    auto* page = qobject_cast<QWidget*>(watched);
    QWidget* tab = page;
    while (tab != nullptr && qobject_cast<QTabWidget*>(tab) == nullptr) tab = tab->parentWidget();
    if (page != nullptr && tab != nullptr) {
      const QPoint pageOrigin = page->mapTo(tab, QPoint(0, 0));
      for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant left = child->property(kTabLeftProperty);
        const QVariant top = child->property(kTabTopProperty);
        if (left.isValid() && top.isValid()) {
          child->move(QPoint(left.toInt(), top.toInt()) - pageOrigin);
        }
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace app
