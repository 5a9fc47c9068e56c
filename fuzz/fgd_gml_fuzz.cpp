// The GML scanner under every Fundamental Geospatial Data and Basic National Geographic
// Information reader: the groups whose file pattern matches the input's name read it with
// the readers of their code, as the dispatch would.
#include "converter/fgd/fgd_dispatch.h"
#include "converter/fgd/gml_readers.h"
#include "fuzz/fuzz_input.h"
#include "platform/dir_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = fuzz::splitName(data, size, "FG-GML-503041-BldA-20181001-0001.xml");
  const auto file = fuzz::writeInput(input.name, input.bytes);
  fuzz::ReaderRun run(fuzz::itemSettings());
  for (const auto* tree : {&run.settings.fgdLayers, &run.settings.basicInfoLayers})
    for (const auto& g : tree->groups) {
      const std::string element = fgd::elementOfKey(g.entry.key);
      if (!platform::wildcardMatch("*" + element + "*.xml", input.name)) continue;
      const fgd::GroupState state = fgd::groupState(g);
      fgd::GmlReaders readers(run.ctx, state, run.out);
      readers.readFile(file, g.entry.code);
    }
  std::filesystem::remove(file);
  return 0;
}
