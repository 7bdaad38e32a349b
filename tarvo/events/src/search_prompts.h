// Prompts the close-approach dialogs share.
#pragma once

#include "tarvo/events/close_approach.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo {

struct BodyTable;

// A prompt of one or two lines at `row`; nullopt on Esc.
std::optional<std::string> askAt(int row, const std::string& first, const std::string& second = {});
// A message at `row`, then a key.
void sayAt(int row, const std::string& text);
// "Enter Name or # of Selected body": a name, a number, -1 (all) or a range.
std::optional<PairSelection> selectBodies(const BodyTable& table, int row);
// The warning before MINDIST.DAT or MAXMI???.DAT are overwritten; false: abort.
bool overwriteAllowed(const std::filesystem::path& dir);
// That warning shown; true on Y, false on N or Esc.
bool overwriteWarningAnswered();

} // namespace tarvo
