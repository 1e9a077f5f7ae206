// Environment settings: defaults, clamps and the values the graphics system is given.
#include <kivctrl/gs_universe.h>
#include <kivctrl/ve_env.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace {

struct SettingCase {
    const char *name;
    std::function<void()> set;  // may be empty: the default is read
    std::function<double()> get;
    double expected;
};

class Settings : public ::testing::TestWithParam<SettingCase> {};

TEST_P(Settings, ReadBack)
{
    const SettingCase &c = GetParam();
    if (c.set)
        c.set();
    EXPECT_NEAR(c.get(), c.expected, 1e-6);
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
double red(QEL_COLOR c) { return c.r; }

INSTANTIATE_TEST_SUITE_P(
    Table, Settings,
    ::testing::Values(
        SettingCase{"FramerateDefault", {}, [] { return env_get_framerate(); }, 7.5},
        SettingCase{"ClipDefaultIsOnePercent", {}, [] { return env_get_clip(0); }, 1},
        SettingCase{"ClipAboveOne", [] { env_set_clip(1.5f, 0); }, [] { return env_get_clip(0); }, 100},
        SettingCase{"ClipRoundsHalfUp", [] { env_set_clip(0.005f, 0); }, [] { return env_get_clip(7); }, 1},
        SettingCase{"ClipRoundsDown", [] { env_set_clip(0.004f, 0); }, [] { return env_get_clip(0); }, 0},
        SettingCase{"ClipNaN", [] { env_set_clip(kNaN, 0); }, [] { return env_get_clip_ratio(); }, 0},
        SettingCase{"ClipOtherSelector", [] { env_set_clip(0.5f, 1); }, [] { return env_get_clip(0); }, 1},
        SettingCase{"RenderDefault", {}, [] { return env_get_render(); }, 0},
        SettingCase{"RenderFlat", [] { env_set_render(2); }, [] { return env_get_render(); }, 2},
        SettingCase{"RenderFlatInUniverse", [] { env_set_render(2); }, [] { return GSuniverse_getrendering(); }, 1},
        SettingCase{"RenderOther", [] { env_set_render(9); }, [] { return GSuniverse_getrendering(); }, 3},
        SettingCase{"GraphicsModeDefault", {}, [] { return env_get_graphics_mode(); }, 0},
        SettingCase{"SmoothnessDefault", {}, [] { return env_get_smoothness(); }, 10},
        SettingCase{"SmoothnessZero", [] { env_set_smoothness(0); }, [] { return env_get_smoothness(); }, 1},
        SettingCase{"SmoothnessHigh", [] { env_set_smoothness(250); }, [] { return env_get_smoothness(); }, 100},
        SettingCase{"BackgroundDefault", {}, [] { return red(env_get_bgcolor()); }, 0.753f},
        SettingCase{"TextDefault", {}, [] { return red(env_get_textcolor()); }, 1},
        SettingCase{"AmbientDefault", {}, [] { return env_get_ambient(); }, 0.3f},
        SettingCase{"AmbientAboveOne", [] { env_set_ambient(4.0f); }, [] { return env_get_ambient(); }, 1},
        SettingCase{"AmbientNaN", [] { env_set_ambient(kNaN); }, [] { return env_get_ambient(); }, 0},
        SettingCase{"AutohideDefault", {}, [] { return env_get_autohide(); }, 1},
        SettingCase{"AutohideThree", [] { env_set_autohide(3); }, [] { return env_get_autohide(); }, 2},
        SettingCase{"AutohideNegative", [] { env_set_autohide(-1); }, [] { return env_get_autohide(); }, 2},
        SettingCase{"AutohideOff", [] { env_set_autohide(0); }, [] { return env_get_autohide(); }, 0},
        SettingCase{"AutohideOnSelectDefault", {}, [] { return env_get_autohideonselect(); }, 0},
        SettingCase{"EnvelopesNest",
                    [] { env_set_onlydrawenvelopes(1), env_set_onlydrawenvelopes(1), env_set_onlydrawenvelopes(0); },
                    [] { return env_get_onlydrawenvelopes(); }, 1},
        SettingCase{"BoxesDefault", {}, [] { return env_get_drawinvisiblesasboxes(); }, 0},
        SettingCase{"ShadowDefault", {}, [] { return env_get_shadowqual(); }, 0},
        SettingCase{"ViewOnlyDefault", {}, [] { return env_get_view_only(); }, 1},
        SettingCase{"ConstraintHintsDefault", {}, [] { return env_get_constraint_hints(); }, 1},
        SettingCase{"VisibleLayerDefault", {}, [] { return env_get_visiblelayer(); }, -2},
        SettingCase{"MotionBlurFrames", [] { env_set_motionblurnumfadeframes(5); },
                    [] { return env_get_motionblurnumfadeframes(); }, 5}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(WindowSize, StoredOnlyWhenBothArePositive)
{
    int w = -1, h = -1;
    env_get_winsize(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    env_set_winsize(640, 480);
    env_set_winsize(0, 480);
    env_set_winsize(640, -1);
    env_get_winsize(w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

TEST(CurrentFile, CutOnACharacterBoundary)
{
    EXPECT_EQ(env_get_file(), nullptr);
    env_set_file(std::string(300, 'a').c_str());
    EXPECT_EQ(std::string(env_get_file()), std::string(255, 'a'));
    // 254 bytes, then a two-byte character that would straddle the cut.
    env_set_file((std::string(254, 'a') + "\xC3\xA9" + "b").c_str());
    EXPECT_EQ(std::string(env_get_file()), std::string(254, 'a'));
    env_set_file(nullptr);
    EXPECT_EQ(env_get_file(), nullptr);
}

TEST(Colours, BothFormsAgree)
{
    env_set_bgcolor(QEL_COLOR{0.1f, 0.2f, 0.3f});
    float r, g, b;
    env_get_bgcolor(r, g, b);
    EXPECT_FLOAT_EQ(b, 0.3f);
    env_set_textcolor(0.4f, 0.5f, 0.6f);
    EXPECT_FLOAT_EQ(env_get_textcolor().g, 0.5f);
}

}  // namespace
