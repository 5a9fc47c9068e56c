#include "platform/profile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

#include "platform/file_replace.h"
#include "platform/text.h"

namespace platform {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal within the signed 32-bit range, or hexadecimal of up to 32 bits ("$FFFFFFFF" is
// -1, as a 32-bit pattern); nullopt for anything else.
std::optional<long> parseInt(std::string_view s) {
  s = trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  bool hex = false;
  if (!s.empty() && s.front() == '$') {
    hex = true;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    hex = true;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 2147483648ull : 2147483647ull);
  for (char c : s) {
    const int d = hex ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (d < 0) return std::nullopt;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<unsigned>(d);
    if (magnitude > limit) return std::nullopt;
  }
  if (hex) {
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - magnitude : magnitude);
    return static_cast<long>(static_cast<std::int32_t>(bits));
  }
  return negative ? -static_cast<long>(magnitude) : static_cast<long>(magnitude);
}

// Values are single lines; a line break in a value would split the key in the file.
std::string oneLine(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

}  // namespace

IniProfile IniProfile::parse(std::string_view bytes) {
  IniProfile profile;
  profile.exists_ = true;
  const std::string text = decodeText(bytes, &profile.encoding_);
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t eol = rest.find('\n');
    std::string_view raw = rest.substr(0, eol);
    rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    Line line;
    line.raw = std::string(raw);
    const std::string_view t = trim(raw);
    if (!t.empty() && t.front() == '[') {
      const std::size_t close = t.find(']');
      if (close != std::string_view::npos) {
        line.kind = Line::Section;
        line.section = std::string(trim(t.substr(1, close - 1)));
      }
    } else if (!t.empty() && t.front() != ';') {
      const std::size_t eq = t.find('=');
      if (eq != std::string_view::npos && !trim(t.substr(0, eq)).empty()) {
        line.kind = Line::Key;
        line.key = std::string(trim(t.substr(0, eq)));
        line.value = std::string(trim(t.substr(eq + 1)));
      }
    }
    profile.lines_.push_back(std::move(line));
  }
  profile.index();
  return profile;
}

std::string IniProfile::indexKey(std::string_view section, std::string_view key) {
  // The section's length first, so that no pair of names can spell another pair's key.
  std::string k = std::to_string(section.size()) + ':';
  k.reserve(k.size() + section.size() + key.size());
  for (char c : section) k += lowerAscii(c);
  for (char c : key) k += lowerAscii(c);
  return k;
}

// Indexes every key line that is the first of its name (set keeps the index after that).
void IniProfile::index() {
  std::string_view section;
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Line::Section) {
      section = line.section;
      inSection = true;
    } else if (inSection && line.kind == Line::Key) {
      index_.emplace(indexKey(section, line.key), i);
    }
  }
}

IniProfile IniProfile::load(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return IniProfile();
  std::string bytes;
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(file.c_str(), "rb"));
  if (f) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.append(buffer, n);
  }
  IniProfile profile = parse(bytes);
  profile.exists_ = true;
  return profile;
}

const IniProfile::Line* IniProfile::find(std::string_view section, std::string_view key) const {
  const auto at = index_.find(indexKey(section, key));
  return at == index_.end() ? nullptr : &lines_[at->second];
}

std::optional<std::string> IniProfile::get(std::string_view section, std::string_view key) const {
  const Line* line = find(section, trim(key));
  if (!line) return std::nullopt;
  return line->value;
}

std::string IniProfile::getString(std::string_view section, std::string_view key, std::string_view fallback) const {
  const Line* line = find(section, trim(key));
  return line ? line->value : std::string(fallback);
}

long IniProfile::getInt(std::string_view section, std::string_view key, long fallback) const {
  const Line* line = find(section, trim(key));
  if (!line) return fallback;
  return parseInt(line->value).value_or(fallback);
}

void IniProfile::set(std::string_view section, std::string_view key, std::string_view value) {
  key = trim(key);
  const std::string written = oneLine(value);
  if (const Line* found = find(section, key)) {
    Line& line = lines_[static_cast<std::size_t>(found - lines_.data())];
    line.value = std::string(trim(written));
    line.raw = line.key + "=" + written;
    return;
  }

  Line added;
  added.kind = Line::Key;
  added.key = std::string(key);
  added.value = std::string(trim(written));
  added.raw = added.key + "=" + written;

  // Into the first section of that name, right after its last key (blank lines and
  // comments that close the section stay after it).
  std::size_t insertAt = lines_.size();
  bool inSection = false;
  bool sectionFound = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Line::Section) {
      if (sectionFound) break;
      inSection = equalsNoCase(line.section, section);
      if (inSection) {
        sectionFound = true;
        insertAt = i + 1;
      }
    } else if (inSection && line.kind == Line::Key) {
      insertAt = i + 1;
    }
  }
  if (!sectionFound) {
    Line header;
    header.kind = Line::Section;
    header.section = std::string(trim(section));
    header.raw = "[" + header.section + "]";
    lines_.push_back(std::move(header));
    insertAt = lines_.size();
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(added));
  // The lines after the new one moved down by one; the new key is the first of its name.
  if (insertAt + 1 < lines_.size())
    for (auto& entry : index_)
      if (entry.second >= insertAt) ++entry.second;
  // Under the section's name as stored (trimmed), as `find` compares it.
  index_.emplace(indexKey(trim(section), key), insertAt);
}

bool IniProfile::hasSection(std::string_view section) const {
  for (const Line& line : lines_) {
    if (line.kind == Line::Section && equalsNoCase(line.section, section)) return true;
  }
  return false;
}

std::vector<std::pair<std::string, std::string>> IniProfile::entries(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  bool inSection = false;
  for (const Line& line : lines_) {
    if (line.kind == Line::Section)
      inSection = equalsNoCase(line.section, section);
    else if (inSection && line.kind == Line::Key)
      out.emplace_back(line.key, line.value);
  }
  return out;
}

std::vector<std::string> IniProfile::keys(std::string_view section) const {
  std::vector<std::string> out;
  bool inSection = false;
  for (const Line& line : lines_) {
    if (line.kind == Line::Section) {
      inSection = equalsNoCase(line.section, section);
    } else if (inSection && line.kind == Line::Key) {
      bool seen = false;
      for (const std::string& k : out) seen = seen || equalsNoCase(k, line.key);
      if (!seen) out.push_back(line.key);
    }
  }
  return out;
}

std::string IniProfile::text() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.raw;
    out += "\r\n";
  }
  return out;
}

bool IniProfile::save(const std::filesystem::path& file, std::string* error) const {
  // Whole or not at all: a full disk never leaves a cut settings file under its name.
  std::string reason;
  if (replaceFile(file, encodeText(text(), encoding_), &reason)) return true;
  if (error) *error = "cannot write " + file.string() + ": " + reason;
  return false;
}

}  // namespace platform
