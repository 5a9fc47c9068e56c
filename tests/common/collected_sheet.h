#pragma once
// An open sheet whose groups are collected instead of written, for producers under test,
// and the collected groups read back as entities.
#include <string>
#include <utility>
#include <vector>

#include "converter/sheet/entity_writer.h"
#include "dxfio/collecting_sink.h"
#include "dxfio/dxf_writer.h"

// One entity: its type and the pairs after its 0 line.
struct Entity {
  std::string type;
  std::vector<std::pair<int, std::string>> pairs;  // after the 0 line
  // "code=value;..." of every pair from the handle on, the handle left out.
  std::string record() const {
    std::string out;
    for (const auto& [code, value] : pairs) {
      if (code == 5) continue;
      if (!out.empty()) out += ";";
      out += std::to_string(code) + "=" + value;
    }
    return out;
  }
  std::string value(int code, int nth = 0) const {
    for (const auto& [c, v] : pairs)
      if (c == code && nth-- == 0) return v;
    return "<none>";
  }
  int count(int code) const {
    int n = 0;
    for (const auto& p : pairs) n += p.first == code;
    return n;
  }
};

struct CollectedSheet {
  // Empties the sheet; handles start again from the first producer handle.
  void clear() {
    sink.groups.clear();
    dxf.nextHandle = sheet::kFirstProducerHandle;
  }

  // The collected groups as entities: each 0 group starts one.
  std::vector<Entity> entities() const {
    std::vector<Entity> out;
    for (const auto& [code, value] : sink.groups) {
      if (code == 0)
        out.push_back({value, {}});
      else if (!out.empty())
        out.back().pairs.emplace_back(code, value);
    }
    return out;
  }

  dxfio::CollectingSink sink;
  dxfio::DxfWriter dxf{sink, sheet::kFirstProducerHandle};
  sheet::EntityWriter out{dxf, geo::Flavour::trueColour};
};
