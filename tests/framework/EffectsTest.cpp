// The blink and the glide on the headless main window, one pass per millisecond of the
// manual clock.

#include "WindowFixture.h"

#include "framework/Effects.h"
#include "framework/StaticPicture.h"

namespace {

class EffectsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        screen = new ProbeScreen(window);
        Pass();
    }
    // Records the picture's position each time it changes.
    void TrackPosition(IMPicture* picture)
    {
        ConnectTracked(picture->sigDirty, picture, [this, picture](const IMEvent&) {
            POINT p = picture->GetPosition();
            if (positions.empty() || !(positions.back().first == p))
                positions.emplace_back(p, Now());
            return 0L;
        });
    }

    ProbeScreen* screen { nullptr };
    std::vector<std::pair<POINT, uint64_t>> positions;
};

} // namespace

// Three blinks in 600 ms: 100 ms phases, hidden at 100, 300, 500, shown at 200, 400, 600,
// closed at 700.
TEST_F(EffectsTest, BlinkHidesAndShowsThenCloses)
{
    IMPicture* picture = CreateBlinkingPicture(screen, 40, 50, L"EditBarKaretka", 3, 600, 5);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetPosition(), (POINT { 40, 50 }));
    std::vector<std::string> log;
    auto record = [&](const std::string& what) {
        return [&log, what, this](const IMEvent&) {
            log.push_back(what + "@" + std::to_string(Now()));
            return 0L;
        };
    };
    ConnectTracked(picture->sigHidden, picture, record("hide"));
    ConnectTracked(picture->sigShown, picture, record("show"));
    ConnectTracked(picture->sigClosed, picture, record("close"));
    RunFor(800);
    EXPECT_EQ(log, (std::vector<std::string> { "hide@100", "show@200", "hide@300", "show@400", "hide@500",
                       "show@600", "close@700" }));
    EXPECT_EQ(window->Timers().Count(), 0u);
    EXPECT_TRUE(screen->GetChildren().empty());
}

// Zero blinks would divide by zero: refused, nothing created.
TEST_F(EffectsTest, BlinkWithoutBlinksIsRefused)
{
    EXPECT_EQ(CreateBlinkingPicture(screen, 0, 0, L"EditBarKaretka", 0, 600, 0), nullptr);
    EXPECT_EQ(CreateBlinkingPicture(nullptr, 0, 0, L"EditBarKaretka", 3, 600, 0), nullptr);
    Pass();
    EXPECT_TRUE(screen->GetChildren().empty());
    EXPECT_TRUE(screen->GetPendingChildren().empty());
    EXPECT_EQ(window->Timers().Count(), 0u);
}

TEST_F(EffectsTest, BlinkStopsWhenItsPictureIsReleased)
{
    IMPicture* picture = CreateBlinkingPicture(screen, 0, 0, L"EditBarKaretka", 5, 1000, 0);
    ASSERT_NE(picture, nullptr);
    int toggles = 0;
    ConnectTracked(picture->sigHidden, picture, [&](const IMEvent&) { return long(++toggles); });
    RunFor(150);
    EXPECT_EQ(toggles, 1);
    picture->Release();
    RunFor(500);
    EXPECT_EQ(toggles, 1);
    EXPECT_EQ(window->Timers().Count(), 0u);
}

// From (0, 0) to (100, 50): steps of (2, 1); the 50th move reaches (100, 50), the 51st and
// last (102, 51), 510 ms after the start.
TEST_F(EffectsTest, GlideMakesFiftyOneMovesAndOvershootsByOneStep)
{
    IMPicture* picture = screen->CreatePicture(0, 0, L"EditBarKaretka", 0, 0xFFFFFFFF);
    Pass();
    TrackPosition(picture);
    ASSERT_TRUE(AnimateMove(0.0f, 0.0f, 100, 50, picture));
    RunFor(700);
    ASSERT_EQ(positions.size(), 51u);
    for (size_t k = 0; k < positions.size(); ++k) {
        const int step = static_cast<int>(k) + 1;
        EXPECT_EQ(positions[k].first, (POINT { 2 * step, step })) << "move " << step;
        EXPECT_EQ(positions[k].second, uint64_t(10 * step)) << "move " << step;
    }
    EXPECT_EQ(positions[49].first, (POINT { 100, 50 }));
    EXPECT_EQ(positions[50].first, (POINT { 102, 51 }));
    EXPECT_EQ(window->Timers().Count(), 0u);
}

TEST_F(EffectsTest, GlideTruncatesFractionalPositions)
{
    IMPicture* picture = screen->CreatePicture(0, 0, L"EditBarKaretka", 0, 0xFFFFFFFF);
    Pass();
    TrackPosition(picture);
    AnimateMove(10.5f, 20.0f, 0, 0, picture); // steps of (-0.21, -0.4)
    RunFor(30);
    // (10.29, 19.6), then (10.08, 19.2) on the same pixel, then (9.87, 18.8).
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0], (std::pair<POINT, uint64_t> { { 10, 19 }, 10 }));
    EXPECT_EQ(positions[1], (std::pair<POINT, uint64_t> { { 9, 18 }, 30 }));
    RunFor(600);
    EXPECT_EQ(positions.back().first, (POINT { 0, 0 })); // (-0.21, -0.4) truncates towards zero
}

// A glide whose picture is released (or deleted with its screen) stops at once; no step
// touches the deleted control (the address sanitizer build checks it).
TEST_F(EffectsTest, GlideStopsWhenItsPictureIsReleasedOrDeleted)
{
    IMPicture* released = screen->CreatePicture(0, 0, L"EditBarKaretka", 0, 0xFFFFFFFF);
    auto* other = new ProbeScreen(window);
    IMPicture* deletedWithScreen = other->CreatePicture(0, 0, L"EditBarKaretka", 0, 0xFFFFFFFF);
    Pass();
    TrackPosition(released);
    AnimateMove(0.0f, 0.0f, 500, 0, released);
    AnimateMove(0.0f, 0.0f, 500, 0, deletedWithScreen);
    RunFor(100);
    ASSERT_EQ(positions.size(), 10u);
    released->Close();
    other->Close();
    RunFor(300);
    EXPECT_EQ(positions.size(), 10u);
    EXPECT_EQ(window->Timers().Count(), 0u);
}

// With no picture the mouse cursor glides; its moves reach the tree like any other.
TEST_F(EffectsTest, GlideWithoutPictureMovesTheCursor)
{
    std::vector<POINT> moves;
    ConnectTracked(window->sigMouseMove, window, [&](const IMMouseEvent& e) {
        moves.push_back(POINT { e.x, e.y });
        return 0L;
    });
    ASSERT_TRUE(AnimateMove(300.0f, 300.0f, 187, 219, nullptr));
    RunFor(600);
    ASSERT_EQ(moves.size(), 51u);
    // 300 + 51/50 * (187 - 300) = 184.74, 300 + 51/50 * (219 - 300) = 217.38, in float steps.
    EXPECT_EQ(moves.front(), (POINT { 297, 298 }));
    EXPECT_EQ(GetCursorPosition(), moves.back());
    EXPECT_NEAR(moves.back().x, 184, 1);
    EXPECT_NEAR(moves.back().y, 217, 1);
}
