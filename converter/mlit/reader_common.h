#pragma once
// What the reader families of MlitReaders share inside this folder: the guard around each
// file and the end of a file whose problem has already been reported.
#include <stdexcept>
#include <string>

#include "converter/gml/feature_tail.h"
#include "converter/gml/reader_guard.h"
#include "converter/mlit/mlit_readers.h"
#include "converter/settings/sheet_labels.h"

namespace mlit {

using gml::contains;
using gml::LineScanner;
using gml::parseReal;
using gml::take;
using gml::valueUpTo;

// Ends a reader's work on a file after it has put its own message into anomalyMessage.
struct Reported : std::runtime_error {
  Reported() : std::runtime_error("reported") {}
};

// Files are read again for every sheet: each problem stands once in the message.
template <typename Body>
void MlitReaders::guarded(const std::filesystem::path& file, Failure& failure, Body body) {
  const gml::ReadEnd end = gml::guardRead([&] {
    try {
      body();
    } catch (const Reported&) {
    }
  });
  switch (end) {
    case gml::ReadEnd::completed:
      // A cut download reads to its end like a whole file: what it lost is said.
      if (gml::endsBeforeRootEnd(file))
        ctx_.reportOnce("GMLファイルが途中で終わっています " + settings::pathText(file) + " " +
                        std::to_string(gml::lineCount(file)) + "行目");
      return;
    case gml::ReadEnd::cancelled: return;
    case gml::ReadEnd::bufferFull: ctx_.reportOnce(name() + " でxylimitを超えました"); return;
    case gml::ReadEnd::failed:
      ctx_.reportOnce(failure.prefix + settings::pathText(file) + (failure.detail ? failure.detail() : std::string()) +
                      failure.suffix);
      return;
  }
}

// A whole number of a marker's text: digits only, or the ReadError of any bad number.
inline long long wholeNumber(std::string_view text) {
  const double v = parseReal(text);
  if (v != static_cast<double>(static_cast<long long>(v))) throw gml::ReadError("not a whole number");
  return static_cast<long long>(v);
}

// The text after `marker` on the line up to `stop` (the rest of the line without it).
inline std::string_view after(std::string_view line, std::string_view marker, std::string_view stop) {
  const auto at = line.find(marker);
  if (at == std::string_view::npos) return {};
  return valueUpTo(line.substr(at + marker.size()), stop);
}

// Latitude and longitude of a "<gml:pos>" line; false for any other line.
inline bool takePosition(std::string_view line, double& latitude, double& longitude) {
  if (!take(line, "<gml:pos>")) return false;
  gml::parsePosition(line, latitude, longitude);
  return true;
}

}  // namespace mlit
