#include "core/wizard_design.hpp"

#include "core/licence_text.hpp"

namespace lumen::wizard {

namespace {

using namespace lumen::forms;
using enum ControlKind;

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kBlue = rgb(0, 136, 255);
constexpr Colour kGrey = rgb(96, 96, 96);
constexpr Colour kFrame = rgb(192, 192, 192);

// The small white buttons inside frames, and the blue wide ones.
constexpr std::array<Look, 3> kPlainLooks = {{{kBlack, kWhite}, {kBlack, rgb(236, 236, 236)}, {kBlack, kWhite}}};
constexpr std::array<Look, 3> kBlueLooks = {{{kWhite, kBlue}, {kWhite, rgb(65, 157, 234)}, {kWhite, kBlue}}};

constexpr std::string_view kPageNames[] = {"安装", "安装中", "安装完成", "安装失败"};

constexpr ParentRef page(int n) { return on_page(kPages, n); }

// Stacking order, topmost first. The licence panel and its contents come
// first: opened, the panel covers the whole window, title-bar buttons
// included.
constexpr ControlDesign kControls[] = {
    {.name = kBackButton, .kind = SuperBtn, .parent = inside("外形框3"), .bounds = {1, 1, 48, 24},
     .tab_stop = true, .text = "返回", .looks = kBlueLooks},
    {.name = kLicenceEdit, .kind = EditBox, .parent = inside(kLicencePanel), .bounds = {48, 48, 504, 328},
     .tab_stop = true, .text = kLicenceText, .font = FontChoice::DefaultGui, .back_colour = kWhite,
     .edit = {.multi_line = true, .vertical_scroll_bar = true}},
    {.name = kLicencePanel, .kind = ShapeBox, .parent = kOnWindow, .bounds = {608, 0, 600, 432},
     .back_colour = kBlue},
    {.name = "外形框3", .kind = ShapeBox, .parent = inside(kLicencePanel), .bounds = {275, 392, 50, 26},
     .outline_colour = kFrame},
    {.name = kFileDialog, .kind = CommonDlg, .parent = page(3), .bounds = {8, 8, 26, 26}, .visible = false},
    {.name = kFailureNotice, .kind = TransLabel, .parent = page(3), .bounds = {56, 88, 480, 32},
     .cursor = CursorChoice::Hand, .text = "智能安装失败，请点击手动下载程序文件，并按照提示进行手动安装。",
     .font = FontChoice::Large, .underline = true, .text_colour = rgb(255, 0, 0)},
    {.name = kChooseButton, .kind = SuperBtn, .parent = inside("外形框1"), .bounds = {1, 1, 48, 24},
     .tab_stop = true, .text = "选择", .looks = kPlainLooks},
    {.name = "外形框1", .kind = ShapeBox, .parent = page(3), .bounds = {505, 8, 50, 26}, .outline_colour = kFrame},
    {.name = kProgramFileEdit, .kind = EditBox, .parent = page(3), .bounds = {54, 8, 444, 25}, .tab_stop = true,
     .text = "将手动下载的程序文件的路径输入到此处，然后点手动安装即可完成。", .back_colour = kWhite},
    {.name = kManualInstallButton, .kind = SuperBtn, .parent = page(3), .bounds = {170, 51, 260, 35},
     .tab_stop = true, .text = "手动安装", .font = FontChoice::Large, .looks = kBlueLooks,
     .normal_image = kWideButtonImage, .over_image = kWideButtonOverImage},
    {.name = kLicenceLabel, .kind = TransLabel, .parent = page(0), .bounds = {116, 99, 112, 24},
     .text = "用户使用许可协议", .text_colour = kBlue},
    {.name = kRunButton, .kind = SuperBtn, .parent = page(2), .bounds = {170, 72, 260, 35}, .tab_stop = true,
     .text = "运  行", .font = FontChoice::Large, .looks = kBlueLooks, .normal_image = kWideButtonImage,
     .over_image = kWideButtonOverImage},
    {.name = kCloseButton, .kind = Button, .parent = kOnWindow, .bounds = {567, 3, 24, 24}, .tab_stop = true},
    {.name = kMinimiseButton, .kind = Button, .parent = kOnWindow, .bounds = {541, 3, 24, 24}, .tab_stop = true},
    {.name = "透明标签_安装中1", .kind = TransLabel, .parent = page(2), .bounds = {265, 31, 69, 32},
     .text = "安装完成", .font = FontChoice::Large, .text_colour = kGrey},
    {.name = kTitleLabel, .kind = TransLabel, .parent = kOnWindow, .bounds = {13, 8, 371, 16}, .enabled = false,
     .text = "原始安装包", .text_colour = kWhite},
    {.name = kBrowseButton, .kind = SuperBtn, .parent = page(0), .bounds = {506, 9, 48, 24}, .tab_stop = true,
     .text = "浏览", .looks = kPlainLooks},
    {.name = "外形框4", .kind = ShapeBox, .parent = page(0), .bounds = {505, 8, 50, 26}, .outline_colour = kFrame},
    {.name = kFolderEdit, .kind = EditBox, .parent = page(0), .bounds = {54, 8, 444, 25}, .tab_stop = true,
     .text = "C:\\Program Files (x86)\\", .back_colour = kWhite, .edit = {.read_only = true}},
    {.name = kLicenceBox, .kind = CheckBox, .parent = page(0), .bounds = {24, 99, 92, 24}, .tab_stop = true,
     .text = "已阅读并同意", .back_colour = kWhite, .checked = true},
    {.name = kProgressBar, .kind = ProcessBar, .parent = page(1), .bounds = {-1, -2, 602, 18}},
    {.name = kPages, .kind = Tab, .parent = kOnWindow, .bounds = {0, 300, 600, 180}, .pages = kPageNames},
    {.name = kInstallButton, .kind = SuperBtn, .parent = page(0), .bounds = {170, 51, 260, 35}, .tab_stop = true,
     .text = "开始安装", .font = FontChoice::Large, .looks = kBlueLooks, .normal_image = kWideButtonImage,
     .over_image = kWideButtonOverImage},
    {.name = kStatusLabel, .kind = TransLabel, .parent = page(1), .bounds = {214, 57, 178, 32},
     .text = "与服务器连接中..", .font = FontChoice::Large, .text_colour = kGrey},
    {.name = kBanner, .kind = PicBox, .parent = kOnWindow, .bounds = {0, 0, 600, 300},
     .normal_image = kBannerImage},
};

using enum Event;
using enum WizardHandler;

constexpr HandlerId bound(WizardHandler handler) { return static_cast<HandlerId>(handler); }

constexpr EventBinding kEvents[] = {
    {.control = {}, .event = Created, .handler = bound(OnCreated)},
    {.control = kCloseButton, .event = Clicked, .handler = bound(OnCloseClicked)},
    // Every other way of closing the window asks the same question: it must
    // not vanish during a download that then goes on unseen.
    {.control = {}, .event = CloseRequested, .handler = bound(OnCloseClicked)},
    {.control = {}, .event = SessionEnding, .handler = bound(OnSessionEnding)},
    {.control = kMinimiseButton, .event = Clicked, .handler = bound(OnMinimiseClicked)},
    {.control = kBrowseButton, .event = Clicked, .handler = bound(OnBrowseClicked)},
    {.control = kLicenceBox, .event = Clicked, .handler = bound(OnLicenceBoxClicked)},
    {.control = kLicenceLabel, .event = LeftButtonDown, .handler = bound(OnLicenceLabelPressed)},
    {.control = kBackButton, .event = Clicked, .handler = bound(OnBackClicked)},
    {.control = kInstallButton, .event = Clicked, .handler = bound(OnInstallClicked)},
    {.control = kRunButton, .event = Clicked, .handler = bound(OnRunClicked)},
    {.control = kChooseButton, .event = Clicked, .handler = bound(OnChooseClicked)},
    {.control = kManualInstallButton, .event = Clicked, .handler = bound(OnManualInstallClicked)},
    {.control = kFailureNotice, .event = LeftButtonDown, .handler = bound(OnFailureNoticePressed)},
};

constexpr FormDesign kWizard = {
    .name = "WizardForm",
    .width = 602,
    .height = 480,
    .background = kWhite,
    .drag_band = 30,  // the title bar over the banner
    .controls = kControls,
    .events = kEvents,
};

}  // namespace

const forms::FormDesign& wizard_design() noexcept { return kWizard; }

}  // namespace lumen::wizard
