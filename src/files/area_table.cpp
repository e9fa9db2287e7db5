#include "files/area_table.h"

#include <png.h>

#include <algorithm>
#include <charconv>
#include <csetjmp>
#include <cstring>

namespace vqled {

namespace {

constexpr int kCellMax = 255;
constexpr const char* kBlockMagic = "vqled-block 1";

struct TimeSuffix {
  const char* text;
  int32_t type;
};
// Longest first, so "min" and "ms" are not read as "s".
constexpr TimeSuffix kTimeSuffixes[] = {
    {"min", FRAME_TIME_MIN}, {"ms", FRAME_TIME_MS}, {"s", FRAME_TIME_S}};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

bool ReadInt(std::string_view text, int32_t& value) {
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && at == end && !text.empty();
}

// The lines of text without their ends; a last empty line (after the final
// line end) is no line.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    lines.push_back(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string_view> Fields(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t end = line.find(separator);
    fields.push_back(line.substr(0, end));
    if (end == std::string_view::npos) return fields;
    line.remove_prefix(end + 1);
  }
}

std::string Quoted(std::string_view text) {
  constexpr size_t kShown = 20;
  return "\"" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "...\"" : "\"");
}

Outcome BadCell(int row, int column, std::string_view text) {
  return Outcome::Fail({"第 " + std::to_string(row) + " 行第 " + std::to_string(column) + " 列的 " +
                            Quoted(text) + " 不是 0..255 的数，未做任何改动",
                        "row " + std::to_string(row) + ", column " + std::to_string(column) + ": " +
                            Quoted(text) + " is no number 0..255; nothing was changed"});
}

Outcome BadTime(int row, int column, std::string_view text) {
  return Outcome::Fail({"第 " + std::to_string(row) + " 行第 " + std::to_string(column) + " 列的 " +
                            Quoted(text) + " 不是帧时间（如 d1、250ms、2s、1min）",
                        "row " + std::to_string(row) + ", column " + std::to_string(column) + ": " +
                            Quoted(text) + " is no frame time (such as d1, 250ms, 2s, 1min)"});
}

Outcome Ragged(int row, int found, int expected) {
  return Outcome::Fail({"第 " + std::to_string(row) + " 行有 " + std::to_string(found) +
                            " 列，应为 " + std::to_string(expected) + " 列，未做任何改动",
                        "row " + std::to_string(row) + " has " + std::to_string(found) +
                            " columns where " + std::to_string(expected) +
                            " were expected; nothing was changed"});
}

Outcome TooLarge(int rows, int columns) {
  return Outcome::Fail(
      {"表格 " + std::to_string(rows) + " 行 × " + std::to_string(columns) + " 列，超出一个分区（" +
           std::to_string(kRowsPerArea) + " 行 × " + std::to_string(kColumnsPerArea) + " 列）",
       "the table of " + std::to_string(rows) + " rows x " + std::to_string(columns) +
           " columns is larger than an area (" + std::to_string(kRowsPerArea) + " x " +
           std::to_string(kColumnsPerArea) + ")"});
}

Outcome Empty() {
  return Outcome::Fail({"表格是空的", "the table is empty"});
}

// A cell's text: blank reads as 0 (a spreadsheet's empty cell).
bool ReadCell(std::string_view text, int32_t& value) {
  text = Trim(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = Trim(text.substr(1, text.size() - 2));
  }
  if (text.empty()) {
    value = 0;
    return true;
  }
  return ReadInt(text, value) && value >= 0 && value <= kCellMax;
}

// Rows of separated cells from lines; rowBase is the text row of lines[0]
// (1-based) for the messages.
Outcome ReadCellRows(const std::vector<std::string_view>& lines, size_t first, char separator,
                     int rowBase, AreaTable& table) {
  table.rows = static_cast<int>(lines.size() - first);
  table.cells.clear();
  for (size_t i = first; i < lines.size(); ++i) {
    const int row = rowBase + static_cast<int>(i - first);
    const std::vector<std::string_view> fields = Fields(lines[i], separator);
    if (static_cast<int>(fields.size()) != table.columns) {
      return Ragged(row, static_cast<int>(fields.size()), table.columns);
    }
    for (size_t c = 0; c < fields.size(); ++c) {
      int32_t value = 0;
      if (!ReadCell(fields[c], value)) return BadCell(row, static_cast<int>(c) + 1, fields[c]);
      table.cells.push_back(value);
    }
  }
  return Outcome::Ok();
}

Outcome CheckSize(int rows, int columns) {
  if (rows <= 0 || columns <= 0) return Empty();
  if (rows > kRowsPerArea || columns > kColumnsPerArea) return TooLarge(rows, columns);
  return Outcome::Ok();
}

Outcome ReadTimes(const std::vector<std::string_view>& fields, int row, AreaTable& table) {
  table.times.resize(fields.size());
  for (size_t c = 0; c < fields.size(); ++c) {
    std::string_view text = Trim(fields[c]);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
      text = text.substr(1, text.size() - 2);
    }
    if (!ParseTableTime(text, table.times[c])) {
      return BadTime(row, static_cast<int>(c) + 1, fields[c]);
    }
  }
  return Outcome::Ok();
}

void AppendRows(const AreaTable& table, char separator, std::string& out) {
  for (int r = 0; r < table.rows; ++r) {
    for (int c = 0; c < table.columns; ++c) {
      if (c > 0) out += separator;
      out += std::to_string(table.At(r, c));
    }
    out += '\n';
  }
}

void AppendTimes(const AreaTable& table, char separator, std::string& out) {
  for (size_t c = 0; c < table.times.size(); ++c) {
    if (c > 0) out += separator;
    out += FormatTableTime(table.times[c]);
  }
  out += '\n';
}

bool IsDefaultTime(const PatternStore& store, int area, int column) {
  return store.frameTime[area].timeValue[column] == 1 &&
         store.frameTime[area].timeType[column] == FRAME_TIME_DEFAULT;
}

// --- PNG -------------------------------------------------------------------

void AppendPngBytes(png_structp png, png_bytep bytes, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), bytes, bytes + length);
}

void FlushNothing(png_structp) {}

void KeepPngError(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t at;
};

void ReadPngBytes(png_structp png, png_bytep bytes, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->size - source->at) png_error(png, "the file ends early");
  std::memcpy(bytes, source->data + source->at, length);
  source->at += length;
}

Outcome PngFailure(const std::string& reason) {
  return Outcome::Fail(
      {"PNG 图片无法读取：" + reason, "the PNG picture cannot be read: " + reason});
}

// The frame-time chunk among the picture's text chunks, if any.
const png_text* FindTimesChunk(png_structp png, png_infop info) {
  png_textp texts = nullptr;
  int count = 0;
  png_get_text(png, info, &texts, &count);
  for (int i = 0; i < count; ++i) {
    if (std::strcmp(texts[i].key, kPngTimesKeyword) == 0) return &texts[i];
  }
  return nullptr;
}

// Grey pixels of 8 bits whatever the picture's own form: palette, low bit
// depths and 16 bits expand or shrink to 8, colour becomes grey, alpha goes.
void RequestGreyBytes(png_structp png, png_infop info) {
  const int colour = png_get_color_type(png, info);
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) {
    png_set_expand_gray_1_2_4_to_8(png);
  }
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  if ((colour & PNG_COLOR_MASK_COLOR) != 0 || colour == PNG_COLOR_TYPE_PALETTE) {
    png_set_rgb_to_gray_fixed(png, 1, -1, -1);
  }
  png_read_update_info(png, info);
}

}  // namespace

std::string FormatTableTime(const TableTime& time) {
  const std::string value = std::to_string(time.timeValue);
  if (time.timeType == FRAME_TIME_DEFAULT) return "d" + value;
  for (const TimeSuffix& suffix : kTimeSuffixes) {
    if (suffix.type == time.timeType) return value + suffix.text;
  }
  return value + ":" + std::to_string(time.timeType);
}

bool ParseTableTime(std::string_view text, TableTime& time) {
  if (!text.empty() && text.front() == 'd') {
    time.timeType = FRAME_TIME_DEFAULT;
    return ReadInt(text.substr(1), time.timeValue);
  }
  if (const size_t colon = text.find(':'); colon != std::string_view::npos) {
    return ReadInt(text.substr(0, colon), time.timeValue) &&
           ReadInt(text.substr(colon + 1), time.timeType);
  }
  for (const TimeSuffix& suffix : kTimeSuffixes) {
    if (text.ends_with(suffix.text)) {
      time.timeType = suffix.type;
      return ReadInt(text.substr(0, text.size() - std::strlen(suffix.text)), time.timeValue);
    }
  }
  return false;
}

std::string WriteTabText(const AreaTable& table) {
  std::string out;
  AppendRows(table, '\t', out);
  return out;
}

TableParse ParseTabText(std::string_view text) {
  TableParse parse;
  const std::vector<std::string_view> lines = Lines(text);
  if (lines.empty()) {
    parse.outcome = Empty();
    return parse;
  }
  parse.table.columns = static_cast<int>(Fields(lines[0], '\t').size());
  parse.outcome = CheckSize(static_cast<int>(lines.size()), parse.table.columns);
  if (parse.outcome.ok) parse.outcome = ReadCellRows(lines, 0, '\t', 1, parse.table);
  return parse;
}

std::string WriteBlockText(const AreaTable& table) {
  std::string out = std::string(kBlockMagic) + "\n" + std::to_string(table.rows) + " " +
                    std::to_string(table.columns) + "\n";
  AppendTimes(table, ' ', out);
  AppendRows(table, ' ', out);
  return out;
}

TableParse ParseBlockText(std::string_view text) {
  TableParse parse;
  const std::vector<std::string_view> lines = Lines(text);
  const auto refuse = [&parse](Text why) {
    parse.outcome = Outcome::Fail(std::move(why));
    return parse;
  };
  if (lines.size() < 3 || lines[0] != kBlockMagic) {
    return refuse({"剪贴板内容不是本程序的块", "the clipboard holds no block of this editor"});
  }
  const std::vector<std::string_view> size = Fields(lines[1], ' ');
  AreaTable& table = parse.table;
  if (size.size() != 2 || !ReadInt(size[0], table.rows) || !ReadInt(size[1], table.columns)) {
    return refuse({"块的第 2 行不是大小", "line 2 of the block is no size"});
  }
  if (Outcome sized = CheckSize(table.rows, table.columns); !sized.ok) return refuse(sized.message);
  if (static_cast<size_t>(table.rows) != lines.size() - 3) {
    return refuse({"块应有 " + std::to_string(table.rows) + " 行",
                   "the block should have " + std::to_string(table.rows) + " rows"});
  }
  const std::vector<std::string_view> times = Fields(lines[2], ' ');
  if (static_cast<int>(times.size()) != table.columns) {
    parse.outcome = Ragged(3, static_cast<int>(times.size()), table.columns);
    return parse;
  }
  parse.outcome = ReadTimes(times, 3, table);
  if (parse.outcome.ok) parse.outcome = ReadCellRows(lines, 3, ' ', 4, table);
  return parse;
}

std::string WriteCsv(const AreaTable& table) {
  std::string out;
  AppendTimes(table, ',', out);
  AppendRows(table, ',', out);
  return out;
}

TableParse ParseCsv(std::string_view text) {
  TableParse parse;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a spreadsheet's UTF-8 mark
  const std::vector<std::string_view> lines = Lines(text);
  if (lines.size() < 2) {
    parse.outcome = Outcome::Fail({"CSV 至少要有一行帧时间和一行通道",
                                   "the CSV needs a row of frame times and a channel row"});
    return parse;
  }
  const std::vector<std::string_view> header = Fields(lines[0], ',');
  parse.table.columns = static_cast<int>(header.size());
  parse.outcome = CheckSize(static_cast<int>(lines.size()) - 1, parse.table.columns);
  if (parse.outcome.ok) parse.outcome = ReadTimes(header, 1, parse.table);
  if (parse.outcome.ok) parse.outcome = ReadCellRows(lines, 1, ',', 2, parse.table);
  return parse;
}

Outcome WritePng(const AreaTable& table, std::vector<uint8_t>& png) {
  for (int r = 0; r < table.rows; ++r) {
    for (int c = 0; c < table.columns; ++c) {
      const int32_t value = table.At(r, c);
      if (value < 0 || value > kCellMax) {
        return Outcome::Fail({"通道 " + std::to_string(r + 1) + " 第 " + std::to_string(c + 1) +
                                  " 帧的值 " + std::to_string(value) + " 超出 0..255",
                              "channel " + std::to_string(r + 1) + ", frame " +
                                  std::to_string(c + 1) + " holds " + std::to_string(value) +
                                  ", outside 0..255"});
      }
    }
  }
  std::string times;
  AppendTimes(table, ',', times);
  times.pop_back();
  std::vector<uint8_t> row(static_cast<size_t>(table.columns));
  png.clear();
  std::string reason;
  png_structp write =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &reason, KeepPngError, IgnorePngWarning);
  png_infop info = write != nullptr ? png_create_info_struct(write) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&write, nullptr);
    return PngFailure("out of memory");
  }
  if (setjmp(png_jmpbuf(write))) {
    png_destroy_write_struct(&write, &info);
    return PngFailure(reason);
  }
  png_set_write_fn(write, &png, AppendPngBytes, FlushNothing);
  png_set_IHDR(write, info, static_cast<png_uint_32>(table.columns),
               static_cast<png_uint_32>(table.rows), 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_text text{};
  text.compression = PNG_TEXT_COMPRESSION_zTXt;
  text.key = const_cast<char*>(kPngTimesKeyword);
  text.text = times.data();
  text.text_length = times.size();
  png_set_text(write, info, &text, 1);
  png_write_info(write, info);
  for (int r = 0; r < table.rows; ++r) {
    for (int c = 0; c < table.columns; ++c) row[c] = static_cast<uint8_t>(table.At(r, c));
    png_write_row(write, row.data());
  }
  png_write_end(write, info);
  png_destroy_write_struct(&write, &info);
  return Outcome::Ok();
}

TableParse ParsePng(const uint8_t* data, size_t size) {
  TableParse parse;
  AreaTable& table = parse.table;
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
    parse.outcome = PngFailure("it does not start with the PNG signature");
    return parse;
  }
  PngSource source{data, size, 0};
  std::string reason;
  std::vector<uint8_t> pixels;
  std::string timesText;
  std::vector<png_bytep> rows;
  png_structp read =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &reason, KeepPngError, IgnorePngWarning);
  png_infop info = read != nullptr ? png_create_info_struct(read) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&read, nullptr, nullptr);
    parse.outcome = PngFailure("out of memory");
    return parse;
  }
  if (setjmp(png_jmpbuf(read))) {
    png_destroy_read_struct(&read, &info, nullptr);
    parse.outcome = PngFailure(reason);
    return parse;
  }
  png_set_read_fn(read, &source, ReadPngBytes);
  png_set_user_limits(read, kColumnsPerArea, kRowsPerArea);
  png_read_info(read, info);
  table.columns = static_cast<int>(png_get_image_width(read, info));
  table.rows = static_cast<int>(png_get_image_height(read, info));
  if (png_get_interlace_type(read, info) != PNG_INTERLACE_NONE) png_set_interlace_handling(read);
  RequestGreyBytes(read, info);
  pixels.resize(static_cast<size_t>(table.rows) * table.columns);
  rows.resize(static_cast<size_t>(table.rows));
  for (int r = 0; r < table.rows; ++r)
    rows[r] = pixels.data() + static_cast<size_t>(r) * table.columns;
  png_read_image(read, rows.data());
  png_read_end(read, info);
  const png_text* chunk = FindTimesChunk(read, info);
  const bool hasTimes = chunk != nullptr;
  if (hasTimes) timesText.assign(chunk->text, chunk->text_length);
  png_destroy_read_struct(&read, &info, nullptr);

  if (!hasTimes) {
    parse.outcome = PngFailure(std::string("it has no \"") + kPngTimesKeyword + "\" text chunk");
    return parse;
  }
  const std::vector<std::string_view> fields = Fields(timesText, ',');
  if (static_cast<int>(fields.size()) != table.columns) {
    parse.outcome = PngFailure("its frame-time chunk names " + std::to_string(fields.size()) +
                               " frames for " + std::to_string(table.columns) + " pixel columns");
    return parse;
  }
  parse.outcome = ReadTimes(fields, 1, table);
  table.cells.assign(pixels.begin(), pixels.end());
  return parse;
}

TableLimits ModelTableLimits(const PatternStore& store) {
  return {std::clamp(store.gridRowCount - kHeaderRows, 0, kMaxChannels),
          std::clamp(store.gridColumnCount - kFirstFrameColumn, 0,
                     kColumnsPerArea - kFirstFrameColumn)};
}

AreaTable AreaToTable(const PatternStore& store, int area, int channels, int frames) {
  channels = std::clamp(channels, 1, kMaxChannels);
  frames = std::clamp(frames, 1, kColumnsPerArea - kFirstFrameColumn);
  int lastFrame = 1;
  for (int f = frames; f > 1 && lastFrame == 1; --f) {
    const int column = f + kFirstFrameColumn - 1;
    bool used = !IsDefaultTime(store, area, column);
    for (int ch = 1; ch <= channels && !used; ++ch) {
      used = store.Cell(area, ch + kHeaderRows - 1, column) != 0;
    }
    if (used) lastFrame = f;
  }
  AreaTable table;
  table.rows = channels;
  table.columns = lastFrame;
  table.cells.resize(static_cast<size_t>(channels) * lastFrame);
  for (int r = 0; r < channels; ++r) {
    const int32_t* row = store.Row(area, r + kHeaderRows);
    std::copy_n(row + kFirstFrameColumn, lastFrame, table.cells.begin() + r * lastFrame);
  }
  for (int f = 0; f < lastFrame; ++f) {
    table.times.push_back({store.frameTime[area].timeValue[f + kFirstFrameColumn],
                           store.frameTime[area].timeType[f + kFirstFrameColumn]});
  }
  return table;
}

Outcome CheckTableFitsModel(const AreaTable& table, int channels, int frames) {
  if (static_cast<int>(table.times.size()) != table.columns) {
    return Outcome::Fail({"表格没有帧时间", "the table has no frame times"});
  }
  if (table.rows <= channels && table.columns <= frames) return Outcome::Ok();
  return Outcome::Fail(
      {"表格有 " + std::to_string(table.rows) + " 个通道、" + std::to_string(table.columns) +
           " 帧，此型号只有 " + std::to_string(channels) + " 个通道、" + std::to_string(frames) +
           " 帧，未做任何改动",
       "the table has " + std::to_string(table.rows) + " channels and " +
           std::to_string(table.columns) + " frames; this model has " + std::to_string(channels) +
           " channels and " + std::to_string(frames) + " frames; nothing was changed"});
}

void ApplyAreaTable(PatternStore& store, int area, const AreaTable& table, int channels,
                    int frames) {
  channels = std::clamp(channels, 0, kMaxChannels);
  frames = std::clamp(frames, 0, kColumnsPerArea - kFirstFrameColumn);
  for (int r = 0; r < channels; ++r) {
    int32_t* row = store.Row(area, r + kHeaderRows) + kFirstFrameColumn;
    for (int f = 0; f < frames; ++f) {
      row[f] = r < table.rows && f < table.columns ? table.At(r, f) : 0;
    }
  }
  FrameTimes& times = store.frameTime[area];
  for (int f = 0; f < frames; ++f) {
    const bool given = f < table.columns && f < static_cast<int>(table.times.size());
    const TableTime time = given ? table.times[f] : TableTime{};
    times.timeValue[f + kFirstFrameColumn] = time.timeValue;
    times.timeType[f + kFirstFrameColumn] = time.timeType;
  }
}

void PasteAreaTable(PatternStore& store, int area, int row, int column, const AreaTable& table) {
  const int rows = std::min(table.rows, kRowsPerArea - std::max(row, 0));
  const int columns = std::min(table.columns, kColumnsPerArea - std::max(column, 0));
  if (row < 0 || column < 0) return;
  for (int r = 0; r < rows; ++r) {
    std::copy_n(table.cells.begin() + static_cast<size_t>(r) * table.columns, columns,
                store.Row(area, row + r) + column);
  }
  if (static_cast<int>(table.times.size()) != table.columns) return;
  for (int c = std::max(0, kFirstFrameColumn - column); c < columns; ++c) {
    store.frameTime[area].timeValue[column + c] = table.times[c].timeValue;
    store.frameTime[area].timeType[column + c] = table.times[c].timeType;
  }
}

}  // namespace vqled
