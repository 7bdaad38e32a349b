#include "tarvo/shell/file_output.h"

#include "tarvo/shell/text_util.h"

#include <fstream>
#include <set>

namespace tarvo {

std::vector<std::string> outFileNames(const std::vector<std::string>& bodyNames) {
    std::vector<std::string> names;
    std::set<std::string> taken; // compared in upper case: the suite's names are upper case
    for (const auto& body : bodyNames) {
        std::string base = trim(body);
        for (auto& c : base) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (u < 32 || u == 127 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' ||
                c == '"' || c == '<' || c == '>' || c == '|' || c == ' ')
                c = '_';
        }
        if (base.empty() || base == "." || base == "..") base = "BODY";
        std::string name = base + ".OUT";
        for (int k = 2; taken.count(upperCase(name)); ++k)
            name = base + "_" + std::to_string(k) + ".OUT";
        taken.insert(upperCase(name));
        names.push_back(name);
    }
    return names;
}

bool appendRecord(const std::filesystem::path& file, const std::string& line) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    return out && (out << line << "\r\n") && out.flush();
}

} // namespace tarvo
