// Parsing of the script backend's action lines.
#include "script.h"

#include "console/glyphs.h"
#include "console/keys.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace console {

namespace {

constexpr std::array<std::pair<std::string_view, int>, 15> kNamedKeys = {{
    {"esc", Key::Esc},
    {"enter", Key::Enter},
    {"space", Key::Space},
    {"tab", Key::Tab},
    {"backspace", Key::Backspace},
    {"up", Key::Up},
    {"down", Key::Down},
    {"left", Key::Left},
    {"right", Key::Right},
    {"pgup", Key::PgUp},
    {"pgdn", Key::PgDn},
    {"home", Key::Home},
    {"end", Key::End},
    {"insert", Key::Insert},
    {"delete", Key::Delete},
}};

// Limits of click arguments: cells of the largest grid, pixels of a
// generous graphics window.
constexpr int kMaxCell = 1000;
constexpr int kMaxPixel = 100000;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// Splits "WORD rest": the action word and everything after one blank.
std::pair<std::string_view, std::string_view> splitAction(std::string_view line) {
    const auto blank = line.find_first_of(" \t");
    if (blank == std::string_view::npos) return {line, {}};
    return {line.substr(0, blank), line.substr(blank + 1)};
}

bool parseInt(std::string_view s, int& out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

// Two integers "A B" within [low, high]; false with a reason otherwise.
bool parsePair(std::string_view args, int low, int high, int& a, int& b, std::string& why) {
    args = trim(args);
    const auto blank = args.find_first_of(" \t");
    if (blank == std::string_view::npos) {
        why = "needs two numbers";
        return false;
    }
    const std::string_view first = args.substr(0, blank);
    const std::string_view second = trim(args.substr(blank + 1));
    if (!parseInt(first, a) || !parseInt(second, b)) {
        why = "needs two whole numbers";
        return false;
    }
    if (a < low || a > high || b < low || b > high) {
        why = "numbers must lie in " + std::to_string(low) + ".." + std::to_string(high);
        return false;
    }
    return true;
}

} // namespace

int keyFromName(std::string_view name) {
    if (name.empty()) return 0;
    std::size_t pos = 0;
    const char32_t first = decodeNextChar(name, pos);
    if (pos == name.size()) return static_cast<int>(first); // exactly one character
    const std::string key = lower(name);
    for (const auto& [keyName, code] : kNamedKeys)
        if (key == keyName) return code;
    if (key.size() >= 2 && key[0] == 'f') {
        int n = 0;
        if (parseInt(std::string_view(key).substr(1), n) && n >= 1 && n <= 12)
            return Key::F1 + n - 1;
    }
    return 0;
}

ParsedScript parseScript(std::string_view content, std::string_view sourceName) {
    ParsedScript result;
    if (content.size() > kMaxScriptBytes) {
        result.error = std::string(sourceName) + ": script too large (more than " +
                       std::to_string(kMaxScriptBytes) + " bytes)";
        return result;
    }
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3); // UTF-8 byte order mark

    int lineNo = 0;
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string_view::npos) end = content.size();
        std::string_view line = content.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const auto fail = [&](const std::string& why) {
            result.error = std::string(sourceName) + " line " + std::to_string(lineNo) + ": " + why;
        };
        if (line.find('\0') != std::string_view::npos) {
            fail("not a text line (it holds a NUL byte)");
            return result;
        }
        const std::string_view body = trim(line);
        if (body.empty() || body.front() == '#') continue;

        // Keep the argument verbatim after the blank that follows the action
        // word: `text` and `expect` may need inner and trailing blanks.
        const std::size_t indent = line.find_first_not_of(" \t");
        auto [word, args] = splitAction(line.substr(indent));
        ScriptAction action;
        action.line = lineNo;
        const std::string verb = lower(word);
        std::string why;
        if (verb == "key") {
            const std::string_view name = trim(args);
            if (name.empty()) {
                fail("key needs a key, e.g. 'key Esc' or 'key a'");
                return result;
            }
            action.kind = ScriptAction::Kind::Key;
            action.key = keyFromName(name);
            if (action.key == 0) {
                fail("unknown key '" + std::string(name) +
                     "' (a character, or Esc Enter Space Tab Backspace Up Down Left Right PgUp "
                     "PgDn Home End Insert Delete F1..F12)");
                return result;
            }
        } else if (verb == "text") {
            action.kind = ScriptAction::Kind::Text;
            action.text = std::string(args);
        } else if (verb == "expect") {
            if (args.empty()) {
                fail("expect needs the text to look for");
                return result;
            }
            action.kind = ScriptAction::Kind::Expect;
            action.text = std::string(args);
        } else if (verb == "click" || verb == "rclick") {
            action.kind =
                verb == "click" ? ScriptAction::Kind::Click : ScriptAction::Kind::RightClick;
            if (!parsePair(args, 1, kMaxCell, action.a, action.b, why)) {
                fail(verb + " COL ROW " + why);
                return result;
            }
        } else if (verb == "gclick" || verb == "grclick") {
            action.kind =
                verb == "gclick" ? ScriptAction::Kind::GfxClick : ScriptAction::Kind::GfxRightClick;
            if (!parsePair(args, 0, kMaxPixel, action.a, action.b, why)) {
                fail(verb + " X Y " + why);
                return result;
            }
        } else {
            fail("unknown action '" + std::string(word) +
                 "' (key, text, click, rclick, gclick, grclick, expect)");
            return result;
        }
        result.actions.push_back(std::move(action));
    }
    return result;
}

} // namespace console
