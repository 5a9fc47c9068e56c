#pragma once
// Writes DXF groups into a sink: one primitive, a group code with a typed value, and
// a vertex list. Text is UTF-8 here; the sink decides the bytes.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "dxfio/real_format.h"
#include "dxfio/sink.h"

namespace dxfio {

// A group of fixed scaffolding: the value is written as it stands ("0.0", "-5.0").
struct Pair {
  int code;
  std::string_view value;
};

class DxfWriter {
 public:
  explicit DxfWriter(Sink& sink, std::uint32_t firstHandle = 1) : nextHandle(firstHandle), sink_(sink) {}
  DxfWriter(const DxfWriter&) = delete;
  DxfWriter& operator=(const DxfWriter&) = delete;

  void pair(int code, std::string_view text) { sink_.pair(code, text); }
  void pair(int code, const char* text) { sink_.pair(code, text); }
  void pair(int code, const std::string& text) { sink_.pair(code, text); }
  void pair(int code, int value) { pair(code, static_cast<long long>(value)); }
  void pair(int code, long long value);
  void pair(int code, double value);
  void handle(int code, std::uint32_t handle) { pair(code, hexHandle(handle)); }

  void pairs(std::initializer_list<Pair> list) { pairs(std::span<const Pair>(list.begin(), list.size())); }
  void pairs(std::span<const Pair> list) {
    for (const auto& p : list) sink_.pair(p.code, p.value);
  }
  // 10=x; 20=y for every vertex.
  void vertices(std::span<const Vertex> list) { sink_.vertices(list); }

  // Takes the current `nextHandle` and advances it.
  std::uint32_t takeHandle() { return nextHandle++; }
  // 5=<8-character placeholder> of $HANDSEED, marked in the sink for the patch.
  void handleSeedPlaceholder() {
    sink_.markHandleSeed();
    sink_.pair(5, "      5E");
  }

  Sink& sink() { return sink_; }

  std::uint32_t nextHandle;

 private:
  Sink& sink_;
  std::string number_;
};

}  // namespace dxfio
