// The window's named controls as data: every control whose name the
// control-state table, the caption table or the Config.ini key table uses,
// and every control the window hands to a handler, with what it does and the
// handler that serves it. The tables check their names against this list
// when they compile; the window resolves each name to its widget once.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

namespace vqled {

enum ControlKind : int8_t {
  CONTROL_WINDOW,     // the main window itself (its title)
  CONTROL_WIDGET,     // a widget of the form, found by its object name
  CONTROL_MENU_ITEM,  // an item of the popup menu RightMenu or its submenu
  CONTROL_TIMER,      // a timer of the window
  CONTROL_VARIABLE    // a value of the window that no widget shows
};

struct ControlEntry {
  const char* name;  // the control's form name, its object name in the window
  ControlKind kind;
  const char* purpose;  // what the control does
  const char* handler;  // the window's handler, "" where it has none
};

// clang-format off
inline constexpr ControlEntry kControls[] = {
    {"Form2", CONTROL_WINDOW, "the main window; its title names the program and version", ""},
    {"RightMenu", CONTROL_WIDGET, "the popup menu of editing commands, opened over the grid or the cell editor HYEdit", "StringGrid1MouseUp"},
    {"StringGrid1", CONTROL_WIDGET, "the pattern grid: one column per step, one row per channel", "StringGrid1MouseDown, StringGrid1MouseMove, StringGrid1MouseUp, StringGrid1TopLeftChanged"},
    {"HYEdit", CONTROL_WIDGET, "the cell editor over the grid: the value of the selected cells", "HYEditChange, HYEditEnter"},
    {"TimeComb", CONTROL_WIDGET, "the step time list over the grid's time row", "TimeCombSelect"},
    {"TimeComb2", CONTROL_WIDGET, "the step time unit list over the grid's time row", "TimeComb2Select"},
    {"GroupBox4", CONTROL_WIDGET, "the top band: port, model, controller count, language", ""},
    {"Label10", CONTROL_WIDGET, "caption of the port list refresh", ""},
    {"BitBtn2", CONTROL_WIDGET, "lists the serial ports again", "ListPorts"},
    {"ComboBox5", CONTROL_WIDGET, "the serial port of the controller; follows adapters plugged in and pulled out", ""},
    {"BitBtnFind", CONTROL_WIDGET, "finds the serial ports a controller answers on and selects the first", "BitBtnFindClick"},
    {"Label91", CONTROL_WIDGET, "caption of the model list", ""},
    {"ComboBox6", CONTROL_WIDGET, "the controller model", "ComboBox6Change"},
    {"Label2", CONTROL_WIDGET, "caption of the controller count", ""},
    {"ComboBox4", CONTROL_WIDGET, "the number of chained controllers (1..20)", "ComboBox4Change"},
    {"BitBtn12", CONTROL_WIDGET, "switches the captions to Simplified Chinese", "BitBtn12Click"},
    {"BitBtn11", CONTROL_WIDGET, "switches the captions to Traditional Chinese", "BitBtn11Click"},
    {"BitBtn13", CONTROL_WIDGET, "switches the captions to English", "BitBtn13Click"},
    {"Label13", CONTROL_WIDGET, "the status line: welcome, transfer progress and errors", ""},
    {"Label80", CONTROL_WIDGET, "caption of the area band (Traditional Chinese only)", ""},
    {"Label11", CONTROL_WIDGET, "caption of the generator settings", ""},
    {"ComboBox1", CONTROL_WIDGET, "the generators' step width", ""},
    {"ComboBox3", CONTROL_WIDGET, "the generators' direction, + or -", ""},
    {"ComboBox8", CONTROL_WIDGET, "the area's fade: none, fade out, fade in", "ComboBox8Change"},
    {"BitBtn1", CONTROL_WIDGET, "starts and stops the preview of the current area", "BitBtn1Click"},
    {"PreviewWindowBtn", CONTROL_WIDGET, "opens the preview window: every channel of the model played in real time, with its GIF", "PreviewWindowBtnClick"},
    {"BitBtn3", CONTROL_WIDGET, "clears every area", "BitBtn3Click"},
    {"BitBtn10", CONTROL_WIDGET, "clears the current area", "BitBtn10Click"},
    {"BitBtn4", CONTROL_WIDGET, "imports a pattern file of all areas", "BitBtn4Click"},
    {"BitBtn9", CONTROL_WIDGET, "imports a pattern file into the current area", "BitBtn9Click"},
    {"BitBtn6", CONTROL_WIDGET, "saves all areas to a pattern file", "BitBtn6Click"},
    {"BitBtn8", CONTROL_WIDGET, "saves the current area to a pattern file", "BitBtn8Click"},
    {"BitBtn5", CONTROL_WIDGET, "sends all areas to the controller", "BitBtn5Click"},
    {"BitBtn7", CONTROL_WIDGET, "sends the current area to the controller", "BitBtn7Click"},
    {"BitBtn15", CONTROL_WIDGET, "opens the controller settings panel", "BitBtn15Click"},
    {"BitBtn17", CONTROL_WIDGET, "writes the pattern file for a memory card", "BitBtn17Click"},
    {"TableBtn", CONTROL_WIDGET, "opens the menu of the current area's CSV and PNG files", ""},
    {"TableCsvOut", CONTROL_MENU_ITEM, "exports the current area as CSV", "TableCsvOutClick"},
    {"TableCsvIn", CONTROL_MENU_ITEM, "imports a CSV into the current area", "TableCsvInClick"},
    {"TablePngOut", CONTROL_MENU_ITEM, "exports the current area as PNG", "TablePngOutClick"},
    {"TablePngIn", CONTROL_MENU_ITEM, "imports a PNG into the current area", "TablePngInClick"},
    {"Button3", CONTROL_WIDGET, "a button every model hides", ""},
    {"Button4", CONTROL_WIDGET, "a button every model hides", ""},
    {"Label100", CONTROL_WIDGET, "a label every model hides", ""},
    {"Label101", CONTROL_WIDGET, "a label every model hides", ""},
    {"GroupBox3", CONTROL_WIDGET, "the default step times of new columns", ""},
    {"Label5", CONTROL_WIDGET, "caption of default time 1", ""},
    {"Label90", CONTROL_WIDGET, "caption of default time 2", ""},
    {"Label9", CONTROL_WIDGET, "caption of default time 3", ""},
    {"Label4", CONTROL_WIDGET, "caption of default time 4", ""},
    {"Label8", CONTROL_WIDGET, "caption of default time 5", ""},
    {"time1", CONTROL_WIDGET, "default time 1", "StoreDefaultTimes"},
    {"time2", CONTROL_WIDGET, "default time 2", "StoreDefaultTimes"},
    {"time3", CONTROL_WIDGET, "default time 3", "StoreDefaultTimes"},
    {"time4", CONTROL_WIDGET, "default time 4", "StoreDefaultTimes"},
    {"time5", CONTROL_WIDGET, "default time 5", "StoreDefaultTimes"},
    {"timeT1", CONTROL_WIDGET, "unit of default time 1", "StoreDefaultTimes"},
    {"timeT2", CONTROL_WIDGET, "unit of default time 2", "StoreDefaultTimes"},
    {"timeT3", CONTROL_WIDGET, "unit of default time 3", "StoreDefaultTimes"},
    {"timeT4", CONTROL_WIDGET, "unit of default time 4", "StoreDefaultTimes"},
    {"timeT5", CONTROL_WIDGET, "unit of default time 5", "StoreDefaultTimes"},
    {"GroupBox5", CONTROL_WIDGET, "the area band: the area tabs and how the area plays", ""},
    {"TabControl1", CONTROL_WIDGET, "the area tabs; the chosen tab is the current area", "ShowArea"},
    {"RadioButton1", CONTROL_WIDGET, "the area plays once", "StoreLoopMode"},
    {"RadioButton2", CONTROL_WIDGET, "the area plays the number of times in Edit6", "StoreLoopMode"},
    {"Edit6", CONTROL_WIDGET, "how many times the area plays", "Edit6Change"},
    {"RadioButton3", CONTROL_WIDGET, "the area plays without end", "StoreLoopMode"},
    {"RadioButton4", CONTROL_WIDGET, "the next area plays when this one ends", "StoreLoopMode"},
    {"CheckBox2", CONTROL_WIDGET, "the area is enabled", "CheckBox2Click"},
    {"CheckBox3", CONTROL_WIDGET, "all lamps go dark when the area ends", "CheckBox3Click"},
    {"CheckBox6", CONTROL_WIDGET, "the next area plays when all controllers end", "CheckBox6Click"},
    {"Label113", CONTROL_WIDGET, "caption of the end list", ""},
    {"ComboBox13", CONTROL_WIDGET, "what the area does when it ends: next area, hold the last step, all dark", "ComboBox13Change"},
    {"GroupBox7", CONTROL_WIDGET, "the controller type panel (VQ-M13)", ""},
    {"RadioButton5", CONTROL_WIDGET, "controller type: vehicle lamp controller", ""},
    {"RadioButton6", CONTROL_WIDGET, "controller type: ordinary controller", ""},
    {"BitBtn16", CONTROL_WIDGET, "sends the controller type", "BitBtn16Click"},
    {"CheckBox7", CONTROL_WIDGET, "shows the debug panel and its clock", "CheckBox7Click"},
    {"GroupBox1", CONTROL_WIDGET, "the debug panel: log, clock and date commands", ""},
    {"BitBtn18", CONTROL_WIDGET, "sets the controller's clock to the computer's", "BitBtn18Click"},
    {"BitBtn19", CONTROL_WIDGET, "sends the countdown end date", "BitBtn19Click"},
    {"GroupBox6", CONTROL_WIDGET, "the lamp group settings panel", ""},
    {"ComBoxLEDN1", CONTROL_WIDGET, "lamp group 1 setting", ""},
    {"ComBoxLEDN2", CONTROL_WIDGET, "lamp group 2 setting", ""},
    {"ComBoxLEDN3", CONTROL_WIDGET, "lamp group 3 setting", ""},
    {"ComBoxLEDN4", CONTROL_WIDGET, "lamp group 4 setting", ""},
    {"ComBoxLEDN5", CONTROL_WIDGET, "lamp group 5 setting", ""},
    {"ComBoxLEDN6", CONTROL_WIDGET, "lamp group 6 setting", ""},
    {"GroupBox10", CONTROL_WIDGET, "the controller settings panel: triggers, music, volume", ""},
    {"ComBoxA1", CONTROL_WIDGET, "trigger 1: condition", "ComBoxAChange"},
    {"ComBoxA2", CONTROL_WIDGET, "trigger 2: condition", "ComBoxAChange"},
    {"ComBoxA3", CONTROL_WIDGET, "trigger 3: condition", "ComBoxAChange"},
    {"ComBoxA4", CONTROL_WIDGET, "trigger 4: condition", "ComBoxAChange"},
    {"ComBoxA5", CONTROL_WIDGET, "trigger 5: condition", "ComBoxAChange"},
    {"ComBoxA6", CONTROL_WIDGET, "trigger 6: condition", "ComBoxAChange"},
    {"ComBoxB1", CONTROL_WIDGET, "trigger 1: second setting", ""},
    {"ComBoxB2", CONTROL_WIDGET, "trigger 2: second setting", ""},
    {"ComBoxB3", CONTROL_WIDGET, "trigger 3: second setting", ""},
    {"ComBoxB4", CONTROL_WIDGET, "trigger 4: second setting", ""},
    {"ComBoxB5", CONTROL_WIDGET, "trigger 5: second setting", ""},
    {"ComBoxB6", CONTROL_WIDGET, "trigger 6: second setting", ""},
    {"ComBoxC1", CONTROL_WIDGET, "trigger 1: third setting", ""},
    {"ComBoxC2", CONTROL_WIDGET, "trigger 2: third setting", ""},
    {"ComBoxC3", CONTROL_WIDGET, "trigger 3: third setting", ""},
    {"ComBoxC4", CONTROL_WIDGET, "trigger 4: third setting", ""},
    {"ComBoxC5", CONTROL_WIDGET, "trigger 5: third setting", ""},
    {"ComBoxC6", CONTROL_WIDGET, "trigger 6: third setting", ""},
    {"ComBoxD1", CONTROL_WIDGET, "trigger 1: fourth setting", ""},
    {"ComBoxD2", CONTROL_WIDGET, "trigger 2: fourth setting", ""},
    {"ComBoxD3", CONTROL_WIDGET, "trigger 3: fourth setting", ""},
    {"ComBoxD4", CONTROL_WIDGET, "trigger 4: fourth setting", ""},
    {"ComBoxD5", CONTROL_WIDGET, "trigger 5: fourth setting", ""},
    {"ComBoxD6", CONTROL_WIDGET, "trigger 6: fourth setting", ""},
    {"ComBoxE1", CONTROL_WIDGET, "trigger 1: fifth setting", ""},
    {"ComBoxE2", CONTROL_WIDGET, "trigger 2: fifth setting", ""},
    {"ComBoxE3", CONTROL_WIDGET, "trigger 3: fifth setting", ""},
    {"ComBoxE4", CONTROL_WIDGET, "trigger 4: fifth setting", ""},
    {"ComBoxE5", CONTROL_WIDGET, "trigger 5: fifth setting", ""},
    {"ComBoxE6", CONTROL_WIDGET, "trigger 6: fifth setting", ""},
    {"ComboBoxAA", CONTROL_WIDGET, "the trigger start/stop and power-on action", ""},
    {"ComboBoxAB", CONTROL_WIDGET, "the music played at power-on", ""},
    {"ComboBoxAC", CONTROL_WIDGET, "the music volume", ""},
    {"ComboBox14", CONTROL_WIDGET, "the music loop: single track or with the areas", ""},
    {"Button5", CONTROL_WIDGET, "sends the controller settings", "Button5Click"},
    {"Button6", CONTROL_WIDGET, "closes the controller settings panel", ""},
    {"Button11", CONTROL_WIDGET, "turns every trigger off", "Button11Click"},
    {"GroupBox8", CONTROL_WIDGET, "the flow dialog of the template menu", ""},
    {"Edit1", CONTROL_WIDGET, "the flow dialog's value", "FeedValueBox"},
    {"Button7", CONTROL_WIDGET, "runs the flow dialog", "Button7Click"},
    {"Button10", CONTROL_WIDGET, "closes the flow dialog", ""},
    {"GroupBox9", CONTROL_WIDGET, "the stacked flow dialog of the template menu", ""},
    {"Edit11", CONTROL_WIDGET, "the stacked flow dialog's value", "FeedValueBox"},
    {"Button8", CONTROL_WIDGET, "runs the stacked flow dialog", "Button8Click"},
    {"Button9", CONTROL_WIDGET, "closes the stacked flow dialog", ""},
    {"N1", CONTROL_MENU_ITEM, "adds a column", "N1Click"},
    {"N2", CONTROL_MENU_ITEM, "deletes a column", "N2Click"},
    {"N3", CONTROL_MENU_ITEM, "copies the selected cells", "N3Click"},
    {"N5", CONTROL_MENU_ITEM, "pastes the copied cells", "N5Click"},
    {"N4", CONTROL_MENU_ITEM, "fills the selected cells with the value of HYEdit", "N4Click"},
    {"N6", CONTROL_MENU_ITEM, "clears the selected cells", "N6Click"},
    {"N8", CONTROL_MENU_ITEM, "generates a change along a row", "N8Click"},
    {"N7", CONTROL_MENU_ITEM, "generates a change along a column", "N7Click"},
    {"N9", CONTROL_MENU_ITEM, "copies a channel row", "N9Click"},
    {"N10", CONTROL_MENU_ITEM, "pastes a channel row", "N10Click"},
    {"Window1", CONTROL_MENU_ITEM, "the template submenu", ""},
    {"NewWindow1", CONTROL_MENU_ITEM, "opens the stacked flow dialog", "OpenStackedRunDialog"},
    {"ile1", CONTROL_MENU_ITEM, "opens the flow dialog", "OpenRunDialog"},
    {"UndoItem", CONTROL_MENU_ITEM, "undoes the last change of the pattern, named in its caption (also Ctrl+Z)", "UndoItemClick"},
    {"RedoItem", CONTROL_MENU_ITEM, "redoes the last undone change, named in its caption (also Ctrl+Shift+Z, Ctrl+Y)", "RedoItemClick"},
    {"ZoomIn1", CONTROL_MENU_ITEM, "zooms the grid's frames and channels in a step (Ctrl++)", "ZoomIn1Click"},
    {"ZoomOut1", CONTROL_MENU_ITEM, "zooms the grid's frames and channels out a step (Ctrl+-)", "ZoomOut1Click"},
    {"ZoomReset1", CONTROL_MENU_ITEM, "shows the grid at 100% (Ctrl+0)", "ZoomReset1Click"},
    {"FitArea1", CONTROL_MENU_ITEM, "zooms the grid so the area's used frames and the channels fill it", "FitArea1Click"},
    {"FitSelection1", CONTROL_MENU_ITEM, "zooms the grid so the selected cells fill it", "FitSelection1Click"},
    {"Timer1", CONTROL_TIMER, "the link's probe and send pacing", "Timer1Timer"},
    {"Timer3", CONTROL_TIMER, "steps the preview every 100 ms", "Timer3Timer"},
    {"Timer5", CONTROL_TIMER, "the link's reply watchdog", "Timer5Timer"},
    {"DataTime", CONTROL_TIMER, "refreshes the debug panel's clock every second", "DataTimeTimer"},
    {"savedLanguage", CONTROL_VARIABLE, "the language the next start switches to", "BitBtn12Click, BitBtn13Click"},
};
// clang-format on

inline constexpr int kControlCount = static_cast<int>(std::size(kControls));

// The registry index of a control, or -1 for a name it does not hold.
constexpr int ControlIndex(std::string_view name) {
  for (int i = 0; i < kControlCount; ++i) {
    if (name == kControls[i].name) return i;
  }
  return -1;
}

constexpr bool IsRegisteredControl(std::string_view name) {
  return ControlIndex(name) >= 0;
}

// Every name appears once.
constexpr bool ControlNamesUnique() {
  for (int i = 0; i < kControlCount; ++i) {
    if (ControlIndex(kControls[i].name) != i) return false;
  }
  return true;
}
static_assert(ControlNamesUnique(), "a control is registered twice");

}  // namespace vqled
