#include "frame/command_chain.h"
#include "win/placement.h"
#include "win/text_size.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// A link of the chain that knows some ids, each enabled or not, and
// records what it ran.
struct Link final : kivrel::CommandTarget {
    std::map<unsigned, bool> known;
    std::vector<unsigned> ran;

    bool QueryCommand(unsigned id, kivrel::CommandState& state) const override {
        const auto it = known.find(id);
        if (it == known.end()) {
            return false;
        }
        state.enabled = it->second;
        return true;
    }
    void RunCommand(unsigned id) override { ran.push_back(id); }
};

TEST(CommandChainTest, FirstLinkThatKnowsACommandDecidesAndRunsIt) {
    Link view, frame, app;
    view.known = {{1, true}, {2, false}};
    frame.known = {{2, true}, {3, true}};
    app.known = {{3, true}, {4, true}};
    const kivrel::CommandChain chain({&view, &frame, &app});

    EXPECT_TRUE(chain.Execute(1));
    EXPECT_TRUE(chain.Execute(3));
    EXPECT_TRUE(chain.Execute(4));
    EXPECT_EQ(view.ran, std::vector<unsigned>{1});
    EXPECT_EQ(frame.ran, std::vector<unsigned>{3});
    EXPECT_EQ(app.ran, std::vector<unsigned>{4});

    // The view disables 2: the frame, which would enable it, is not asked.
    EXPECT_FALSE(chain.IsEnabled(2));
    EXPECT_FALSE(chain.Execute(2));
    EXPECT_TRUE(frame.ran.size() == 1 && view.ran.size() == 1);
}

// A missing view (not made yet, or gone) leaves the commands to the others.
TEST(CommandChainTest, UnknownCommandsAreDisabledAndDropped) {
    Link frame;
    frame.known = {{1, true}};
    const kivrel::CommandChain chain({nullptr, &frame});
    EXPECT_TRUE(chain.Execute(1));
    EXPECT_FALSE(chain.IsEnabled(9));
    EXPECT_FALSE(chain.Execute(9));
    EXPECT_EQ(frame.ran, std::vector<unsigned>{1});
}

TEST(SystemMenuPromptTest, PromptsForTheTabledItemsOnly) {
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF000), 61184u); // size
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF010), 61185u); // move
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF012), 61185u); // move chosen by mouse
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF020), 61186u); // minimise
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF030), 61187u); // maximise
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF040), 61188u); // next window
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF050), 61189u); // previous window
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF060), 61190u); // close
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF120), 61202u); // restore
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF130), 61203u); // task list
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF100), 0u);     // key menu
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF070), 0u);     // vertical scroll
    EXPECT_EQ(kivrel::SystemMenuPromptId(0xF140), 0u);
    EXPECT_EQ(kivrel::SystemMenuPromptId(0x0005), 0u);
}

// Dialogs over the main window: centred on it, and held inside the work area
// of the monitor that shows it, wherever that monitor lies.
TEST(DialogPlacementTest, CentredOverTheOwnerInsideItsMonitorsWorkArea) {
    const win::Box second = {1920, -200, 3200, 824}; // right of the primary, set higher
    const win::Point middle = win::CentreWithin(200, 100, {2200, 100, 2730, 500}, second);
    const win::Point clamped = win::CentreWithin(400, 300, {2900, -300, 3300, 0}, second);
    EXPECT_EQ((std::vector<long>{middle.x, middle.y, clamped.x, clamped.y}),
              (std::vector<long>{2365, 250, 2800, -200}));
}

} // namespace

TEST(TextSizeTest, FixedFontsGrowAsTheMessageFontGrew) {
    // Height, the DPI it was read at, and a 12-pixel font at 96 or 18 at 144 DPI.
    EXPECT_EQ(win::ScaleByTextSize(12, -12, 96), 12);
    EXPECT_EQ(win::ScaleByTextSize(12, -15, 96), 15);
    EXPECT_EQ(win::ScaleByTextSize(12, 16, 96), 16);
    EXPECT_EQ(win::ScaleByTextSize(18, -27, 144), 27);
    EXPECT_EQ(win::ScaleByTextSize(18, -18, 144), 18);
    // Never below the size asked for, nor above 225 %, and unknown is none.
    EXPECT_EQ(win::ScaleByTextSize(12, -11, 96), 12);
    EXPECT_EQ(win::ScaleByTextSize(12, -40, 96), 27);
    EXPECT_EQ(win::ScaleByTextSize(12, 0, 96), 12);
    EXPECT_EQ(win::ScaleByTextSize(12, -15, 0), 12);
}
