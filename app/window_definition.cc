// app/window_definition.cc: the main window's controls as data.
#include "app/window_definition.h"

namespace app {
namespace {

using K = ControlKind;
using C = ControlColours;

constexpr WindowDefinition kMainWindow = {"Quenbrook", 50, 50, 832, 468};

const ControlDefinition kControls[] = {
    {"标签说明", K::kLabel, 56, 8, 720, 16, ""},
    {"标签1", K::kLabel, 56, 24, 720, 24,
     "先填入ck信息，然后点击获取按钮即可获取当前奖品信息，再列表内左键单击选择奖品信息，最后运行或定时运行"},
    {"标签_北京时间1", K::kLabel, 16, 50, 88, 40, "当前时间"},
    {"标签_北京时间", K::kLabel, 104, 50, 128, 40, ""},
    {"时钟1", K::kTimer, 264, 66, 40, 40, ""},
    {"获取券", K::kButton, 344, 50, 56, 32, "获取"},
    {"超级列表框2", K::kListView, 424, 50, 384, 224, ""},
    {"标签_北京时间2", K::kLabel, 16, 98, 80, 32, "定时时间"},
    {"标签_定时时间", K::kLabel, 104, 98, 128, 32, "无"},
    {"运行一次", K::kButton, 344, 98, 56, 32, "运行一次"},
    {"编辑框_时", K::kEditBox, 16, 146, 40, 32, "", C::kBlackOnWhite},
    {"标签4", K::kLabel, 56, 146, 40, 32, "时"},
    {"编辑框_分", K::kEditBox, 80, 146, 40, 32, "59", C::kBlackOnWhite},
    {"标签2", K::kLabel, 120, 146, 40, 32, "分"},
    {"编辑框_秒", K::kEditBox, 144, 146, 40, 32, "58", C::kBlackOnWhite},
    {"标签3", K::kLabel, 184, 146, 40, 32, "秒"},
    {"标签5", K::kLabel, 210, 146, 40, 32, "间隔"},
    {"编辑框_间隔", K::kEditBox, 256, 146, 48, 32, "200", C::kBlackOnWhite},
    {"标签6", K::kLabel, 304, 146, 32, 32, "ms"},
    {"定时", K::kButton, 344, 146, 56, 32, "定时"},
    {"选择夹1", K::kTabControl, 16, 194, 392, 216, ""},
    {"编辑框_输出日志", K::kMultiLineEditBox, 3, 22, 389, 194, "", C::kGreenOnBlack,
     /*verticalScrollBar=*/true, /*tabControl=*/"选择夹1"},
    {"透明标签_2", K::kTransparentLabel, 432, 298, 48, 32, "CK信息"},
    {"编辑框CK", K::kMultiLineEditBox, 480, 298, 336, 32, "", C::kGreenOnBlack},
    {"透明标签_1", K::kTransparentLabel, 423, 370, 56, 32, "奖品信息"},
    {"编辑框信息", K::kMultiLineEditBox, 480, 370, 336, 32, "", C::kGreenOnBlack},
    {"标签_北京时间3", K::kLabel, 16, 410, 176, 24, ""},
    {"超级链接框1", K::kHyperlink, 720, 410, 96, 24, "软件帖子在这"},
};

using A = ColumnAlignment;

const ListColumnDefinition kRightsListColumns[] = {
    {"序号", 40, A::kLeft},       {"奖品名称", 120, A::kCentre}, {"奖品价值", 60, A::kLeft},
    {"奖品介绍", 150, A::kCentre}, {"用户等级", 60, A::kCentre}, {"所需等级", 60, A::kCentre},
    {"", 0, A::kCentre},  // rightsId: carried, never shown
};

}  // namespace

const WindowDefinition& MainWindowDefinition() { return kMainWindow; }

std::span<const ControlDefinition> MainWindowControls() { return kControls; }

std::span<const ListColumnDefinition> RightsListColumns() { return kRightsListColumns; }

const char* RunLogPageTitle() { return "运行日志"; }

}  // namespace app
