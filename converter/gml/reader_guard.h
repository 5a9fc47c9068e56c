#pragma once
// How a reader's work on one file ended. Readers never throw to their caller: the guard
// turns every error of the file into a value the reader reports.
#include <exception>
#include <stdexcept>

#include "converter/gml/coordinate_lists.h"

namespace gml {

// The run was stopped while a file was being read.
struct ReadCancelled : std::runtime_error {
  ReadCancelled() : std::runtime_error("stopped") {}
};

enum class ReadEnd { completed, bufferFull, cancelled, failed };

template <typename Body>
ReadEnd guardRead(Body&& body) noexcept {
  try {
    body();
    return ReadEnd::completed;
  } catch (const BufferFull&) {
    return ReadEnd::bufferFull;
  } catch (const ReadCancelled&) {
    return ReadEnd::cancelled;
  } catch (const std::exception&) {
    return ReadEnd::failed;
  }
}

}  // namespace gml
