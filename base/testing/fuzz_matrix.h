// The cases every reader of a user-suppliable file is tried with: cuts,
// flipped bytes, numbers beyond a double or no number (nan, inf), an
// overlong line, a directory, a file without read permission (read as the
// unprivileged user) and a FIFO without a writer. Each case runs in a child
// process with a time limit, so that a crash or a hang fails the case
// instead of the whole test program. A reader must name the file whenever
// it does not take it, must never write the file, and must never take a
// number that is no finite value as if it were one.
#pragma once

#include "unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tarvo::testing {

// What a reader made of a file: `taken` when it used the file as sound,
// without a word; otherwise `message` says why not (or what it left out).
struct ReaderVerdict {
    bool taken = false;
    std::string message;
};
using FileReader = std::function<ReaderVerdict(const std::filesystem::path&)>;

struct FuzzOptions {
    bool text = true; // numbers and overlong lines apply to text files only
    bool refusesOverlongLines = true;
    int cuts = 12;  // truncations, spread over the file
    int flips = 40; // rounds of three flipped bytes
    unsigned seed = 7;
    int secondsPerCase = 10;
    // Numbers of the good file (from 1, in file order) that are part of a
    // text the reader does not read as numbers ("Windows 10" of a key).
    std::vector<std::size_t> textNumbers;
};

namespace fuzz_detail {

// The verdict of `reader` on `file`, computed in a child process stopped
// after `seconds`; `finished` false when it crashed or did not finish.
inline ReaderVerdict verdictInChild(const FileReader& reader, const std::filesystem::path& file,
                                    int seconds, bool unprivileged, bool& finished) {
    finished = false;
    int ends[2];
    if (::pipe(ends) != 0) return {};
    const pid_t child = ::fork();
    if (child < 0) return {};
    if (child == 0) {
        ::close(ends[0]);
        ::alarm(static_cast<unsigned>(seconds));
        if (unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        const ReaderVerdict v = reader(file);
        const std::string text = std::string(v.taken ? "1" : "0") + v.message;
        const ssize_t written = ::write(ends[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 3);
    }
    ::close(ends[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    finished = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !text.empty();
    if (!finished) return {};
    return {text[0] == '1', text.substr(1)};
}

inline void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace fuzz_detail

// Runs the whole matrix on `reader`, with `good` (bytes the reader takes)
// written as `directory / name`. Failures name the case.
inline void runReaderFuzz(const std::filesystem::path& directory, const std::string& name,
                          const std::string& good, const FileReader& reader,
                          const FuzzOptions& options = {}) {
    namespace fs = std::filesystem;
    using namespace fuzz_detail;
    const fs::path file = directory / name;
    auto check = [&](const std::string& label, const std::string* bytes, bool mustRefuse,
                     bool unprivileged = false) {
        SCOPED_TRACE(name + ": " + label);
        bool finished = false;
        const ReaderVerdict v =
            verdictInChild(reader, file, options.secondsPerCase, unprivileged, finished);
        ASSERT_TRUE(finished) << "the reader crashed or did not finish in "
                              << options.secondsPerCase << " s";
        if (!v.taken) {
            EXPECT_NE(v.message.find(name), std::string::npos) << v.message;
        }
        if (mustRefuse) {
            EXPECT_FALSE(v.taken) << "taken without a word";
        }
        if (bytes) {
            EXPECT_EQ(bytesOf(file), *bytes) << "the file was written";
        }
    };

    // The good file itself is taken.
    writeBytes(file, good);
    {
        bool finished = false;
        const ReaderVerdict v =
            verdictInChild(reader, file, options.secondsPerCase, false, finished);
        ASSERT_TRUE(finished && v.taken) << name << ": the good file is not taken: " << v.message;
    }
    std::mt19937 random(options.seed);
    for (int k = 1; k <= options.cuts && !good.empty(); ++k) {
        const std::string cut = good.substr(0, good.size() * k / (options.cuts + 1));
        writeBytes(file, cut);
        check("cut at " + std::to_string(cut.size()), &cut, false);
    }
    for (int round = 0; round < options.flips && !good.empty(); ++round) {
        std::string bytes = good;
        for (int k = 0; k < 3; ++k)
            bytes[random() % bytes.size()] ^= static_cast<char>(1 << (random() % 8));
        writeBytes(file, bytes);
        check("flipped bytes, round " + std::to_string(round), &bytes, false);
    }
    if (options.text) {
        // Each number of the file, in turn (at most 24 of them, spread over
        // the file), beyond a double or no finite number.
        // (Numbers standing alone: the digits of a name such as "BODY1" are no number.)
        static const std::regex number(
            R"((^|[\s,])([-+]?[0-9]+\.?[0-9]*([eE][-+]?[0-9]+)?)(?=[\s,]|$))");
        std::vector<std::pair<std::size_t, std::size_t>> places;
        for (auto it = std::sregex_iterator(good.begin(), good.end(), number);
             it != std::sregex_iterator(); ++it)
            places.emplace_back(static_cast<std::size_t>(it->position(2)),
                                static_cast<std::size_t>(it->length(2)));
        const std::size_t stride = places.size() / 24 + 1;
        for (std::size_t p = 0; p < places.size(); p += stride)
            for (const char* bad : {"9.9e999", "-9.9e999", "nan", "inf"}) {
                if (std::find(options.textNumbers.begin(), options.textNumbers.end(), p + 1) !=
                    options.textNumbers.end())
                    continue;
                std::string bytes = good;
                bytes.replace(places[p].first, places[p].second, bad);
                writeBytes(file, bytes);
                check(std::string("number ") + std::to_string(p + 1) + " as " + bad, &bytes, true);
            }
        std::string bytes = good;
        const std::size_t lineEnd = good.find('\n');
        bytes.insert(lineEnd == std::string::npos ? good.size() : lineEnd + 1,
                     std::string(70000, '1') + "\r\n");
        writeBytes(file, bytes);
        check("an overlong line", &bytes, options.refusesOverlongLines);
    }
    // A directory, a FIFO without a writer, a file without read permission.
    fs::remove_all(file);
    fs::create_directory(file);
    check("a directory", nullptr, true);
    fs::remove_all(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    check("a FIFO", nullptr, true);
    fs::remove_all(file);
    writeBytes(file, good);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::replace);
    fs::permissions(directory, fs::perms::all, fs::perm_options::replace);
    check("no read permission", &good, true, true);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace);
}

} // namespace tarvo::testing
