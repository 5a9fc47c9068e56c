#pragma once
// Inside the reader: the state of one load (the drawing being filled, the text decoding,
// the lookups, the block calls waiting for their block) and the drawing of one entity.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxfio/tag_reader.h"
#include "viewer/dxf/drawing.h"
#include "viewer/dxf/drawing_text.h"
#include "viewer/dxf/entity_record.h"

namespace viewer::detail {

// The kinds the viewer draws, in the order of its kind list; `other` draws nothing.
enum class Kind {
  line,
  polyline,
  lwpolyline,
  spline,
  xline,
  ray,
  mline,
  circle,
  arc,
  ellipse,
  point,
  solid,
  text,
  mtext,
  insert,
  hatch,
  face3d,
  other
};
Kind kindOf(std::string_view type);

// The program an entity is drawn into: a block's (its index) or model space.
inline constexpr int kModelSpace = -1;

// An INSERT drawn before its block is known: the block is looked up by name once the whole
// file is read, so a block may insert one defined after it. `begin`..`end` are the ops of
// the INSERT, left out when the block is unknown, draws nothing, or closes a cycle.
struct PendingCall {
  int owner;
  std::uint32_t generation;  // of the owner's program when the INSERT was drawn
  std::uint32_t op, begin, end;
  std::string name;  // of the block, decoded
};

class LoadState {
 public:
  LoadState(Drawing& drawing, dxfio::TagReader& reader) : drawing(drawing), reader(reader) {}

  Drawing& drawing;
  dxfio::TagReader& reader;
  TextDecoding text;

  // Numbers of group values. A value that is not a number refuses the file: the first one
  // is kept for the message and the reading stops, which ends every loop of the pass.
  double real(const EntityRecord& e, int code, double fallback);
  long long whole(const EntityRecord& e, int code, long long fallback);
  std::uint32_t handle(const EntityRecord& e, int code);
  bool real(std::string_view value, std::int64_t line, int code, double& out);
  bool whole(std::string_view value, std::int64_t line, int code, long long& out);
  bool failed() const { return !failure.empty(); }
  void refuse(std::string_view value, std::int64_t line, int code, const char* what);
  std::string failure;

  // A fault met and mended, once per text.
  void note(const std::string& text);

  std::string decoded(const EntityRecord& e, int code);
  void addLayer(Layer layer);
  // The layer of an entity's group 8, -1 when the table has none of that name.
  int layerOf(std::string_view raw);
  // Indices into the glyph set of the characters of a UTF-8 text, new characters appended.
  void glyphIndices(std::string_view utf8, std::vector<std::uint32_t>& out);
  void addGlyphs(std::string_view utf8);

  Program& program(int owner) { return owner == kModelSpace ? drawing.modelSpace : drawing.blocks[owner].program; }
  // Empties a program (a second ENTITIES section, a layout's paper space); its waiting
  // calls are dropped with it.
  void resetProgram(int owner);
  std::uint32_t generation(int owner) const;
  void addBlock(Block block);

  std::vector<PendingCall> calls;
  void countEntity(std::string_view type);

 private:
  std::set<std::string> noted_;
  std::size_t notesLeftOut_ = 0;
  // Looked up by views of the reader's buffer, without a copy.
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, int> layerByKey_;
  std::unordered_map<std::string, int, Hash, std::equal_to<>> layerByRaw_;
  std::unordered_map<char32_t, std::uint32_t> glyphIndex_;
  std::vector<char32_t> points_;  // reused by glyphIndices
  std::vector<std::uint32_t> blockGeneration_;
  std::unordered_map<std::string, std::size_t> countIndex_;
  std::uint32_t modelGeneration_ = 0;
};

struct Target {
  int owner = kModelSpace;
  bool withColour = true;
  bool points = false;  // POINTs go to the drawing's point list
};

// Draws one gathered entity. `vertices` are the vertices of a POLYLINE read after it.
void drawEntity(LoadState& state, const EntityRecord& e, const std::vector<Vec3>& vertices, const Target& target);

}  // namespace viewer::detail
