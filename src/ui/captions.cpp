#include "ui/captions.h"

#include "model/control_registry.h"

namespace vqled {

// Columns: Simplified Chinese, Traditional Chinese, English; in the order the
// switches apply them.
constexpr CaptionRow kCaptionRows[kCaptionRowCount] = {
    {"Form2",
     {"可编程LED控制器--VQ-LED_v3.47（ALL）", nullptr,
      "Rogrammable LED Controller--VQ-LED_v3.47（ALL）"}},
    {"Label11", {"变化设置", nullptr, "Change settings"}},
    {"Label10", {"串口号刷新--->", "串口號刷新", "Refresh--->"}},
    {"Label91", {"控制器型号:", "控制器型號:", "Model"}},
    {"Label2", {"控制器数", "控制器数", "Number"}},
    {"Label80", {nullptr, "分區：", nullptr}},
    {"Label5", {"时间1", "時間1", "time1"}},
    {"Label90", {"时间2", "時間2", "time2"}},
    {"Label9", {"时间3", "時間3", "time3"}},
    {"Label4", {"时间4", "時間4", "time4"}},
    {"Label8", {"时间5", "時間5", "time5"}},
    {"GroupBox3", {"默认时间设置", "默認時間設置", "Run Time Setup"}},
    {"Label13", {"欢迎使用可编程控制器", nullptr, "Welcome to use programmable logic controller"}},
    {"RadioButton1", {"单次循环", "單次循環", "One Cycle"}},
    {"RadioButton2", {"多次循环 次数：", "多次循環 次數", "Cycle number"}},
    {"RadioButton3", {"无限循环", "無限循環", "Cycle"}},
    {"RadioButton4", {"完成后跳到下一分区", "完成後跳到下壹分區", "End Next Run"}},
    {"CheckBox2", {"启用", "啟用", "Enable"}},
    {"BitBtn1", {"预览", nullptr, "preview"}},
    {"PreviewWindowBtn", {"预览窗口", "預覽窗口", "Preview window"}},
    {"BitBtn3", {"清除全部", "清除全部", "Clear all"}},
    {"BitBtn10", {"清除当前", "清除當前", "Clear current"}},
    {"BitBtn4", {"导入全区花样", "導入全區花樣", "Import All area"}},
    {"BitBtn9", {"导入单区花样", "導入單區花樣", "Import one area"}},
    {"BitBtn6", {"全部区保存", "全部區保存", "All area Save"}},
    {"BitBtn8", {"当前区保存", "當前區保存", "one area Save"}},
    {"BitBtn5", {"全区发送", "全區發送", "All Send"}},
    {"BitBtn7", {"当前区发送", "當前區發送", "one Send"}},
    {"BitBtnFind", {"查找", "查找", "Find"}},
    {"TableBtn", {"表格/图片", "表格/圖片", "CSV/PNG"}},
    {"TableCsvOut", {"当前区导出为 CSV", "當前區導出為 CSV", "Export area as CSV"}},
    {"TableCsvIn", {"从 CSV 导入当前区", "從 CSV 導入當前區", "Import CSV into area"}},
    {"TablePngOut", {"当前区导出为 PNG", "當前區導出為 PNG", "Export area as PNG"}},
    {"TablePngIn", {"从 PNG 导入当前区", "從 PNG 導入當前區", "Import PNG into area"}},
    {"N1", {"添加一列", "添加壹列", "Add a column"}},
    {"N2", {"删除一列", "刪除壹列", "Delete a column"}},
    {"N3", {"复制", "復制", "copy"}},
    {"N5", {"粘贴", "粘貼", "Paste"}},
    {"N4", {"填充选中", "填充選中", "Fill selected"}},
    {"N6", {"删除选中", "刪除選中", "Delete selected"}},
    {"N8", {"一行变化", nullptr, "Line changes"}},
    {"N7", {"一列变化", nullptr, "series changes"}},
    {"N9", {"复制一路", nullptr, "Copy the Line"}},
    {"N10", {"粘贴一路", nullptr, "Paste the Line"}},
    {"Window1", {"效果模板", nullptr, "Import template"}},
    {"NewWindow1", {"流水叠加", nullptr, "Flow superposition"}},
    {"ile1", {"流水", nullptr, "Flow"}},
    {"ZoomIn1", {"放大", "放大", "Zoom in"}},
    {"ZoomOut1", {"缩小", "縮小", "Zoom out"}},
    {"ZoomReset1", {"原始大小", "原始大小", "Actual size"}},
    {"FitArea1", {"适合区域", "適合區域", "Fit the area"}},
    {"FitSelection1", {"适合选区", "適合選區", "Fit the selection"}},
};

namespace {

constexpr bool AllRegistered() {
  for (const CaptionRow& row : kCaptionRows) {
    if (!IsRegisteredControl(row.control)) return false;
  }
  return true;
}
static_assert(AllRegistered(), "a caption names a control the registry does not hold");

}  // namespace

void SelectLanguage(LanguageMode& mode, Language language) {
  switch (language) {
    case LANGUAGE_SIMPLIFIED:
      mode.savedLanguage = 0;
      mode.textVariant = 0;
      break;
    case LANGUAGE_ENGLISH:
      mode.savedLanguage = 1;
      mode.textVariant = 1;
      break;
    case LANGUAGE_TRADITIONAL:
      mode.textVariant = 1;  // savedLanguage keeps its value
      break;
  }
}

Language StartupLanguage(int savedLanguage) {
  return savedLanguage == 0 ? LANGUAGE_SIMPLIFIED : LANGUAGE_ENGLISH;
}

}  // namespace vqled
