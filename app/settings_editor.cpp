// The line editor of settings.ini: values replaced in place, new keys appended.
#include "app/settings_editor.h"

#include <cctype>

namespace {

const char byteOrderMark[] = "\xEF\xBB\xBF";

// Whether a character is a blank.
bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// The text without blanks at either end.
std::string Trim(const std::string& text)
{
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// The line with its value replaced: what stands up to the value (the key, its
// spacing, the '=' and the blanks after it) and what follows it (a comment after a
// blank, a CR) stay.
std::string ReplaceValue(const std::string& line, const std::string& value)
{
  const size_t equals = line.find('=');
  size_t start = equals + 1;
  while (start < line.size() && IsBlank(line[start])) ++start;
  size_t end = SettingsValueEnd(line, start);
  while (end > start && IsBlank(line[end - 1])) --end;
  return line.substr(0, start) + value + line.substr(end);
}

}  // namespace

// A '#' or ';' after a blank starts a comment.
size_t SettingsValueEnd(const std::string& line, size_t start)
{
  for (size_t index = start; index < line.size(); ++index) {
    const bool marker = line[index] == '#' || line[index] == ';';
    if (marker && index > start && IsBlank(line[index - 1])) return index;
  }
  return line.size();
}

// Comments, sections and lines without '=' have no key.
std::string SettingsLineKey(const std::string& line)
{
  const std::string content = Trim(line);
  if (content.empty() || content[0] == '#' || content[0] == ';' || content[0] == '[') return "";
  const size_t equals = content.find('=');
  if (equals == std::string::npos) return "";
  std::string key = Trim(content.substr(0, equals));
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

// Line by line; the lines keep their ends, appended ones take the file's.
std::string EditSettingsText(const std::string& text, const std::vector<std::pair<std::string, std::string>>& values)
{
  const bool marked = text.compare(0, 3, byteOrderMark) == 0;
  const std::string body = marked ? text.substr(3) : text;
  const std::string lineEnd = body.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<bool> found(values.size(), false);
  std::string edited = marked ? byteOrderMark : "";
  size_t start = 0;
  while (start < body.size()) {
    size_t end = body.find('\n', start);
    const bool ended = end != std::string::npos;
    if (!ended) end = body.size();
    std::string line = body.substr(start, end - start);
    const std::string key = SettingsLineKey(line);
    for (size_t index = 0; index < values.size() && !key.empty(); ++index) {
      if (values[index].first != key) continue;
      line = ReplaceValue(line, values[index].second);
      found[index] = true;
    }
    edited += line + (ended ? "\n" : "");
    start = end + 1;
  }
  bool needsEnd = !body.empty() && body.back() != '\n';
  for (size_t index = 0; index < values.size(); ++index) {
    if (found[index]) continue;
    if (needsEnd) edited += lineEnd;
    needsEnd = false;
    edited += values[index].first + " = " + values[index].second + lineEnd;
  }
  return edited;
}
