// The shared library exports every operation its public headers declare,
// and nothing of its inner parts. Oracle: the declarations in pictor.h and
// pictor_host.h, looked up in libpictor.so with dlsym.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::set<std::string> declaredOperations() {
    std::set<std::string> names;
    const std::regex declaration(R"(PICTOR(?:_HOST)?_API\s+[A-Za-z_]+[\s\*]+([A-Za-z_]\w*)\s*\()");
    for (const char* header : {"/pictor/include/pictor.h", "/pictor/include/pictor_host.h"}) {
        std::ifstream in(std::string(TARVO_SOURCE_DIR) + header);
        std::stringstream text;
        text << in.rdbuf();
        const std::string s = text.str();
        for (std::sregex_iterator it(s.begin(), s.end(), declaration), end; it != end; ++it)
            names.insert((*it)[1]);
    }
    return names;
}

TEST(SharedLibrary, ExportsEveryDeclaredOperation) {
    const std::set<std::string> names = declaredOperations();
    ASSERT_GE(names.size(), 78u); // 74 operations and 4 host calls
    EXPECT_TRUE(names.count("OpenGfxEx") && names.count("SaveGfxWindow") &&
                names.count("PictorHostOpen"));
    void* library = dlopen(PICTOR_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const std::string& name : names) EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
    // The library's inner parts stay hidden.
    EXPECT_EQ(dlsym(library, "_ZN6pictor9decodeBmpESt4spanIKhLm18446744073709551615EE"), nullptr);
    dlclose(library);
}

} // namespace
