// The files the bodies of a run came from, as a failed step names them.
#include "tarvo/shell/body_sources.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

struct BodySourcesTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(createBodyTable(60, table).ok);
        const char* names[] = {"SUN", "MERCURY", "VENUS", "EARTH", "VESTOID", "PALLOID"};
        for (int i = 0; i < 6; ++i) setBodyName(table, i, names[i]);
        sources.record(table, 0, 3, "/tree/BIN/PL431SN.BIN");
        sources.record(table, 4, 5, "ODD.TVX");
    }
    BodyTable table;
    BodySources sources;
};

TEST_F(BodySourcesTest, EachBodyIsNamedWithTheFileItCameFrom) {
    EXPECT_EQ(sources.fileOf(table, 0), "PL431SN.BIN");
    EXPECT_EQ(sources.fileOf(table, 5), "ODD.TVX");
    EXPECT_EQ(sources.fileOf(table, 6), "");
    EXPECT_EQ(sources.fileOf(table, -1), "");
    EXPECT_EQ(sources.note(table, 4, 0),
              " Body 4 (VESTOID) came from ODD.TVX, body 0 (SUN) from PL431SN.BIN.");
    EXPECT_EQ(sources.note(table, 4, -1), " Body 4 (VESTOID) came from ODD.TVX.");
    EXPECT_EQ(sources.note(table, 7, -1), "");
}

// A body moved to another slot (the collision trap fills a removed body's
// slot with the last body) is found by its name.
TEST_F(BodySourcesTest, ABodyMovedToAnotherSlotIsFoundByName) {
    setBodyName(table, 2, "PALLOID");
    EXPECT_EQ(sources.fileOf(table, 2), "ODD.TVX");
    sources.clear();
    EXPECT_EQ(sources.fileOf(table, 2), "");
}

} // namespace
} // namespace tarvo
