#pragma once
// The parts every page shares: window, header band, picture strip and the
// button bar with its buttons.
#include "toolkit/layout.h"

namespace qv::page {

inline constexpr const char* kCaption = "Установка - Кворвель";
inline constexpr const char* kSidePicture = "SIDEPICTURE";
inline constexpr const char* kHeaderPicture = "HEADERPICTURE";

constexpr FormLayout Window(const char* name, COLORREF colour, bool maximizeBox = false,
                          bool centreOnMainForm = false) {
    return {name, kCaption, {0, 0, kPageClientWidth, kPageClientHeight}, colour, maximizeBox, false,
            centreOnMainForm};
}

constexpr ControlLayout ButtonBar(Bounds bounds, int tab) {
    return {ControlKind::Panel, "Panel1", nullptr, bounds, "", tab};
}
constexpr ControlLayout NextButton(int tab, unsigned flags = kNoFlags) {
    return {ControlKind::Button, "Next", "Panel1", {324, 11, 75, 25}, "Далее >", tab, 1, flags};
}
constexpr ControlLayout CancelButton(int tab) {
    return {ControlKind::Button, "Cancel", "Panel1", {420, 11, 75, 25}, "Отмена", tab, 2};
}
constexpr ControlLayout BackButton(int tab) {
    return {ControlKind::Button, "Back", "Panel1", {246, 11, 75, 25}, "< Назад", tab, 3};
}

// White header band with the picture, the page title and a hint under it.
constexpr ControlLayout HeaderBand(int tab) {
    return {ControlKind::Panel, "Panel2", nullptr, {-10, 0, 517, 59}, "", tab, 0, kWhite};
}
constexpr ControlLayout HeaderPicture() {
    return {ControlKind::Picture, "Image1", "Panel2", {450, 1, 55, 55}, "", -1, 0, kNoFlags, {}, kHeaderPicture};
}
constexpr ControlLayout HeaderTitle(const char* text, int width = 177) {
    return {ControlKind::StaticText, "StaticText1", "Panel2", {34, 4, width, 17}, text, 0, 0, kBold};
}
constexpr ControlLayout HeaderHint(const char* text, int height = 25) {
    return {ControlKind::StaticText, "StaticText2", "Panel2", {50, 24, 393, height}, text, 1};
}

// Picture strip layout: the side picture and the large centred title.
constexpr ControlLayout SidePicture() {
    return {ControlKind::Picture, "Image1", nullptr, {0, 0, 161, 356}, "", -1, 0, kAlignLeft, {}, kSidePicture};
}
constexpr ControlLayout StripTitle(const char* text, int tab) {
    return {ControlKind::StaticText, "StaticText1", nullptr, {168, 8, 318, 49}, text, tab, 0, kCentred,
            {"Arial", -21, false, RUSSIAN_CHARSET}};
}

}  // namespace qv::page
