// The three passes over a drawing file: viewports and the glyph set first, then the
// header, tables, blocks, entities and layouts, then the paper space of each layout. Block
// calls are bound to their blocks at the end, when every block is known.
#include <algorithm>
#include <filesystem>
#include <unordered_map>

#include "platform/text.h"
#include "viewer/dxf/drawing.h"
#include "viewer/dxf/load_state.h"

namespace viewer {

namespace {

using detail::Kind;
using detail::kModelSpace;
using detail::LoadState;
using detail::Target;

// The capacities of the view and layout tables.
constexpr std::size_t kMaxViewports = 127;
constexpr long long kMaxLayouts = 64;
constexpr std::size_t kMaxLayoutName = 64;

bool drawable(Kind k) { return k != Kind::other && k != Kind::mline; }

class Loader {
 public:
  explicit Loader(Drawing& drawing) : d_(drawing), s_(drawing, r_) {}

  bool load(const std::string& path, LoadError& error);

 private:
  bool sectionEnds() const {
    const auto v = r_.value();
    return r_.code() == 0 && (v == "ENDSEC" || v == "SECTION" || v == "EOF");
  }
  bool blockEnds() const {
    return sectionEnds() || (r_.code() == 0 && (r_.value() == "ENDBLK" || r_.value() == "BLOCK"));
  }
  // Stops the reading with a message box's text.
  void refuse(std::string caption, std::string text) {
    if (!refused_) error_ = {std::move(caption), std::move(text)};
    refused_ = true;
    r_.stop();
  }

  void prePass();
  void viewport();
  void mainPass();
  bool header();
  bool tables();
  bool layers();
  bool blocks();
  bool block();
  bool entities();
  bool objects();
  void layout();
  void layoutPass();
  // Reads the entity at the reader and, after a POLYLINE, its vertices, and draws it into
  // `target`; without one (the ENTITIES section) into model space unless it lies in paper
  // space. True when the reader is left on the next 0 pair.
  bool entity(const Target* target);
  bool polylineVertices(bool keep);
  void bindCalls();

  dxfio::TagReader r_;
  Drawing& d_;
  LoadState s_;
  EntityRecord e_, vertex_;
  std::vector<Vec3> vertices_;
  LoadError error_;
  bool refused_ = false;
};

bool Loader::load(const std::string& path, LoadError& error) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    error = {"警告", "ファイルが見つかりません"};
    return false;
  }
  if (std::filesystem::is_directory(path, ec) || !r_.open(path)) {
    error = {"警告", "ファイルを開けません"};
    return false;
  }
  d_.path = path;
  d_.views.assign(1, ViewRecord{});
  d_.layouts.assign(1, Layout{});
  // Each pass runs only when the one before it ended well.
  auto well = [&] {
    if (!refused_ && s_.failed()) refuse("障害発生", s_.failure);
    if (!refused_ && r_.readError()) refuse("障害発生", "ファイルを読み込めません");
    return !refused_;
  };
  auto again = [&] {
    if (well() && !r_.rewind()) refuse("障害発生", "ファイルを読み込めません");
    return !refused_;
  };
  prePass();
  if (again()) mainPass();
  if (again()) layoutPass();
  if (!well()) {
    error = error_;
    return false;
  }
  bindCalls();
  return true;
}

// Viewports, the code page and the characters of every text.
void Loader::prePass() {
  bool ok = r_.next();
  while (ok) {
    if (r_.code() == 9 && (r_.value() == "$ACADVER" || r_.value() == "$DWGCODEPAGE")) {
      const bool version = r_.value() == "$ACADVER";
      ok = r_.next();
      if (ok && version && r_.code() == 1) s_.text.setVersion(r_.value());
      if (ok && !version && r_.code() == 3) s_.text.setCodePage(r_.value());
      continue;
    }
    if (r_.code() == 0 && r_.value() == "VIEWPORT") {
      ok = e_.gather(r_);
      viewport();
      continue;
    }
    if (r_.code() == 0 && (r_.value() == "TEXT" || r_.value() == "MTEXT")) {
      ok = e_.gather(r_);
      const int at = e_.last(1);
      if (at >= 0) {
        const std::string text = s_.text.decode(e_.value(static_cast<std::size_t>(at)));
        s_.addGlyphs(e_.type == "MTEXT" ? mtextShown(text) : std::string_view(text));
      }
      continue;
    }
    ok = r_.next();
  }
}

void Loader::viewport() {
  if (d_.views.size() > kMaxViewports) {
    refuse("障害発生", "Viewport数が容量を超えました");
    return;
  }
  auto& s = s_;
  const auto& e = e_;
  ViewRecord v;
  v.owner = s.handle(e, 330);
  v.centreX = s.real(e, 10, 0);
  v.centreY = s.real(e, 20, 0);
  v.width = s.real(e, 40, 0);
  v.height = s.real(e, 41, 0);
  v.viewCentreX = s.real(e, 12, 0);
  v.viewCentreY = s.real(e, 22, 0);
  v.direction = {s.real(e, 16, 0), s.real(e, 26, 0), s.real(e, 36, 0)};
  v.target = {s.real(e, 17, 0), s.real(e, 27, 0), s.real(e, 37, 0)};
  v.viewHeight = s.real(e, 45, 0);
  v.twist = s.real(e, 51, 0);
  d_.views.push_back(v);
}

void Loader::mainPass() {
  bool ok = r_.next();
  while (ok) {
    // Structure is read from 0 pairs only: a text that reads "SECTION" is no section.
    if (!r_.is(0, "SECTION")) {
      ok = r_.next();
      continue;
    }
    if (!r_.next()) break;
    const std::string name(r_.value());
    ok = r_.next();
    if (!ok) break;
    if (name == "HEADER")
      ok = header();
    else if (name == "TABLES")
      ok = tables();
    else if (name == "BLOCKS")
      ok = blocks();
    else if (name == "ENTITIES")
      ok = entities();
    else if (name == "OBJECTS")
      ok = objects();
    // Any other section (CLASSES among them) is passed over pair by pair.
  }
}

bool Loader::header() {
  bool ok = true;
  while (ok && !sectionEnds()) {
    const bool mode = r_.value() == "$PDMODE", size = r_.value() == "$PDSIZE";
    ok = r_.next();
    if (!ok || !(mode || size)) continue;
    // The variable's value is the next pair when it has the expected code; any other pair
    // is read on as it is.
    if (mode && r_.code() == 70) {
      long long v = 0;
      if (s_.whole(r_.value(), r_.line(), 70, v))
        d_.pointMode = static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
      ok = r_.next();
    } else if (size && r_.code() == 40) {
      double v = 0;
      if (s_.real(r_.value(), r_.line(), 40, v)) d_.pointSize = v == 0 ? -5 : v;
      ok = r_.next();
    }
  }
  return ok;
}

bool Loader::tables() {
  bool ok = true;
  while (ok && !sectionEnds()) {
    if (r_.is(0, "VPORT")) {
      ok = e_.gather(r_);
      auto& v = d_.views[0];
      auto& s = s_;
      const auto& e = e_;
      v.owner = s.handle(e, 330);
      v.centreX = s.real(e, 10, 0);
      v.centreY = s.real(e, 20, 0);
      v.viewCentreX = s.real(e, 12, 0);
      v.viewCentreY = s.real(e, 22, 0);
      v.direction = {s.real(e, 16, 0), s.real(e, 26, 0), s.real(e, 36, 0)};
      v.target = {s.real(e, 17, 0), s.real(e, 27, 0), s.real(e, 37, 0)};
      v.viewHeight = s.real(e, 45, 0);
      v.twist = s.real(e, 51, 0);
      // 40 is the saved view's height and 41 its aspect ratio: the view spans 40 × 41 by
      // 40. The window fits the height to its own proportions when it shows the drawing.
      const double height = s.real(e, 40, 0);
      v.width = height * s.real(e, 41, 0);
      v.height = height;
      d_.hasModelView = true;
      continue;
    }
    if (r_.is(0, "LAYER")) {
      ok = layers();
      continue;
    }
    ok = r_.next();
  }
  return ok;
}

// The LAYER entries up to ENDTAB: each 0 starts one; 2 names it, 62 gives its colour index
// (a layer switched off, negative, keeps its colour) and 420 a true colour over it.
bool Loader::layers() {
  bool ok = true, open = false, named = false;
  Layer layer;
  long long index = 7, trueColour = -1;
  auto finish = [&] {
    if (!open || !named) return;
    if (index < 0) index = -index;
    if (index > 255) {
      s_.note("画層「" + layer.name + "」の色番号 " + std::to_string(index) + " は範囲外のため黒で描きます");
      index = 7;
    }
    std::uint32_t bgr = kColourTable[static_cast<std::size_t>(index)];
    if (trueColour >= 0) {
      const auto v = static_cast<std::uint32_t>(trueColour) & 0xFFFFFFu;
      bgr = ((v & 0xFFu) << 16) | (v & 0xFF00u) | (v >> 16);
    }
    layer.colour = {static_cast<float>(bgr & 0xFFu) / 255.0f, static_cast<float>((bgr >> 8) & 0xFFu) / 255.0f,
                    static_cast<float>((bgr >> 16) & 0xFFu) / 255.0f};
    s_.addLayer(std::move(layer));
  };
  while (ok) {
    if (r_.code() == 0) {
      finish();
      if (r_.value() == "ENDTAB" || sectionEnds()) break;
      open = true;
      named = false;
      layer = Layer{};
      index = 7;
      trueColour = -1;
    } else if (open && r_.code() == 2) {
      layer.name = s_.text.decode(r_.value());
      named = true;
    } else if (open && r_.code() == 62) {
      s_.whole(r_.value(), r_.line(), 62, index);
    } else if (open && r_.code() == 420) {
      s_.whole(r_.value(), r_.line(), 420, trueColour);
      if (trueColour < 0) trueColour = static_cast<long long>(static_cast<std::uint32_t>(trueColour) & 0xFFFFFFu);
    }
    ok = r_.next();
  }
  return ok;
}

bool Loader::blocks() {
  bool ok = true;
  while (ok && !sectionEnds()) {
    if (r_.is(0, "BLOCK")) {
      ok = block();
      continue;
    }
    ok = r_.next();
  }
  return ok;
}

// A block takes the next index whether or not it is drawn. Only a header with a 70 other
// than "1" (anonymous) makes a drawn block; its entities take the colour of the INSERT.
bool Loader::block() {
  bool ok = e_.gather(r_);
  Block b;
  b.owner = s_.handle(e_, 330);
  b.name = s_.decoded(e_, 2);
  const int flags = e_.last(70);
  b.compiled = flags >= 0 && e_.value(static_cast<std::size_t>(flags)) != "1";
  const int index = static_cast<int>(d_.blocks.size());
  s_.addBlock(std::move(b));
  const Target target{index, false, false};
  const bool compiled = d_.blocks.back().compiled;
  while (ok && !blockEnds()) {
    if (compiled && r_.code() == 0)
      ok = entity(&target);
    else
      ok = r_.next();
  }
  return ok;
}

bool Loader::entities() {
  s_.resetProgram(kModelSpace);
  bool ok = true;
  while (ok && !sectionEnds()) {
    if (r_.code() == 0)
      ok = entity(nullptr);
    else
      ok = r_.next();
  }
  return ok;
}

bool Loader::entity(const Target* target) {
  bool ok = e_.gather(r_);
  s_.countEntity(e_.type);
  const Kind kind = detail::kindOf(e_.type);
  Target modelSpace{kModelSpace, true, true};
  // In the ENTITIES section paper-space entities (67 = 1) wait for the layout pass.
  if (!target && drawable(kind) && s_.whole(e_, 67, 0) != 1) target = &modelSpace;
  if (!drawable(kind)) target = nullptr;
  if (kind == Kind::polyline && ok) ok = polylineVertices(target != nullptr);
  if (target) detail::drawEntity(s_, e_, vertices_, *target);
  return ok;
}

// The VERTEX entities after a POLYLINE up to its SEQEND: a coordinate a vertex lacks keeps
// the previous vertex's, the first starting from the POLYLINE's own point.
bool Loader::polylineVertices(bool keep) {
  vertices_.clear();
  Vec3 v{};
  if (keep) v = {s_.real(e_, 10, 0), s_.real(e_, 20, 0), s_.real(e_, 30, 0)};
  bool ok = true;
  while (ok && r_.is(0, "VERTEX")) {
    ok = vertex_.gather(r_);
    if (!keep) continue;
    v = {s_.real(vertex_, 10, v.x), s_.real(vertex_, 20, v.y), s_.real(vertex_, 30, v.z)};
    vertices_.push_back(v);
  }
  if (ok && r_.is(0, "SEQEND")) ok = vertex_.gather(r_);
  return ok;
}

bool Loader::objects() {
  bool ok = true;
  while (ok && !sectionEnds()) {
    if (r_.is(0, "LAYOUT")) {
      ok = e_.gather(r_);
      layout();
      continue;
    }
    ok = r_.next();
  }
  return ok;
}

// A LAYOUT object under its tab order (71); a group that occurs twice gives its last value,
// so 1 is the layout's name and 330 its block record.
void Loader::layout() {
  auto& s = s_;
  const auto& e = e_;
  const long long index = s.whole(e, 71, 0);
  if (index >= kMaxLayouts) {
    refuse("障害発生", "レイアウト数が容量を超えました");
    return;
  }
  if (index < 0) {
    s.note("レイアウトのタブ順 " + std::to_string(index) + " は負のため読み飛ばします");
    return;
  }
  if (d_.layouts.size() <= static_cast<std::size_t>(index)) d_.layouts.resize(static_cast<std::size_t>(index) + 1);
  Layout& l = d_.layouts[static_cast<std::size_t>(index)];
  l.present = true;
  if (e.has(1)) l.name = std::string(platform::firstCharacters(s.decoded(e, 1), kMaxLayoutName));
  if (e.has(330)) l.blockRecord = s.handle(e, 330);
  if (e.has(2)) l.pageName = s.decoded(e, 2);
  if (e.has(4)) l.paperName = s.decoded(e, 4);
  l.margin41 = s.real(e, 41, l.margin41);
  l.margin42 = s.real(e, 42, l.margin42);
  l.paperWidth = s.real(e, 44, l.paperWidth);
  l.paperHeight = s.real(e, 45, l.paperHeight);
  l.scaleNumerator = s.real(e, 142, l.scaleNumerator);
  l.scaleDenominator = s.real(e, 143, l.scaleDenominator);
  l.scaleFactor = s.real(e, 147, l.scaleFactor);
  l.limitsMinX = s.real(e, 10, l.limitsMinX);
  l.limitsMinY = s.real(e, 20, l.limitsMinY);
  l.limitsMaxX = s.real(e, 11, l.limitsMaxX);
  l.limitsMaxY = s.real(e, 21, l.limitsMaxY);
}

// The paper space of each layout, in tab order, replaces the program of its block record's
// block: the entities inside blocks or with 67 = 1 whose owner (330) is that block record.
// One read serves every layout. A layout whose block record has no block ends the list.
void Loader::layoutPass() {
  std::unordered_map<std::uint32_t, int> blockOf;
  for (std::size_t k = 1; k < d_.layouts.size(); ++k) {
    if (!d_.layouts[k].present) continue;
    const int b = d_.blockOfOwner(d_.layouts[k].blockRecord);
    if (b < 0) break;
    if (blockOf.emplace(d_.layouts[k].blockRecord, b).second) {
      s_.resetProgram(b);
      d_.blocks[static_cast<std::size_t>(b)].compiled = true;
    }
  }
  if (blockOf.empty()) return;
  bool ok = r_.next(), inside = false;
  while (ok) {
    if (r_.code() != 0) {
      ok = r_.next();
      continue;
    }
    if (r_.value() == "EOF") break;
    if (r_.value() == "BLOCK") inside = true;
    if (r_.value() == "ENDBLK" || r_.value() == "ENDSEC") inside = false;
    ok = e_.gather(r_);
    if (e_.type == "SECTION" && e_.has(2) && e_.value(static_cast<std::size_t>(e_.last(2))) == "OBJECTS") break;
    const Kind kind = detail::kindOf(e_.type);
    int block = -1;
    // Points are left out: the point list is drawn in model space.
    if (drawable(kind) && kind != Kind::point && (inside || s_.whole(e_, 67, 0) == 1) && e_.has(330)) {
      const auto it = blockOf.find(s_.handle(e_, 330));
      if (it != blockOf.end()) block = it->second;
    }
    if (kind == Kind::polyline && ok) ok = polylineVertices(block >= 0);
    if (block >= 0) detail::drawEntity(s_, e_, vertices_, Target{block, true, false});
  }
}

// Binds each INSERT to its block by name (case aside), the first block of that name. The
// INSERT is left out when no block has the name, when its block draws nothing (anonymous),
// and when it closes a cycle of blocks inserting each other, which would never end.
void Loader::bindCalls() {
  std::unordered_map<std::string, int> byName;
  for (std::size_t i = 0; i < d_.blocks.size(); ++i)
    byName.emplace(platform::upperAscii(d_.blocks[i].name), static_cast<int>(i));

  struct Removal {
    std::uint32_t begin, end;
  };
  std::unordered_map<int, std::vector<Removal>> removals;  // by program
  const std::size_t blockCount = d_.blocks.size();
  std::vector<std::vector<std::size_t>> callsOf(blockCount);  // bound calls inside each block
  for (std::size_t c = 0; c < s_.calls.size(); ++c) {
    auto& call = s_.calls[c];
    if (call.generation != s_.generation(call.owner)) continue;  // its program was replaced
    const auto it = byName.find(platform::upperAscii(call.name));
    if (it == byName.end() || !d_.blocks[static_cast<std::size_t>(it->second)].compiled) {
      if (it == byName.end()) s_.note("ブロック「" + call.name + "」は定義がないため挿入を描きません");
      removals[call.owner].push_back({call.begin, call.end});
      continue;
    }
    s_.program(call.owner).ops[call.op].first = static_cast<std::uint32_t>(it->second);
    if (call.owner != kModelSpace) callsOf[static_cast<std::size_t>(call.owner)].push_back(c);
  }

  // Depth first through the calls between blocks; a call back into a block on the path
  // closes a cycle and is left out.
  enum : std::uint8_t { unseen, onPath, done };
  std::vector<std::uint8_t> state(blockCount, unseen);
  struct Frame {
    std::size_t block, next;
  };
  std::vector<Frame> path;
  for (std::size_t root = 0; root < blockCount; ++root) {
    if (state[root] != unseen) continue;
    state[root] = onPath;
    path.push_back({root, 0});
    while (!path.empty()) {
      Frame& f = path.back();
      if (f.next == callsOf[f.block].size()) {
        state[f.block] = done;
        path.pop_back();
        continue;
      }
      const auto& call = s_.calls[callsOf[f.block][f.next++]];
      const std::size_t to = s_.program(call.owner).ops[call.op].first;
      if (state[to] == onPath) {
        s_.note("ブロック「" + d_.blocks[to].name + "」は自身を挿入するため、その挿入を描きません");
        removals[call.owner].push_back({call.begin, call.end});
      } else if (state[to] == unseen) {
        state[to] = onPath;
        path.push_back({to, 0});
      }
    }
  }

  for (auto& [owner, ranges] : removals) {
    auto& ops = s_.program(owner).ops;
    std::sort(ranges.begin(), ranges.end(), [](const Removal& a, const Removal& b) { return a.begin < b.begin; });
    std::size_t out = 0, next = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
      while (next < ranges.size() && ranges[next].end <= i) ++next;
      if (next < ranges.size() && i >= ranges[next].begin) continue;
      ops[out++] = ops[i];
    }
    ops.resize(out);
  }
}

}  // namespace

bool loadDrawing(const std::string& path, Drawing& drawing, LoadError& error) {
  Drawing fresh;
  Loader loader(fresh);
  if (!loader.load(path, error)) return false;
  drawing = std::move(fresh);
  return true;
}

}  // namespace viewer
