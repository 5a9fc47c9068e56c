#pragma once
// An open sheet whose groups are collected instead of written, for producers under test.
#include "converter/sheet/entity_writer.h"
#include "dxfio/collecting_sink.h"
#include "dxfio/dxf_writer.h"

struct CollectedSheet {
  // Empties the sheet; handles start again from the first producer handle.
  void clear() {
    sink.groups.clear();
    dxf.nextHandle = sheet::kFirstProducerHandle;
  }

  dxfio::CollectingSink sink;
  dxfio::DxfWriter dxf{sink, sheet::kFirstProducerHandle};
  sheet::EntityWriter out{dxf, geo::Flavour::trueColour};
};
