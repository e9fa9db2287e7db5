// TForm2: the current area as a CSV or PNG table file and back. An import
// reads the whole file, checks it against the model's channels and frames and
// only then replaces the area; a refused file changes nothing.
#include "table_files.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "Mianc.h"
#include "application.h"
#include "files/area_table.h"
#include "files/file_io.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

constexpr const char* kCsvFilter = "All files (*.*)|*.*|CSV files (*.csv)|*.csv";
constexpr const char* kPngFilter = "All files (*.*)|*.*|PNG pictures (*.png)|*.png";

const Text kExportTable{"导出当前区表格", "Exporting the current area as a table"};
const Text kImportTable{"导入表格到当前区", "Importing a table into the current area"};

QAction* AddItem(QMenu* menu, const char* name) {
  QAction* item = menu->addAction(QString::fromLatin1(name));
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

// The message of a failure with the file it concerns.
Outcome InFile(const std::string& path, const Outcome& outcome) {
  if (outcome.ok) return outcome;
  return Outcome::Fail({path + "：" + outcome.message.zh, path + ": " + outcome.message.en});
}

Outcome WriteFileBytes(const std::string& path, const void* data, size_t size) {
  SafeFileWriter file(path);
  Outcome written = file.Open();
  if (written.ok) {
    file.Write(data, size);
    written = file.Commit();
  }
  return written;
}

}  // namespace

TableFileControls CreateTableFileControls(QWidget* form, QPushButton* exportButton) {
  TableFileControls controls{};
  controls.button = new QPushButton(QStringLiteral("CSV/PNG"), form);
  controls.button->setObjectName(QStringLiteral("TableBtn"));
  // Two rows above the export button (PreviewWindowBtn is on the row between),
  // in the gap above the area band: the band has no room left beside the
  // export button once a model's area tabs fill it.
  const QRect beside(exportButton->mapTo(form, QPoint(0, 0)), exportButton->size());
  controls.button->setGeometry(beside.translated(0, -2 * (beside.height() + 2)));
  auto* menu = new QMenu(form);
  menu->setObjectName(QStringLiteral("TableMenu"));
  controls.csvOut = AddItem(menu, "TableCsvOut");
  controls.csvIn = AddItem(menu, "TableCsvIn");
  controls.pngOut = AddItem(menu, "TablePngOut");
  controls.pngIn = AddItem(menu, "TablePngIn");
  controls.button->setMenu(menu);
  controls.button->show();
  return controls;
}

void TForm2::ConnectTableFiles() {
  const TableFileControls controls = CreateTableFileControls(this, ui_->BitBtn17);
  const std::pair<QAction*, void (TForm2::*)()> items[] = {
      {controls.csvOut, &TForm2::TableCsvOutClick},
      {controls.csvIn, &TForm2::TableCsvInClick},
      {controls.pngOut, &TForm2::TablePngOutClick},
      {controls.pngIn, &TForm2::TablePngInClick}};
  for (const auto& [item, handler] : items) {
    connect(item, &QAction::triggered, this,
            [this, handler] { RunHandler([&] { (this->*handler)(); }); });
  }
}

void TForm2::ExportTable(bool png) {
  if (RefuseWhileSending(kExportTable)) return;
  const std::string path = png ? ChooseFile(true, ".led", kPngFilter, ".png", QString())
                               : ChooseFile(true, ".led", kCsvFilter, ".csv", QString());
  if (path.empty()) return;
  const PatternStore& store = document_.store();
  const TableLimits limits = ModelTableLimits(store);
  const AreaTable table = AreaToTable(store, store.currentArea, limits.channels, limits.frames);
  if (!png) {
    const std::string csv = WriteCsv(table);
    Report(WriteFileBytes(path, csv.data(), csv.size()));
    return;
  }
  std::vector<uint8_t> bytes;
  const Outcome encoded = WritePng(table, bytes);
  Report(encoded.ok ? WriteFileBytes(path, bytes.data(), bytes.size()) : InFile(path, encoded));
}

void TForm2::ImportTable(bool png) {
  if (RefuseWhileSending(kImportTable)) return;
  const std::string path = png ? ChooseFile(false, ".led", kPngFilter, nullptr, QString())
                               : ChooseFile(false, ".led", kCsvFilter, nullptr, QString());
  if (path.empty()) return;
  std::vector<uint8_t> bytes;
  if (const Outcome read = ReadWholeFile(path, bytes); !read.ok) {
    Report(read);
    return;
  }
  const TableParse parse =
      png ? ParsePng(bytes.data(), bytes.size())
          : ParseCsv(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  PatternStore& store = document_.store();
  const TableLimits limits = ModelTableLimits(store);
  const Outcome fits = parse.outcome.ok
                           ? CheckTableFitsModel(parse.table, limits.channels, limits.frames)
                           : parse.outcome;
  if (!fits.ok) {
    Report(InFile(path, fits));
    return;
  }
  {
    StepGuard step(document_, STEP_IMPORT_TABLE);
    ApplyAreaTable(store, store.currentArea, parse.table, limits.channels, limits.frames);
  }
  StringGrid1->invalidate();
}

void TForm2::TableCsvOutClick() {
  ExportTable(false);
}
void TForm2::TableCsvInClick() {
  ImportTable(false);
}
void TForm2::TablePngOutClick() {
  ExportTable(true);
}
void TForm2::TablePngInClick() {
  ImportTable(true);
}

}  // namespace vqled
