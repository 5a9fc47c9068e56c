#include "converter/fgd/fgd_dispatch.h"

#include <algorithm>

#include "converter/settings/sheet_labels.h"
#include "converter/sheet/data_files.h"

namespace fgd {

namespace {

using sheet::ProgressLine;

std::vector<std::filesystem::path> groupFiles(sheet::RunContext& ctx, const std::filesystem::path& root,
                                              const std::string& element) {
  return sheet::listDataFiles(ctx, root, "*" + element + "*.xml");
}

void count(sheet::RunContext& ctx, const settings::LayerTree& tree, const std::string& folder) {
  const auto root = settings::utf8Path(folder);
  for (auto g = tree.groups.rbegin(); g != tree.groups.rend(); ++g)
    if (g->on) ctx.fileCounter += static_cast<std::int64_t>(groupFiles(ctx, root, elementOfKey(g->entry.key)).size());
}

void draw(sheet::RunContext& ctx, sheet::EntityWriter& out, const settings::LayerTree& tree, const std::string& folder,
          int passMask, bool readAdmBdryEverywhere) {
  const auto root = settings::utf8Path(folder);
  // Groups from the last to the first: within a pass the first groups end up on top.
  for (auto g = tree.groups.rbegin(); g != tree.groups.rend(); ++g) {
    if (!g->on) continue;
    const std::string element = elementOfKey(g->entry.key);
    const auto files = groupFiles(ctx, root, element);
    const GroupState state = groupState(*g);
    ctx.progress(ProgressLine::Phase, g->caption);
    GmlReaders readers(ctx, state, out);
    const int bits = passMask & g->entry.code;
    for (const auto& file : files) {
      ctx.pump();
      if (!ctx.runContinue) return;
      if (bits) ++ctx.fileCounter;
      if (!sheetReads(ctx.meshCodeList, file, g->entry.key, readAdmBdryEverywhere)) continue;
      // A pass that selects none of the group's readers leaves its files alone.
      if (!bits) continue;
      ctx.progress(ProgressLine::Counter, std::to_string(ctx.fileCounter));
      ctx.progress(ProgressLine::File, settings::pathText(file.filename()));
      readers.readFile(file, bits);
    }
  }
}

}  // namespace

bool sheetReads(const std::vector<std::string>& meshCodes, const std::filesystem::path& file,
                const std::string& groupKey, bool admBdryEverywhere) {
  if (admBdryEverywhere && groupKey == "AdmBdry") return true;
  const std::string code = meshCodeOfPath(settings::pathText(file), elementOfKey(groupKey));
  return std::find(meshCodes.begin(), meshCodes.end(), code) != meshCodes.end();
}

std::string elementOfKey(std::string_view key) {
  const auto dash = key.find('-');
  return std::string(dash == std::string_view::npos ? key : key.substr(0, dash));
}

std::string meshCodeOfPath(std::string_view path, std::string_view element) {
  const auto at = path.find(element);
  if (at == std::string_view::npos || element.empty()) return {};
  const std::size_t start = at >= 8 ? at - 8 : 0;
  return std::string(path.substr(start, 7));
}

GroupState groupState(const settings::LayerGroup& group) {
  GroupState state;
  for (const auto& item : group.items) {
    if (!item.on) continue;
    state.activeLayerNames.push_back(item.caption);
    state.activeAttributeValues.push_back(item.entry.attributeValue);
    state.activeOptions.push_back(item.entry.option);
    state.activeSizeIndexes.push_back(item.entry.sizeIndex);
  }
  state.setElement(elementOfKey(group.entry.key));
  return state;
}

void countFgdFiles(sheet::RunContext& context, const std::string& folder) {
  count(context, context.settings.fgdLayers, folder);
}

void countBasicInfoFiles(sheet::RunContext& context, const std::string& folder) {
  count(context, context.settings.basicInfoLayers, folder);
}

void drawFgdFiles(sheet::RunContext& context, sheet::EntityWriter& out, const std::string& folder, int passMask) {
  draw(context, out, context.settings.fgdLayers, folder, passMask, true);
}

void drawBasicInfoFiles(sheet::RunContext& context, sheet::EntityWriter& out, const std::string& folder, int passMask) {
  draw(context, out, context.settings.basicInfoLayers, folder, passMask, false);
}

}  // namespace fgd
