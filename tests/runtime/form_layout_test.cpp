#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

#include "runtime/form_layout.hpp"

namespace lumen::forms {
namespace {

using enum ControlKind;

// A window with a picture at the bottom, a title label over it, a page
// container with two pages (a frame holding a button on page 0, a label on
// page 1) and a filled panel on top that holds its own frame and button.
constexpr std::string_view kTwoPages[] = {"one", "two"};
constexpr ControlDesign kControls[] = {
    {.name = "button_in_panel", .kind = SuperBtn, .parent = inside("panel_frame"), .bounds = {1, 1, 20, 10}},
    {.name = "panel_frame", .kind = ShapeBox, .parent = inside("panel"), .bounds = {30, 40, 22, 12},
     .outline_colour = rgb(1, 2, 3)},
    {.name = "panel", .kind = ShapeBox, .parent = kOnWindow, .bounds = {300, 0, 200, 150},
     .back_colour = rgb(0, 0, 255)},
    {.name = "title", .kind = TransLabel, .parent = kOnWindow, .bounds = {10, 5, 100, 16}, .enabled = false},
    {.name = "label_p1", .kind = TransLabel, .parent = on_page("pages", 1), .bounds = {5, 5, 50, 20}},
    {.name = "button_p0", .kind = SuperBtn, .parent = inside("frame_p0"), .bounds = {1, 1, 48, 24}},
    {.name = "frame_p0", .kind = ShapeBox, .parent = on_page("pages", 0), .bounds = {100, 8, 50, 26},
     .outline_colour = rgb(1, 2, 3)},
    {.name = "pages", .kind = Tab, .parent = kOnWindow, .bounds = {0, 100, 300, 80}, .pages = kTwoPages},
    {.name = "picture", .kind = PicBox, .parent = kOnWindow, .bounds = {0, 0, 300, 100}},
};
constexpr FormDesign kDesign = {.name = "fixture", .width = 300, .height = 180, .controls = kControls};

struct Fixture : ::testing::Test {
  FormLayout layout{kDesign};
  ControlIndex at(std::string_view name) const { return *layout.index_of(name); }
  std::vector<std::string_view> names(const std::vector<ControlIndex>& indexes) const {
    std::vector<std::string_view> out;
    for (ControlIndex i : indexes) out.push_back(layout.control(i).name);
    return out;
  }
};

TEST(FormDesignFaults, NamesTheFirstControlThatCannotBeBuilt) {
  constexpr std::string_view one_page[] = {"only"};
  struct Case {
    const char* what;
    std::vector<ControlDesign> controls;
    std::vector<EventBinding> events;
    std::optional<std::string_view> fault;
  };
  const Case cases[] = {
      {"sound", {{.name = "a", .kind = Tab, .pages = one_page}, {.name = "b", .parent = on_page("a", 0)}}, {},
       std::nullopt},
      {"duplicate name", {{.name = "a"}, {.name = "a"}}, {}, "a"},
      {"empty name", {{.name = ""}}, {}, ""},
      {"missing parent", {{.name = "a", .parent = inside("nowhere")}}, {}, "a"},
      {"label cannot hold controls", {{.name = "a"}, {.name = "b", .parent = inside("a")}}, {}, "b"},
      {"page beyond the container's pages",
       {{.name = "a", .kind = Tab, .pages = one_page}, {.name = "b", .parent = on_page("a", 1)}}, {}, "b"},
      {"page container needs a page", {{.name = "a", .kind = Tab, .pages = one_page}, {.name = "b", .parent = inside("a")}},
       {}, "b"},
      {"parents in a cycle",
       {{.name = "a", .kind = ShapeBox, .parent = inside("b")}, {.name = "b", .kind = ShapeBox, .parent = inside("a")}},
       {}, "a"},
      {"binding to an unknown control", {{.name = "a"}}, {{.control = "b", .handler = 1}}, "b"},
      {"binding to the window", {{.name = "a"}}, {{.control = {}, .event = Event::Created, .handler = 0}},
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FormDesign design{.controls = c.controls, .events = c.events};
    EXPECT_EQ(first_design_fault(design), c.fault);
  }
}

TEST_F(Fixture, OnlyTheCurrentPageAndVisibleContainersShowTheirControls) {
  EXPECT_TRUE(layout.shown(at("button_p0")));
  EXPECT_FALSE(layout.shown(at("label_p1")));

  ASSERT_TRUE(layout.set_current_page(at("pages"), 1));
  EXPECT_FALSE(layout.shown(at("button_p0")));
  EXPECT_TRUE(layout.shown(at("label_p1")));

  EXPECT_FALSE(layout.set_current_page(at("pages"), 2));
  EXPECT_FALSE(layout.set_current_page(at("pages"), -1));
  EXPECT_FALSE(layout.set_current_page(at("panel"), 0));
  EXPECT_EQ(layout.current_page(at("pages")), 1);

  layout.set_visible(at("panel"), false);
  EXPECT_FALSE(layout.shown(at("button_in_panel")));
  EXPECT_TRUE(layout.shown(at("title")));
}

TEST_F(Fixture, ControlsArePlacedInTheirHostThroughEveryDrawnContainer) {
  struct Case { std::string_view name; std::optional<std::string_view> host; Rect rect; };
  const Case cases[] = {
      {"picture", std::nullopt, {0, 0, 300, 100}},
      {"button_p0", std::nullopt, {101, 109, 149, 133}},  // tab + frame + own offset
      {"label_p1", std::nullopt, {5, 105, 55, 125}},
      {"panel", std::nullopt, {300, 0, 500, 150}},
      {"button_in_panel", "panel", {31, 41, 51, 51}},  // the filled panel is its own window
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ControlIndex> host = layout.host_of(at(c.name));
    EXPECT_EQ(host ? std::optional(layout.control(*host).name) : std::nullopt, c.host);
    EXPECT_EQ(layout.rect_in_host(at(c.name)), c.rect);
  }

  layout.set_bounds(at("panel"), {0, 0, 200, 150});
  layout.set_bounds(at("frame_p0"), {0, 0, 50, 26});
  EXPECT_EQ(layout.rect_in_host(at("button_in_panel")), (Rect{31, 41, 51, 51}));
  EXPECT_EQ(layout.rect_in_host(at("button_p0")), (Rect{1, 101, 49, 125}));
}

TEST_F(Fixture, HostsPaintTheirDrawnControlsBottomUpAndOwnTheirWindowsTopmostFirst) {
  EXPECT_EQ(names(layout.painted_by(std::nullopt)),
            (std::vector<std::string_view>{"picture", "pages", "frame_p0", "label_p1", "title"}));
  EXPECT_EQ(names(layout.painted_by(at("panel"))), (std::vector<std::string_view>{"panel_frame"}));
  EXPECT_EQ(names(layout.windows_of(std::nullopt)), (std::vector<std::string_view>{"panel", "button_p0"}));
  EXPECT_EQ(names(layout.windows_of(at("panel"))), (std::vector<std::string_view>{"button_in_panel"}));
}

TEST_F(Fixture, WindowsWhollyBeneathAShownWindowAreCovered) {
  EXPECT_FALSE(layout.covered(at("button_p0")));
  layout.set_bounds(at("panel"), {0, 0, 300, 180});
  EXPECT_TRUE(layout.covered(at("button_p0")));
  EXPECT_FALSE(layout.covered(at("panel")));
  EXPECT_FALSE(layout.covered(at("button_in_panel")));  // in the panel, not beneath it
  layout.set_visible(at("panel"), false);
  EXPECT_FALSE(layout.covered(at("button_p0")));
  // Partly covered stays shown.
  layout.set_visible(at("panel"), true);
  layout.set_bounds(at("panel"), {120, 0, 300, 180});
  EXPECT_FALSE(layout.covered(at("button_p0")));
}

TEST_F(Fixture, PointerGoesToTheTopmostShownEnabledDrawnControl) {
  struct Case { const char* what; int page; int x, y; std::optional<std::string_view> hit; };
  const Case cases[] = {
      {"disabled title lets the press through to the picture", 0, 20, 10, "picture"},
      {"label on the current page", 1, 10, 110, "label_p1"},
      {"label on a hidden page", 0, 10, 110, "pages"},
      {"outside every control", 0, 299, 179, "pages"},
      {"beyond the window", 0, 310, 10, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(layout.set_current_page(at("pages"), c.page));
    const std::optional<ControlIndex> hit = layout.drawn_control_at(std::nullopt, c.x, c.y);
    EXPECT_EQ(hit ? std::optional(layout.control(*hit).name) : std::nullopt, c.hit);
  }
}

}  // namespace
}  // namespace lumen::forms
