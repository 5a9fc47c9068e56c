#pragma once
// A drawing compiled into display lists: one per block program, one for model space, one
// for the point symbol and one per glyph of the drawing's texts. Frames then only set the
// view and call lists. Every method needs the drawing's GL context to be current.
#include <string>
#include <vector>

#include "viewer/dxf/drawing.h"

namespace viewer {

class GlScene {
 public:
  GlScene() = default;
  GlScene(const GlScene&) = delete;
  GlScene& operator=(const GlScene&) = delete;
  // Does not touch GL (the context may be gone): call release() while it is current.
  ~GlScene() = default;

  // Replaces the lists with those of `drawing` and of the point symbol `pointSymbol`.
  // Faults met on the way (a curve the tessellator refuses, a step outside its program's
  // data) are skipped and listed in notes(). False when GL gives no list names or runs out
  // of memory; the scene is then empty.
  bool compile(const Drawing& drawing, const Program& pointSymbol);
  // Rebuilds only the point symbol (the point style changed).
  void compilePointSymbol(const Program& pointSymbol);
  // Deletes every list.
  void release();

  bool empty() const { return count_ == 0; }
  const std::vector<std::string>& notes() const { return notes_; }

  void callModelSpace() const;
  void callBlock(int index) const;  // nothing for an index without a block
  void callPointSymbol() const;

 private:
  unsigned modelList() const { return base_; }
  unsigned symbolList() const { return base_ + 1; }
  unsigned blockList(std::size_t i) const { return base_ + 2 + static_cast<unsigned>(i); }
  unsigned glyphList(std::size_t i) const { return base_ + 2 + static_cast<unsigned>(blockCount_ + i); }
  void compileProgram(const Program& program, unsigned list);

  unsigned base_ = 0;  // first of count_ consecutive names
  int count_ = 0;
  std::size_t blockCount_ = 0, glyphCount_ = 0;
  std::vector<std::string> notes_;
};

}  // namespace viewer
