// The National Land Numerical Information readers: every data set whose file pattern
// matches the input's name reads it with the readers of its mask, as the dispatch would.
#include "converter/mlit/mlit_dispatch.h"
#include "converter/mlit/mlit_readers.h"
#include "fuzz/fuzz_input.h"
#include "platform/dir_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = fuzz::splitName(data, size, "A29-11_40.xml");
  const auto file = fuzz::writeInput(input.name, input.bytes);
  fuzz::ReaderRun run(fuzz::itemSettings());
  mlit::MlitReaders readers(run.ctx, run.out);
  for (std::size_t i = 0; i < run.settings.mlitLayers.size(); ++i) {
    const auto& item = run.settings.mlitLayers[i];
    if (!platform::wildcardMatch(mlit::mlitFilePattern(item.key), input.name)) continue;
    readers.setItem(i);
    readers.readFile(file, item.readerMask);
  }
  std::filesystem::remove(file);
  return 0;
}
