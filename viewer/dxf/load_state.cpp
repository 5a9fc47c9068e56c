#include <charconv>

#include "platform/numbers.h"
#include "platform/text.h"
#include "viewer/dxf/load_state.h"

namespace viewer::detail {

namespace {

constexpr std::size_t kNoteLimit = 200;

}  // namespace

Kind kindOf(std::string_view type) {
  static const std::unordered_map<std::string_view, Kind> kinds = {
      {"LINE", Kind::line},    {"POLYLINE", Kind::polyline}, {"LWPOLYLINE", Kind::lwpolyline}, {"SPLINE", Kind::spline},
      {"XLINE", Kind::xline},  {"RAY", Kind::ray},           {"MLINE", Kind::mline},           {"CIRCLE", Kind::circle},
      {"ARC", Kind::arc},      {"ELLIPSE", Kind::ellipse},   {"POINT", Kind::point},           {"SOLID", Kind::solid},
      {"TEXT", Kind::text},    {"MTEXT", Kind::mtext},       {"INSERT", Kind::insert},         {"HATCH", Kind::hatch},
      {"3DFACE", Kind::face3d}};
  const auto it = kinds.find(type);
  return it == kinds.end() ? Kind::other : it->second;
}

void LoadState::refuse(std::string_view value, std::int64_t line, int code, const char* what) {
  if (!failed()) {
    // `line` is the pair's code line; the value is on the next.
    failure = std::to_string(line + 1) + "行目の値 \"" + std::string(value.substr(0, 40)) + "\"（グループコード " +
              std::to_string(code) + "）は" + what + "ではありません";
  }
  reader.stop();
}

bool LoadState::real(std::string_view value, std::int64_t line, int code, double& out) {
  if (platform::parseDecimal(value, out)) return true;
  refuse(value, line, code, "数値");
  out = 0;
  return false;
}

bool LoadState::whole(std::string_view value, std::int64_t line, int code, long long& out) {
  std::int64_t v = 0;
  if (platform::parseWhole(value, v)) {
    out = v;
    return true;
  }
  refuse(value, line, code, "整数");
  out = 0;
  return false;
}

double LoadState::real(const EntityRecord& e, int code, double fallback) {
  const int i = e.last(code);
  if (i < 0) return fallback;
  double v = 0;
  real(e.value(static_cast<std::size_t>(i)), e.pairs[static_cast<std::size_t>(i)].line, code, v);
  return v;
}

long long LoadState::whole(const EntityRecord& e, int code, long long fallback) {
  const int i = e.last(code);
  if (i < 0) return fallback;
  long long v = 0;
  whole(e.value(static_cast<std::size_t>(i)), e.pairs[static_cast<std::size_t>(i)].line, code, v);
  return v;
}

std::uint32_t LoadState::handle(const EntityRecord& e, int code) {
  const int i = e.last(code);
  if (i < 0) return 0;
  const auto text = platform::trim(e.value(static_cast<std::size_t>(i)));
  std::uint64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
    refuse(text, e.pairs[static_cast<std::size_t>(i)].line, code, "ハンドル");
    return 0;
  }
  return static_cast<std::uint32_t>(v);
}

void LoadState::note(const std::string& text) {
  if (noted_.count(text)) return;
  if (noted_.size() >= kNoteLimit) {
    // A damaged file can meet the same kind of fault without end; the list stays short.
    ++notesLeftOut_;
    const std::string more = "ほか " + std::to_string(notesLeftOut_) + " 件";
    if (notesLeftOut_ == 1)
      drawing.notes.push_back(more);
    else
      drawing.notes.back() = more;
    return;
  }
  noted_.insert(text);
  drawing.notes.push_back(text);
}

std::string LoadState::decoded(const EntityRecord& e, int code) {
  const int i = e.last(code);
  return i < 0 ? std::string() : text.decode(e.value(static_cast<std::size_t>(i)));
}

void LoadState::addLayer(Layer layer) {
  layerByKey_.emplace(platform::upperAscii(layer.name), static_cast<int>(drawing.layers.size()));
  layerByRaw_.clear();
  drawing.layers.push_back(std::move(layer));
}

int LoadState::layerOf(std::string_view raw) {
  // Entities name few layers, in the file's bytes: those are looked up once each.
  if (const auto it = layerByRaw_.find(raw); it != layerByRaw_.end()) return it->second;
  const auto it = layerByKey_.find(platform::upperAscii(text.decode(raw)));
  const int index = it == layerByKey_.end() ? -1 : it->second;
  layerByRaw_.emplace(std::string(raw), index);
  return index;
}

void LoadState::glyphIndices(std::string_view utf8, std::vector<std::uint32_t>& out) {
  points_.clear();
  appendCodePoints(utf8, points_);
  for (char32_t c : points_) {
    auto [it, added] = glyphIndex_.emplace(c, static_cast<std::uint32_t>(drawing.glyphs.size()));
    if (added) drawing.glyphs.push_back(c);
    out.push_back(it->second);
  }
}

void LoadState::addGlyphs(std::string_view utf8) {
  std::vector<std::uint32_t> unused;
  glyphIndices(utf8, unused);
}

void LoadState::resetProgram(int owner) {
  program(owner) = Program{};
  if (owner == kModelSpace)
    ++modelGeneration_;
  else
    ++blockGeneration_[static_cast<std::size_t>(owner)];
}

std::uint32_t LoadState::generation(int owner) const {
  return owner == kModelSpace ? modelGeneration_ : blockGeneration_[static_cast<std::size_t>(owner)];
}

void LoadState::addBlock(Block block) {
  drawing.blocks.push_back(std::move(block));
  blockGeneration_.push_back(0);
}

void LoadState::countEntity(std::string_view type) {
  std::string key(type);
  auto [it, added] = countIndex_.emplace(key, drawing.entityCounts.size());
  if (added) drawing.entityCounts.emplace_back(std::move(key), 0);
  ++drawing.entityCounts[it->second].second;
}

}  // namespace viewer::detail
