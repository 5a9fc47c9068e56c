#include "converter/settings/layer_tree.h"

#include <cstdio>

namespace settings {

std::size_t LayerTree::itemCount() const {
  std::size_t n = 0;
  for (const auto& g : groups) n += g.items.size();
  return n;
}

void deriveGroups(LayerTree& tree) {
  for (auto& group : tree.groups) {
    if (group.items.empty()) continue;
    bool anyOn = false;
    bool sameColour = true;
    for (const auto& item : group.items) {
      anyOn = anyOn || item.on;
      sameColour = sameColour && item.entry.colour == group.items.front().entry.colour;
    }
    group.on = anyOn;
    group.entry.colour = sameColour ? group.items.front().entry.colour : 0;
  }
}

void expandActiveGroups(LayerTree& tree) {
  for (auto& group : tree.groups) group.expanded = group.on;
}

void toggleItem(LayerTree& tree, std::size_t group, std::size_t item) {
  if (group >= tree.groups.size() || item >= tree.groups[group].items.size()) return;
  auto& g = tree.groups[group];
  g.items[item].on = !g.items[item].on;
  g.on = false;
  for (const auto& it : g.items) g.on = g.on || it.on;
}

void toggleGroup(LayerTree& tree, std::size_t group) {
  if (group >= tree.groups.size()) return;
  auto& g = tree.groups[group];
  g.on = !g.on;
  for (auto& it : g.items) it.on = g.on;
}

void restyleItem(LayerTree& tree, std::size_t group, std::size_t item, std::uint32_t colour, int weightIndex,
                 int sizeIndex) {
  if (group >= tree.groups.size() || item >= tree.groups[group].items.size()) return;
  auto& g = tree.groups[group];
  auto& e = g.items[item].entry;
  e.colour = colour;
  e.weightIndex = weightIndex;
  e.sizeIndex = sizeIndex;
  bool sameColour = true, sameWeight = true, sameSize = true;
  for (const auto& it : g.items) {
    sameColour = sameColour && it.entry.colour == colour;
    sameWeight = sameWeight && it.entry.weightIndex == weightIndex;
    sameSize = sameSize && it.entry.sizeIndex == sizeIndex;
  }
  if (sameColour) g.entry.colour = colour;
  if (sameWeight) g.entry.weightIndex = weightIndex;
  if (sameSize) g.entry.sizeIndex = sizeIndex;
}

void restyleGroup(LayerTree& tree, std::size_t group, std::uint32_t colour, int weightIndex, int sizeIndex) {
  if (group >= tree.groups.size()) return;
  auto& g = tree.groups[group];
  g.entry.colour = colour;
  g.entry.weightIndex = weightIndex;
  g.entry.sizeIndex = sizeIndex;
  for (auto& it : g.items) {
    it.entry.colour = colour;
    it.entry.weightIndex = weightIndex;
    it.entry.sizeIndex = sizeIndex;
  }
}

std::string runningNumberText(int number) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%03d", number);
  return buf;
}

}  // namespace settings
