#pragma once
// Finds the files of every selected group of the two vector layer trees, keeps those of
// the sheet's meshes and calls the readers that the group and the drawing pass select.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "converter/fgd/gml_readers.h"
#include "converter/settings/layer_tree.h"
#include "converter/sheet/run_context.h"
#include "converter/sheet/shared_conversions.h"

namespace fgd {

inline constexpr int kFillPassMask = 0x7FFFFC00;
inline constexpr int kLinePassMask = 992;
inline constexpr int kPointPassMask = 31;

// Adds to fileCounter the files of every selected group of the tree (the counting pass).
void countFgdFiles(sheet::RunContext& context, const std::string& folder);
void countBasicInfoFiles(sheet::RunContext& context, const std::string& folder);
// Reads the sheet's files of every selected group with the readers the pass selects.
void drawFgdFiles(sheet::RunContext& context, sheet::EntityWriter& out, const std::string& folder, int passMask);
void drawBasicInfoFiles(sheet::RunContext& context, sheet::EntityWriter& out, const std::string& folder, int passMask);

// The sheet's line and area files offered for conversion ahead (null when the sheet reads
// no vector folder), and the helper's side: converts each from its end backwards until it
// meets the sheet's thread, the table is full or `stop` is set. See
// sheet/shared_conversions.h.
std::shared_ptr<sheet::SharedConversions> offerConversions(sheet::RunContext& context);
void convertAhead(sheet::SharedConversions& shared);

// Whether a sheet of the standard area meshes `meshCodes` reads `file` of the group keyed
// `groupKey`: a file of one of its meshes, or with `admBdryEverywhere` any file of the
// group keyed "AdmBdry".
bool sheetReads(const std::vector<std::string>& meshCodes, const std::filesystem::path& file,
                const std::string& groupKey, bool admBdryEverywhere);

// The element name of a group key: the part before the first "-".
std::string elementOfKey(std::string_view key);
// The seven characters that end eight characters before the first occurrence of the
// element name in the path ("-523846" in ...FG-GML-523846-BldA-...).
std::string meshCodeOfPath(std::string_view path, std::string_view element);
// The working lists of a group: the items that are on, in tree order.
GroupState groupState(const settings::LayerGroup& group);

}  // namespace fgd
