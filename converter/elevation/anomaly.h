#pragma once
// Problems the elevation input meets go into the run's anomaly text, each once: the same
// file is read again for every sheet that needs it.
#include <string>
#include <string_view>

#include "converter/run/run_context.h"

namespace elevation {

inline void reportAnomaly(run::RunContext& ctx, std::string_view text) {
  std::string line(text);
  line += "\r\n";
  if (ctx.anomalyMessage.find(line) == std::string::npos) ctx.anomalyMessage += line;
}

}  // namespace elevation
