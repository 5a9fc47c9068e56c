#pragma once
// The layer trees and the list of national land data sets: which feature types are
// drawn, on which layer, in which colour, size and weight.
#include <cstdint>
#include <string>
#include <vector>

namespace settings {

struct LayerEntry {
  std::string key;             // at most 12 single-byte characters; the settings-file key
  std::uint32_t colour = 0;    // 0x00BBGGRR
  std::int32_t code = 0;       // reader mask for groups
  std::string attributeValue;  // at most 30 single-byte characters
  std::string option;          // at most 16 single-byte characters
  std::uint8_t flag = 0;
  int sizeIndex = 12;   // 0..28
  int weightIndex = 2;  // 0..24
};

struct LayerItem {
  LayerEntry entry;
  bool on = true;
  std::string caption;  // "%03d" running number + group name + item name; the DXF layer name
  int runningNumber = 0;
};

struct LayerGroup {
  LayerEntry entry;
  bool on = true;
  bool expanded = false;
  std::string caption;  // the group name
  std::vector<LayerItem> items;
};

struct LayerTree {
  std::vector<LayerGroup> groups;
  std::size_t itemCount() const;
};

// On when any item is on; colour the common colour of the items, or 0 when they differ.
void deriveGroups(LayerTree& tree);
// Expands the groups that are on and collapses the others.
void expandActiveGroups(LayerTree& tree);

// Flipping a node the way a click or the space key does it.
void toggleItem(LayerTree& tree, std::size_t group, std::size_t item);
void toggleGroup(LayerTree& tree, std::size_t group);
// Restyling from the style dialog: an item restyled makes its group take each value that
// all its items now share; a restyled group passes the values to all its items.
void restyleItem(LayerTree& tree, std::size_t group, std::size_t item, std::uint32_t colour, int weightIndex,
                 int sizeIndex);
void restyleGroup(LayerTree& tree, std::size_t group, std::uint32_t colour, int weightIndex, int sizeIndex);

struct MlitLayerEntry {
  std::string key;
  std::string name;
  std::string caption;  // "%03d" running number + name; the DXF layer name
  int runningNumber = 0;
  bool on = false;
  std::uint32_t colour = 0;
  int styleCode = 3074;
  int readerMask = 0;
  std::string geometryMarker;
  std::string geometryEndMarker;
  std::string linkMarker;
  std::string valueMarker;
};

inline constexpr std::size_t kMaxMlitItems = 101;

// "%03d" of a running number.
std::string runningNumberText(int number);

}  // namespace settings
