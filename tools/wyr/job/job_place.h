// Places in a job file, for error messages: "steps[3].ToolID[1]", and
// ["odd key"] for keys that are no plain names.
#ifndef DRIVERWYR_TOOLS_WYR_JOB_PLACE_H_
#define DRIVERWYR_TOOLS_WYR_JOB_PLACE_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "driverwyr/result.h"

namespace wyr {

// One level of a place: the member being read of an object, or the element
// being read of an array.
struct PlaceLevel {
  bool object = false;
  std::string_view key;   // objects: the member's key
  std::size_t index = 0;  // arrays: the element's index
};

// A JSON string literal of `text` (control characters and quotes escaped),
// cut to about `limit` bytes on a character boundary ("..." marks the cut).
std::string QuoteJson(std::string_view text, std::size_t limit = 64);

// Appends a member ".key" (just "key" at the start, ["odd key"] when it is no
// plain name) or an element "[3]" to a place's text.
void AppendKey(std::string& place, std::string_view key);
void AppendIndex(std::string& place, std::size_t index);

// The text of the place that `levels` (PlaceLevel or derived, outermost
// first) describe.
template <typename Levels>
std::string PlaceText(const Levels& levels) {
  std::string place;
  for (const PlaceLevel& level : levels) {
    if (level.object) {
      AppendKey(place, level.key);
    } else {
      AppendIndex(place, level.index);
    }
  }
  return place;
}

// The error "<place>: <message>", or just the message at the top of the file.
driverwyr::Status ErrorAt(std::string_view place, std::string_view message);

}  // namespace wyr

#endif  // DRIVERWYR_TOOLS_WYR_JOB_PLACE_H_
