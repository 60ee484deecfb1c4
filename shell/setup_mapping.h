// The exchange between an option record and what the settings dialog shows: one table row
// per control or grid item with the option field it shows, and the conversions both ways.
// No Qt.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/option.h"
#include "shell/setup_dialog_port.h"
#include "windows/settings/settings_values.h"

namespace yomira {

// The controls that follow a check box, in the order they are updated.
inline constexpr std::array<const char*, 12> kSetupDependentControls = {
    "ComboBoxBackColor",  "LabelBackColor",  "StaticTextImagePath", "CheckBoxRubyOutline",
    "ComboBoxRubyColor",  "LabelRubyColor",  "CheckBoxUseToRuby",   "ComboBoxPaperColor",
    "LabelPaperColor",    "ComboBoxShadowColor", "LabelShadow",     "StaticTextSoundPath"};

// What the dialog shows for record, with styleName in the style box. Each colour combo shows
// its colour's RGB in list notation, selects the first entry of list equal to it, and a
// colour not listed is appended to list under its combo's name (kSetupColourNames). Path
// captions are left empty: they are measured in the dialog's font (FillPathCaptions).
SetupValues ShowValues(const TYomiraOption& record, const std::string& styleName, FavoriteColorList& list);

// Makes sure the colour shown in combo (0..4) is listed: nothing when the combo has a
// selection; else appends colour's list notation under name, then selects in each combo the
// entry equal to the list notation of shownColours (the colours of the record being shown).
void AddFavoriteColor(FavoriteColorList& list, SetupValues& values, int combo, uint32_t colour,
                      const std::string& name, const std::array<uint32_t, 5>& shownColours);

// The list notation a colour is shown in: its RGB, so a system colour shows what it draws.
std::string ShownColourText(uint32_t colour);

// Sets both path labels' captions for their file names; labelWidths in kSetupPathLabels
// order, widthFn measuring the labels' font.
void FillPathCaptions(SetupValues& values, const std::array<int, 2>& labelWidths,
                      const std::function<int(const std::string&)>& widthFn);

// ShowValues over the port's colour lists (told when they grew), with the path captions
// measured in the port's font. The values are not handed to the port.
SetupValues ShowValuesInPort(const TYomiraOption& record, const std::string& styleName, SetupDialogPort& port);

// Reads values into record as Apply does; shown is what the last fill showed (colours whose
// text is untouched read back the value shown). Returns the messages to show: one per text
// that cp932 cannot hold (that field keeps its value). record is not validated here.
std::vector<std::string> ReadValues(const SetupValues& values, const SetupValues& shown, TYomiraOption& record);

// The enabled state of each of kSetupDependentControls for these check boxes.
std::vector<std::pair<std::string, bool>> DependentStates(const SetupValues& values);

}  // namespace yomira
