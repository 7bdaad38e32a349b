// "0. Reload Stars" by key script: the prompt with the catalogue's faintest
// magnitude, a range with an option, and a damaged catalogue that is named
// in a message while the program goes on.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class StarPrompt : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/STARS3D.BIN", {"BIN"}); }
};

TEST_F(StarPrompt, RangeAndNamedStars) {
    const auto r =
        run("key Enter\n"
            "key 0\n"
            "expect Enter Max Magnitude of Stars (11.5) or Magn. Range [default = 7.0]\n" // the
                                                                                          // faintest
                                                                                          // Messier
                                                                                          // object
            "text 0-1 /N\n"
            "expect Reading Star Library ...\n"
            // Named stars from magnitude 0 to 1: Vega, Capella, Rigel, Procyon,
            // Achernar, Betelgeuse, Hadar, Altair, Acrux, Aldebaran, Antares,
            // Spica... as the catalogue has them.
            "expect stars and objects\n"
            "key Enter\n"
            "expect Select Option\n"
            "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string t = transcript();
    const auto at = t.rfind("stars and objects");
    ASSERT_NE(at, std::string::npos);
    const int count = std::stoi(t.substr(t.rfind("... ", at) + 4));
    EXPECT_GE(count, 10);
    EXPECT_LE(count, 20);
}

TEST_F(StarPrompt, DamagedCatalogueIsNamedAndTheProgramGoesOn) {
    const fs::path stars = root / "BIN" / "STARS3D.BIN";
    fs::resize_file(stars, fs::file_size(stars) - 5); // truncated
    const auto r = run("key Enter\n"
                       "expect STARS3D.BIN is damaged\n" // at start-up
                       "key Enter\n"
                       "key 0\n"
                       "expect STARS3D.BIN is damaged\n"
                       "key Enter\n"
                       "expect Select Option\n"
                       "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
}

} // namespace
