// The reader of the tool-name conversion file.
//
// The file is plain single-byte text, one mapping a line:
//
//   [white space] HOSTNAME (blank|tab)+ CONTROLNAME [(blank|tab)+ SECTIONALNAME] [white space]
//
// The host name runs from the first non-white byte to the first blank or tab
// and is compared with the wanted name ignoring ASCII letter case. Of a
// matching line, the rest after that blank or tab (trimmed) supplies the name:
// a rest without blank or tab serves sectional and non-sectional tools alike;
// otherwise a sectional tool takes the part after the rest's first blank or
// tab, any other tool the part before it (each trimmed). A matching line whose
// rest or chosen part is empty supplies nothing and the search goes on. Any
// other line (notes, comments) is skipped.
//
// Only the first kMaxConversionFileBytes of a file are read; a longer file is
// not one an installation maintains by hand.
//
// Lines end at "\n"; a "\r" right before it belongs to the line end. The last
// line needs no line end. A NUL byte anywhere makes the file unusable: no
// name is taken from it, and the error names the NUL's line (a NUL would cut
// a tool name sent to the control). Lines may be of any length; the search
// keeps at most the rest of one matching line in memory.
#ifndef DRIVERWYR_CREATION_CONVERSION_FILE_H_
#define DRIVERWYR_CREATION_CONVERSION_FILE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace driverwyr {

inline constexpr std::size_t kMaxConversionFileBytes = 64 * 1024 * 1024;

// The control's name that the rest of a matching line supplies (the text
// after the blank or tab that ends the host name), or an empty view when it
// supplies none. The result points into `rest`.
std::string_view ControlNameFromRest(std::string_view rest, bool sectional);

// Searches conversion-file text for `host_name`, fed in pieces of any size,
// as they come from the file. Every byte is looked at once; lines that cannot
// match are skipped without being copied.
class ConversionSearch {
 public:
  // `host_name` must stay alive while the search is in use. An empty host
  // name, or one holding a NUL byte, matches no line.
  ConversionSearch(std::string_view host_name, bool sectional);

  // Feeds the next `size` bytes of the file. Returns true once a line has
  // supplied the name; later calls then only look for NUL bytes. Every
  // byte of the file must be fed for the NUL check to be complete.
  bool Feed(const char* data, std::size_t size);
  // Ends the input, completing a last line that has no line end. Returns
  // whether a line supplied the name.
  bool Finish();

  bool found() const { return state_ == State::kFound; }
  // The number (from 1) of the first line that holds a NUL byte, 0 while
  // none was fed. A file with one supplies no name.
  std::size_t nul_line() const { return nul_line_; }
  // The name found; empty until found() is true.
  const std::string& name() const { return name_; }

 private:
  enum class State {
    kLeadingSpace,  // before the first non-white byte of the line
    kHostName,      // comparing the line's first word with the host name
    kRest,          // collecting the rest of a matching line
    kSkip,          // the line cannot match: skip to its end
    kFound,         // done
    kNever,         // the host name cannot match any line
  };

  // The current matching line has ended: has its rest supply the name.
  void EndMatchingLine();

  std::string_view host_name_;
  bool sectional_;
  State state_ = State::kLeadingSpace;
  std::size_t matched_ = 0;  // bytes of the host name matched so far
  std::size_t lines_ = 0;    // line feeds fed so far
  std::size_t nul_line_ = 0;
  std::string rest_;
  std::string name_;
};

}  // namespace driverwyr

#endif  // DRIVERWYR_CREATION_CONVERSION_FILE_H_
