#pragma once
// The help topics the program opens, by number. Every window and dialog takes its topic from
// here, so the list below is the list of topics the help must hold.
#include <array>

namespace vx::help {

// The index every other topic can be reached from: "&Contents" and F1 in the main window.
inline constexpr int kContentsTopic = 1;
inline constexpr int kRunModeTopic = 2;
inline constexpr int kModifyModeTopic = 3;

inline constexpr int kRunProgramTopic = 223;
inline constexpr int kShutDownTopic = 287;
inline constexpr int kAddPageTopic = 301;
inline constexpr int kSetPaletteTopic = 312;
inline constexpr int kCopyStyleTopic = 313;
inline constexpr int kAddProgramGroupTopic = 314;
inline constexpr int kIconLibraryTopic = 315;
inline constexpr int kImageTopic = 317;
inline constexpr int kLabelTopic = 319;
inline constexpr int kLineTopic = 320;
inline constexpr int kUsageLogTopic = 321;
inline constexpr int kMovePageTopic = 322;
inline constexpr int kPagePasswordTopic = 324;
inline constexpr int kPasswordTopic = 325;
inline constexpr int kSetGridTopic = 327;
inline constexpr int kDesktopAttributesTopic = 328;
inline constexpr int kDirectoriesTopic = 329;
inline constexpr int kShapeTopic = 330;
inline constexpr int kAboutTopic = 334;

// The button dialog: one topic per kind of button on its first page, one per other page.
inline constexpr int kSoftwareButtonTopic = 750;
inline constexpr int kPageButtonTopic = 751;
inline constexpr int kBrowserButtonTopic = 752;
inline constexpr int kButtonAppearanceTopic = 753;
inline constexpr int kButtonMiscellaneousTopic = 754;
inline constexpr int kButtonPasswordTopic = 755;

// The forms' own contexts (F1 or the caption's "?"). Each shows its form's topic, so that F1
// and the form's "&Help" button never disagree.
inline constexpr int kPagePasswordContext = 765;
inline constexpr int kAddProgramGroupContext = 766;
inline constexpr int kDesktopAttributesContext = 769;
inline constexpr int kDirectoriesContext = 771;

inline constexpr std::array kOpenedTopics = {
    kContentsTopic,          kRunModeTopic,          kModifyModeTopic,          kRunProgramTopic,
    kShutDownTopic,          kAddPageTopic,          kSetPaletteTopic,          kCopyStyleTopic,
    kAddProgramGroupTopic,   kIconLibraryTopic,      kImageTopic,               kLabelTopic,
    kLineTopic,              kUsageLogTopic,         kMovePageTopic,            kPagePasswordTopic,
    kPasswordTopic,          kSetGridTopic,          kDesktopAttributesTopic,   kDirectoriesTopic,
    kShapeTopic,             kAboutTopic,            kSoftwareButtonTopic,      kPageButtonTopic,
    kBrowserButtonTopic,     kButtonAppearanceTopic, kButtonMiscellaneousTopic, kButtonPasswordTopic,
    kPagePasswordContext,    kAddProgramGroupContext, kDesktopAttributesContext, kDirectoriesContext,
};

}  // namespace vx::help
