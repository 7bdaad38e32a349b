// Which file each body of a run came from, so that a message about a body
// (the integration's Error 6) can name the file to check. Bodies are
// recorded by slot and name when they are loaded; a body that was moved to
// another slot since (the collision trap fills the slot of a body it
// removes) is found again by its name.
#pragma once

#include "tarvo/dynamics/body_table.h"

#include <string>
#include <vector>

namespace tarvo {

class BodySources {
  public:
    void clear() { slots_.clear(); }
    // Bodies first .. last of the table came from `file` (its name is kept).
    void record(const BodyTable& table, int first, int last, const std::string& file);
    // The name of the file body i came from; "" when it is not known.
    std::string fileOf(const BodyTable& table, int i) const;
    // " Body 14 (VESTOID) came from ODD.TVX, body 0 (SUN) from PL431MND.BIN."
    // for the bodies given (-1 for none); "" when no file is known.
    std::string note(const BodyTable& table, int body, int other) const;

  private:
    struct Source {
        std::string name; // the body's name when it was loaded
        std::string file;
    };
    std::vector<Source> slots_;
};

} // namespace tarvo
