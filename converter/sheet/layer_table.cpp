#include "converter/sheet/layer_table.h"

#include <cmath>

#include "converter/settings/choice_lists.h"

namespace sheet {

namespace {

using settings::DrawingSettings;
using settings::RunValues;

void addTreeLayers(const settings::LayerTree& tree, geo::Flavour flavour, bool* stop, std::vector<LayerRecord>& out) {
  for (const auto& g : tree.groups)
    for (const auto& item : g.items)
      if (item.on)
        out.push_back({item.caption, geo::paletteColour(item.entry.colour, flavour, stop),
                       geo::lineweightCode(item.entry.weightIndex)});
}

}  // namespace

std::vector<LayerRecord> sheetLayers(const DrawingSettings& s, const RunValues& v, const geo::SheetLegend& legend,
                                     bool* stop) {
  std::vector<LayerRecord> layers;
  const geo::Flavour f = s.flavour();
  if (s.meshGridOn)
    layers.push_back(
        {s.meshGridCaption, geo::paletteColour(s.meshGridColour, f, stop), geo::lineweightCode(s.meshGridStyle % 256)});
  addTreeLayers(s.fgdLayers, f, stop, layers);
  for (const auto& m : s.mlitLayers)
    if (m.on)
      layers.push_back({m.caption, geo::paletteColour(m.colour, f, stop), geo::lineweightCode(m.styleCode % 256)});
  addTreeLayers(s.basicInfoLayers, f, stop, layers);
  if (s.crossSectionsOn) {
    layers.push_back({"998hyoko", {7, std::nullopt}, 5});
    layers.push_back({"999danmenzu", {7, std::nullopt}, 5});
  }
  const int n = v.legendStepCount;
  const bool mesh = s.meshSource >= 0, contour = s.contourSource >= 0;
  auto value = [&](int i) { return (i - 1) * legend.interval + legend.bottom; };
  if (mesh)
    for (int i = 0; i <= n; ++i)
      layers.push_back({"標高MESH" + geo::legendLabel(legend, n, "_", value(i)), geo::rgb(i, n, f, s.legendColourRamp),
                        std::nullopt});
  if (contour) {
    const double h = settings::thickContourStep(s.contourWeightRule).value_or(0);
    for (int i = 0; i <= n; ++i) {
      double x = value(i);
      bool thick = h > 0 && i > 0 && i < n && std::fabs(x - std::trunc(x / h) * h) < 0.001;
      layers.push_back({"等高線" + geo::legendLabel(legend, n, "_", x),
                        mesh ? geo::Colour{7, std::nullopt} : geo::rgb(i, n, f, s.legendColourRamp), thick ? 30 : 0});
    }
    if (s.contourTarget == 3) layers.push_back({"窪地線", {7, std::nullopt}, 0});
  }
  return layers;
}

int layerCount(const DrawingSettings& s, const RunValues& v) {
  int count = 1 + (s.meshGridOn ? 1 : 0);
  for (const auto* tree : {&s.fgdLayers, &s.basicInfoLayers})
    for (const auto& g : tree->groups)
      for (const auto& item : g.items) count += item.on ? 1 : 0;
  for (const auto& m : s.mlitLayers) count += m.on ? 1 : 0;
  if (s.meshSource >= 0) count += v.legendStepCount + 1;
  if (s.contourSource >= 0) count += v.legendStepCount + 1 + (s.contourTarget == 3 ? 1 : 0);
  if (s.crossSectionsOn) count += 2;
  return count;
}

}  // namespace sheet
