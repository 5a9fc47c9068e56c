#pragma once
// INI profile files in the layout of the classic profile functions: "[section]" lines and
// "key=value" lines. Section and key names compare case-insensitively. Saving keeps the
// file's order and unknown keys: an existing key is replaced in place, a new key is
// appended at the end of its section, a new section at the end of the file.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text_codec.h"

namespace platform {

class IniProfile {
 public:
  IniProfile() = default;

  // Reads a file. A missing file gives an empty profile (and `exists()` false); an
  // unreadable or binary file gives whatever lines could be read. Never throws.
  static IniProfile load(const std::filesystem::path& file);
  static IniProfile parse(std::string_view bytes);

  bool exists() const { return exists_; }
  // Encoding the file had; new files are written in CP932.
  TextEncoding encoding() const { return encoding_; }

  // Value with surrounding blanks removed; nullopt when the key is absent.
  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string getString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // Decimal, "$"-hexadecimal or "0x"-hexadecimal integer with optional sign; anything
  // else (or out of the 32-bit range) gives `fallback`.
  long getInt(std::string_view section, std::string_view key, long fallback) const;

  void set(std::string_view section, std::string_view key, std::string_view value);
  bool hasSection(std::string_view section) const;
  std::vector<std::string> keys(std::string_view section) const;
  // Every key line of the section, in file order, repeated keys included (the first one is
  // what `get` answers); one pass, for sections of many keys.
  std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

  // Text of the whole profile, lines ended by CR LF, UTF-8.
  std::string text() const;
  // Writes the file in its encoding (CP932 for new files). False on any write error,
  // with the reason in `error` when given.
  bool save(const std::filesystem::path& file, std::string* error = nullptr) const;

 private:
  struct Line {
    std::string raw;      // the line as read (UTF-8)
    std::string section;  // for section lines: the name
    std::string key;      // for key lines: the key
    std::string value;    // for key lines: the value
    enum Kind { Other, Section, Key } kind = Other;
  };
  std::vector<Line> lines_;
  bool exists_ = false;
  TextEncoding encoding_ = TextEncoding::Cp932;
  // Line of the first key of each section and key name (lower case, see indexKey): the
  // line `find` answers. Settings files hold thousands of keys, read one by one.
  std::unordered_map<std::string, std::size_t> index_;
  static std::string indexKey(std::string_view section, std::string_view key);
  void index();
  const Line* find(std::string_view section, std::string_view key) const;
};

}  // namespace platform
