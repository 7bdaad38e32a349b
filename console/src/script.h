// The script language of the script backend: parsing one file of actions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace console {

struct ScriptAction {
    enum class Kind { Key, Text, Click, RightClick, GfxClick, GfxRightClick, Expect };
    Kind kind = Kind::Key;
    int key = 0;      // Kind::Key: the key code
    std::string text; // Kind::Text: the characters to type; Kind::Expect: the wanted text
    int a = 0, b = 0; // clicks: column and row (cells) or x and y (pixels)
    int line = 0;     // 1-based line in the script, for messages
};

struct ParsedScript {
    std::vector<ScriptAction> actions;
    std::string error; // empty when the whole script is good
};

// Largest script accepted, bytes: a script is typed by hand or generated
// for a test, never anywhere near this.
inline constexpr std::size_t kMaxScriptBytes = 16u << 20;

// Parses a whole script; sourceName names it in error messages
// ("<name> line <n>: ..."). Stops at the first bad line.
ParsedScript parseScript(std::string_view content, std::string_view sourceName);

// Key code of a `key` argument: one character, or a key name (any case).
// Returns 0 for an unknown name.
int keyFromName(std::string_view name);

} // namespace console
