#include "converter/mlit/mlit_dispatch.h"

#include "converter/mlit/mlit_readers.h"
#include "converter/settings/sheet_labels.h"
#include "converter/sheet/data_files.h"

namespace mlit {

namespace {

using sheet::ProgressLine;

std::vector<std::filesystem::path> itemFiles(sheet::RunContext& ctx, const std::string& folder,
                                             const settings::MlitLayerEntry& e) {
  return sheet::listDataFiles(ctx, settings::utf8Path(folder), mlitFilePattern(e.key));
}

}  // namespace

std::string mlitFilePattern(const std::string& key) { return key.substr(0, 4) + "*.xml"; }

void dispatchMlitFiles(sheet::RunContext& ctx, const std::string& folder) {
  const auto& items = ctx.settings.mlitLayers;
  for (auto e = items.rbegin(); e != items.rend(); ++e)
    if (e->on) ctx.fileCounter += static_cast<std::int64_t>(itemFiles(ctx, folder, *e).size());
}

void dispatchMlitFiles(sheet::RunContext& ctx, sheet::EntityWriter& out, const std::string& folder, int passMask) {
  const auto& items = ctx.settings.mlitLayers;
  MlitReaders readers(ctx, out);
  // Later items first: within a pass the first items end up on top.
  for (std::size_t i = items.size(); i-- > 0;) {
    const settings::MlitLayerEntry& e = items[i];
    if (!e.on) continue;
    const auto files = itemFiles(ctx, folder, e);
    ctx.progress(ProgressLine::Phase, e.caption);
    const int bits = passMask & e.readerMask;
    for (const auto& file : files) {
      ctx.pump();
      if (!ctx.runContinue) return;
      if (!bits) continue;
      ++ctx.fileCounter;
      ctx.progress(ProgressLine::Counter, std::to_string(ctx.fileCounter));
      ctx.progress(ProgressLine::File, settings::pathText(file.filename()));
      readers.setItem(i);
      readers.readFile(file, bits);
    }
  }
}

}  // namespace mlit
