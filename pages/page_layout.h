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
    return {.name = name,
            .caption = kCaption,
            .bounds = {0, 0, kPageClientWidth, kPageClientHeight},
            .colour = colour,
            .maximizeBox = maximizeBox,
            .centreOnMainForm = centreOnMainForm};
}

constexpr ControlLayout ButtonBar(Bounds bounds, int tab) {
    return {.kind = ControlKind::Panel, .name = "Panel1", .bounds = bounds, .tabOrder = tab};
}
constexpr ControlLayout NextButton(int tab, unsigned flags = kNoFlags) {
    return {.kind = ControlKind::Button, .name = "Next", .parent = "Panel1", .bounds = {324, 11, 75, 25},
            .text = "Далее >", .tabOrder = tab, .modalResult = ModalResult::Next, .flags = flags};
}
constexpr ControlLayout CancelButton(int tab) {
    return {.kind = ControlKind::Button, .name = "Cancel", .parent = "Panel1", .bounds = {420, 11, 75, 25},
            .text = "Отмена", .tabOrder = tab, .modalResult = ModalResult::Cancel};
}
constexpr ControlLayout BackButton(int tab) {
    return {.kind = ControlKind::Button, .name = "Back", .parent = "Panel1", .bounds = {246, 11, 75, 25},
            .text = "< Назад", .tabOrder = tab, .modalResult = ModalResult::Back};
}

// White header band with the picture, the page title and a hint under it.
constexpr ControlLayout HeaderBand(int tab) {
    return {.kind = ControlKind::Panel, .name = "Panel2", .bounds = {-10, 0, 517, 59}, .tabOrder = tab,
            .flags = kWhite};
}
constexpr ControlLayout HeaderPicture() {
    return {.kind = ControlKind::Picture, .name = "Image1", .parent = "Panel2", .bounds = {450, 1, 55, 55},
            .picture = kHeaderPicture};
}
constexpr ControlLayout HeaderTitle(const char* text, int width = 177) {
    return {.kind = ControlKind::StaticText, .name = "StaticText1", .parent = "Panel2",
            .bounds = {34, 4, width, 17}, .text = text, .tabOrder = 0, .flags = kBold};
}
constexpr ControlLayout HeaderHint(const char* text, int height = 25) {
    return {.kind = ControlKind::StaticText, .name = "StaticText2", .parent = "Panel2",
            .bounds = {50, 24, 393, height}, .text = text, .tabOrder = 1};
}

// Picture strip layout: the side picture and the large centred title.
constexpr ControlLayout SidePicture() {
    return {.kind = ControlKind::Picture, .name = "Image1", .bounds = {0, 0, 161, 356}, .flags = kAlignLeft,
            .picture = kSidePicture};
}
constexpr ControlLayout StripTitle(const char* text, int tab) {
    return {.kind = ControlKind::StaticText, .name = "StaticText1", .bounds = {168, 8, 318, 49}, .text = text,
            .tabOrder = tab, .flags = kCentred, .font = {.face = "Arial", .height = -21, .charset = RUSSIAN_CHARSET}};
}

// A static text of the page itself, positioned and wrapped within its bounds.
constexpr ControlLayout Text(const char* name, Bounds bounds, const char* text, int tab) {
    return {.kind = ControlKind::StaticText, .name = name, .bounds = bounds, .text = text, .tabOrder = tab};
}

}  // namespace qv::page
