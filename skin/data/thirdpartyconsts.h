#pragma once
// The categories of foreign control classes that the skin manager adapts, and the default class list of each
// (used when the manager's text for a category is empty).
#include <array>
#include <string_view>

namespace skin {

// Categories 0 to 22, and track bars (23): a track bar is skinned only where a list names its class.
constexpr int ThirdPartyCategoryCount = 24;

// Category names in category order.
inline constexpr std::array<std::string_view, ThirdPartyCategoryCount> ThirdPartyCategoryNames = {
    "Edit",      "Button",    "BitBtn",      "CheckBox",    "ComboBox",  "Grid",          "GroupBox",  "ListView",
    "Panel",     "TreeView",  "wwEdit",      "GridEh",      "VirtualTree", "PageControl", "TabControl", "ToolBar",
    "StatusBar", "SpeedButton", "ScrollControl", "UpDownBtn", "ScrollBar", "StaticText",  "NativePaint", "TrackBar"};

// Default class lists: a single blank everywhere except the buttons (category 1).
inline constexpr std::array<std::string_view, ThirdPartyCategoryCount> ThirdPartyDefaults = {
    " ", "TButton", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ",
    " ", " ",       " ", " ", " ", " ", " ", " ", " ", " ", " ", " "};

// The category's text, or its default list when the text is empty.
constexpr std::string_view ThirdPartyTextOrDefault(int category, std::string_view text) {
  return text.empty() ? ThirdPartyDefaults[size_t(category)] : text;
}

}  // namespace skin
