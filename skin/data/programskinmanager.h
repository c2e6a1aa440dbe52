#pragma once
// The skin manager of the program's main window as its stored definition gives it: the options it is stored
// with and its eight stored skins. The skins' packed data come from the program (its resources); without them
// the stored skins are empty and load as empty skins.
#include <array>
#include <functional>
#include <string_view>

#include "skin/data/sskinmanager.h"

namespace skin {

// The stored skins, in their stored order.
inline constexpr std::array<std::string_view, 8> ProgramStoredSkinNames = {
    "Topaz (internal)",         "MacMetal (internal)", "Opus (internal)", "Snow Leopard (internal)",
    "Spring Willow (internal)", "Vienna Ext (internal)", "Zest (internal)", "Lucky (internal)"};
inline constexpr std::string_view ProgramSkinName = "Spring Willow (internal)";

// The class lists the program's manager is stored with, by category (one class name per line; a single blank
// where the program names none): every standard control class of the program's windows is listed, so that its
// forms' control adapters skin their memos, edits, group boxes, panels, check boxes, up-downs, speed buttons and
// track bars as well as their buttons.
inline constexpr std::array<std::string_view, ThirdPartyCategoryCount> ProgramThirdParty = {
    "TEdit\r\nTMemo\r\nTMaskEdit\r\nTSpinEdit\r\nTLabeledEdit\r\nTHotKey\r\nTListBox\r\nTCheckListBox\r\nTRichEdit\r\n"
    "TDateTimePicker\r\nTCategoryButtons\r\nTFileListBox",
    "TButton",
    "TBitBtn",
    "TCheckBox\r\nTRadioButton\r\nTGroupButton",
    "TComboBox\r\nTComboBoxEx\r\nTColorBox",
    "TStringGrid\r\nTDrawGrid\r\nTValueListEditor",
    "TGroupBox\r\nTRadioGroup",
    "TListView",
    "TPanel\r\nTPage\r\nTGridPanel",
    "TTreeView",
    " ",
    " ",
    " ",
    "TPageControl",
    "TTabControl",
    "TToolBar",
    "TStatusBar",
    "TSpeedButton",
    "TScrollBox",
    "TUpDown",
    "TScrollBar",
    "TStaticText",
    " ",
    "TTrackBar"};

// The packed data of a stored skin, by its name (empty when there are none).
using StoredSkinDataSource = std::function<std::string_view(std::string_view Name)>;

// Reads the stored definition into a new manager, as the main window's definition is read: the properties in
// their stored order (the skin is loaded when its name is read), then Loaded, which applies the skin. Each
// stored skin's Data is taken from Data when given.
void ReadProgramSkinManager(TsSkinManager& Manager, const StoredSkinDataSource& Data = {});

}  // namespace skin
