#pragma once
// Character outlines for the glyph lists: each character of a drawing's texts as filled
// triangles in em units (em height 1, baseline at y 0) with its advance, so that a list
// per character can draw it and move on to the next one.
#include <vector>

namespace viewer {

struct GlyphShape {
  std::vector<float> triangles;  // x, y of each corner, three corners a triangle
  float advance = 0;             // in ems
  bool found = false;            // some installed font has the character
};

// The shape of `c` from the Japanese font, or from the first font that has it; a character
// that no font has gets the primary font's missing-glyph box. Shapes are kept for the
// life of the process. Needs no GL context (the GLU tessellator runs on the CPU).
const GlyphShape& glyphShape(char32_t c);

// The calls of a glyph list: the triangles, then a move by the advance. Meant to be
// issued between glNewList and glEndList.
void emitGlyph(const GlyphShape& shape);

}  // namespace viewer
