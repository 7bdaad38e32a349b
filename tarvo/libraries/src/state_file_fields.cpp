#include "state_file_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvo {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Whole field as a number: a sign, digits with at most one point, an
// optional exponent (E or D); nothing else.
bool parseWholeNumber(std::string text, long double& value)
{
    if (!text.empty() && text.back() == '#') text.pop_back();
    if (text.empty() || text.size() > 64) return false;
    for (char& c : text)
        if (c == 'D' || c == 'd') c = 'E';
    if (text.find_first_of("xXpPnNiI") != std::string::npos) return false;  // no hex, nan or inf
    char* end = nullptr;
    value = std::strtold(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

}  // namespace

void StateFileFields::skipBlanks()
{
    while (position_ < text_.size() && isBlank(text_[position_])) ++position_;
}

void StateFileFields::skipBlanksAndLineEnds()
{
    while (position_ < text_.size() && (isBlank(text_[position_]) || isLineEnd(text_[position_]))) ++position_;
}

void StateFileFields::consumeTerminator()
{
    skipBlanks();
    if (position_ >= text_.size()) return;
    if (text_[position_] == ',') {
        ++position_;
    } else if (text_[position_] == '\r') {
        ++position_;
        if (position_ < text_.size() && text_[position_] == '\n') ++position_;
    } else if (text_[position_] == '\n') {
        ++position_;
    }
}

bool StateFileFields::atEnd()
{
    const std::size_t saved = position_;
    skipBlanksAndLineEnds();
    const bool end = position_ >= text_.size();
    position_ = saved;
    return end;
}

int StateFileFields::line() const
{
    const std::size_t upTo = std::min(position_, text_.size());
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + upTo, '\n'));
}

StateFileFields::Outcome StateFileFields::number(long double& value, std::string& field)
{
    skipBlanksAndLineEnds();
    if (position_ >= text_.size()) return Outcome::EndOfFile;
    const std::size_t start = position_;
    fieldLine_ = line();
    while (position_ < text_.size() && !isBlank(text_[position_]) && !isLineEnd(text_[position_]) &&
           text_[position_] != ',')
        ++position_;
    field.assign(text_.substr(start, position_ - start));
    consumeTerminator();
    return parseWholeNumber(field, value) ? Outcome::Read : Outcome::NotANumber;
}

StateFileFields::Outcome StateFileFields::string(std::string& value)
{
    skipBlanks();
    if (position_ >= text_.size()) return Outcome::EndOfFile;
    const std::size_t start = position_;
    fieldLine_ = line();
    while (position_ < text_.size() && !isLineEnd(text_[position_]) && text_[position_] != ',') ++position_;
    value.assign(text_.substr(start, position_ - start));
    if (position_ < text_.size() && text_[position_] == ',') {
        ++position_;
    } else {
        consumeTerminator();
    }
    return Outcome::Read;
}

}  // namespace tarvo
