// The editing rules of readLine, apart from any screen: a text, a caret and
// a capacity, changed by one key at a time.
#pragma once

#include "console/keys.h"

#include <string>
#include <string_view>

namespace console {

class LineEditor {
  public:
    enum class Outcome { Editing, Accepted, Abandoned };

    LineEditor(int capacity, std::string_view initial);

    Outcome apply(const Event& event);
    const std::u32string& text() const { return text_; }
    int caret() const { return caret_; } // 0-based position in text
    int capacity() const { return capacity_; }
    std::string utf8() const;

  private:
    std::u32string text_;
    int caret_ = 0;
    int capacity_ = 0;
};

} // namespace console
