// The console's command-line options: --script and --transcript.
#include "console/console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace console {

namespace {

// Matches "--name VALUE" or "--name=VALUE" at argv[i]; sets value and the
// number of arguments used (0 when argv[i] is not this option).
int matchOption(int argc, char** argv, int i, std::string_view name, std::string& value) {
    const std::string_view arg = argv[i];
    if (arg == name) {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a file name%s\n", argv[i],
                         name == "--script" ? " ('-' for standard input)" : "");
            std::exit(2);
        }
        value = argv[i + 1];
        return 2;
    }
    if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
        value = std::string(arg.substr(name.size() + 1));
        if (value.empty()) {
            std::fprintf(stderr, "%.*s needs a file name\n", static_cast<int>(name.size()),
                         name.data());
            std::exit(2);
        }
        return 1;
    }
    return 0;
}

} // namespace

Options parseConsoleArgs(int& argc, char** argv) {
    Options options;
    int kept = 1;
    for (int i = 1; i < argc;) {
        int used = matchOption(argc, argv, i, "--script", options.scriptPath);
        if (used == 0) used = matchOption(argc, argv, i, "--transcript", options.transcriptPath);
        if (used == 0) {
            argv[kept++] = argv[i++];
        } else {
            i += used;
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return options;
}

bool answerHelpOrVersion(int argc, char** argv, std::string_view help, std::string_view version) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fwrite(help.data(), 1, help.size(), stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fwrite(version.data(), 1, version.size(), stdout);
            return true;
        }
    }
    return false;
}

} // namespace console
