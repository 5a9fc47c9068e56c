#pragma once
// What the reader families of GmlReaders share inside this folder: the start level, the
// scanner's helpers and the guard around each file.
#include <cstdio>
#include <optional>
#include <string>

#include "converter/fgd/gml_readers.h"
#include "converter/geo/mesh_codes.h"
#include "converter/gml/feature_tail.h"
#include "converter/gml/line_scanner.h"
#include "converter/gml/reader_guard.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/shared_conversions.h"
#include "platform/numbers.h"

namespace fgd {

using gml::characterCount;
using gml::contains;
using gml::equalsNoCase;
using gml::LineScanner;
using gml::parsePosition;
using gml::parseReal;
using gml::parseWhole;
using gml::TagLine;
using gml::take;
using gml::valueUpTo;

// The level of a feature without "<orgGILvl>": it passes every rank filter.
inline constexpr int kStartLevel = 25000;

inline constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Runs `body` on one file; whatever ends it early is reported, never thrown.
template <typename Body>
void GmlReaders::guarded(const char* name, const std::filesystem::path& file, bool withLists, Body body) {
  lists_ = 0;
  // Where a helper converts this file ahead, the part behind it is looked up.
  shared_ = ctx_.sharedConversions && ctx_.sharedConversions->coordinates.convertsLike(ctx_.coordinates)
                ? ctx_.sharedConversions
                : nullptr;
  share_ = shared_ ? &shared_->file(file) : nullptr;
  dataName_ = file.filename().string();
  file_ = &file;
  mesh_ = geo::meshBoxOfFileName(dataName_);
  offMeshTold_ = false;
  const long long before = out_.entityCount();
  std::optional<LineScanner> in;
  const gml::ReadEnd end = gml::guardRead([&] {
    in.emplace(file);
    in_ = &*in;
    body(*in);
  });
  in_ = nullptr;
  share_ = nullptr;
  entities_ += out_.entityCount() - before;
  switch (end) {
    case gml::ReadEnd::completed:
      // A cut download reads to its end like a whole file: inside a feature it loses that
      // feature, between two the ones after the cut.
      if (const char* cut = gml::endsInsideFeature(file, group_.featureStartMarker, group_.featureEndMarker)
                                ? "GMLファイルが図形の途中で終わっています "
                            : gml::endsBeforeRootEnd(file) ? "GMLファイルが途中で終わっています "
                                                           : nullptr)
        ctx_.reportOnce(cut + settings::pathText(file) + " " + std::to_string(in->lineNumber()) + "行目");
      return;
    case gml::ReadEnd::cancelled: return;
    case gml::ReadEnd::bufferFull: ctx_.report(dataName_ + " でxylimitを超えました"); return;
    case gml::ReadEnd::failed:
      ctx_.report(std::string(name) + "(" + settings::pathText(file) + ")で異常" +
                  (withLists ? " posi=" + std::to_string(lists_) : std::string()));
      return;
  }
}

}  // namespace fgd
