#include "converter/mlit/mlit_readers.h"

#include <cmath>

#include "converter/mlit/reader_common.h"
#include "converter/settings/choice_lists.h"

namespace mlit {

MlitReaders::MlitReaders(sheet::RunContext& context, sheet::EntityWriter& out)
    : ctx_(context), out_(out), entitiesAtStart_(out.entityCount()) {
  u_ = ctx_.values.unitsPerMetre;
  double scale = 1;
  symbolScale_ = settings::parseReal(ctx_.settings.symbolScale, scale) ? scale : 1;
}

void MlitReaders::setItem(std::size_t index) {
  itemIndex_ = index;
  const auto& e = item();
  dataName_ = e.caption;
  const auto size = static_cast<std::size_t>(e.styleCode / 256);
  s_ = (size < settings::kSizeFactors.size() ? settings::kSizeFactors[size] : 1.0) * symbolScale_;
}

const settings::MlitLayerEntry& MlitReaders::item() const { return ctx_.settings.mlitLayers.at(itemIndex_); }

void MlitReaders::readFile(const std::filesystem::path& file, int bits) {
  const std::size_t i = itemIndex_;
  if (bits & kAreaLabels) mlitAreaLabels(file, i);
  if (bits & kAreas) mlitAreas(file, i);
  if (bits & kDepthAreas) mlitDepthAreas(file, i);
  if (bits & kZoningAreas) mlitZoningAreas(file, i);
  if (bits & kTornadoTracks) mlitTornadoTracks(file);
  if (bits & kLines) mlitLines(file);
  if (bits & kAirportPoints) mlitAirportPoints(file);
  if (bits & kPointLabels) mlitPointLabels(file, i);
}

geo::PointPair& MlitReaders::slot(std::size_t at) {
  if (at >= ctx_.pointBuffer.size()) throw gml::BufferFull();
  return ctx_.pointBuffer[at];
}

void MlitReaders::tick(long long count, long long every, bool cancel) {
  if (count % every) return;
  ctx_.progress(sheet::ProgressLine::Detail, std::to_string(count));
  if (!cancel) return;
  ctx_.pump();
  if (!ctx_.runContinue) throw gml::ReadCancelled();
}

void MlitReaders::plane(double latitude, double longitude, double& x, double& y) {
  ctx_.coordinates.bltoxy(longitude, latitude);
  x = ctx_.coordinates.planeX;
  y = ctx_.coordinates.planeY;
}

bool MlitReaders::insideSheet(double x, double y) const {
  return x >= ctx_.sheetSouth && x <= ctx_.sheetNorth && y >= ctx_.sheetWest && y <= ctx_.sheetEast;
}

bool MlitReaders::boxOverlaps(const gml::Box& box) {
  if (box.empty()) return false;
  double south, west, north, east;
  plane(box.minLat, box.minLon, south, west);
  plane(box.maxLat, box.maxLon, north, east);
  return north >= ctx_.sheetSouth && south <= ctx_.sheetNorth && east >= ctx_.sheetWest && west <= ctx_.sheetEast;
}

std::span<const dxfio::Vertex> MlitReaders::planeVertices(const geo::PointPair* p, std::size_t n, bool repeatFirst) {
  planePairs_.resize(n);
  ctx_.coordinates.bltoxyList(p, n, planePairs_.data());
  scratch_.clear();
  for (std::size_t i = 0; i < n; ++i) {
    scratch_.push_back({planePairs_[i].x, planePairs_[i].y});
    if (i == 0 && repeatFirst) scratch_.push_back(scratch_.back());
  }
  return scratch_;
}

void MlitReaders::label(double x, double y, double dy, double height, std::string_view value) {
  out_.textStart(name(), {y, x + dy, 0}, height);
  out_.dxf().pair(1, value);
  out_.textEnd();
}

void MlitReaders::partMissing(const std::filesystem::path& file) {
  ctx_.reportOnce(name() + " は \r\n" + settings::pathText(file) + "\r\nを処理できませんでした\r\n");
  throw Reported();
}

void MlitReaders::writeArea(const std::string& layer, const Rings& rings, bool repeatFirst,
                            const std::optional<geo::Colour>& colour, double elevation) {
  const geo::PointPair* buf = ctx_.pointBuffer.data();
  out_.hatchStart(layer, rings.count, colour, elevation);
  bool first = true;
  for (std::size_t at = rings.from; at < rings.used;) {
    const std::size_t n = gml::countedListSize(buf, at, rings.used);
    out_.hatchRing(first ? sheet::HatchRing::outer : sheet::HatchRing::hole,
                   planeVertices(buf + at + 1, n, repeatFirst));
    first = false;
    at += n + 1;
  }
  out_.hatchEnd();
}

}  // namespace mlit

namespace mlit {

bool ForwardStream::next(std::string_view& line) {
  if (held_) {
    held_ = false;
    line = line_;
    return true;
  }
  if (!nextLine(in_, line_)) return false;
  line = line_;
  return true;
}

bool ForwardStream::seek(std::string_view marker) {
  std::string_view line;
  while (next(line))
    if (contains(line, marker)) {
      held_ = true;
      return true;
    }
  return false;
}

}  // namespace mlit
