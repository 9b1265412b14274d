#pragma once
// The parts every page shares: window, header band, picture strip and the
// button bar with its buttons. What a page sets of a part is named where it
// is used: page::Text({.name = "StaticText3", .bounds = {...}, .text = "...", .tabOrder = 3}).
#include <algorithm>
#include <array>
#include <cstddef>

#include "toolkit/layout.h"

namespace qv::page {

inline constexpr const char* kCaption = "Установка - Кворвель";
inline constexpr const char* kSidePicture = "SIDEPICTURE";
inline constexpr const char* kHeaderPicture = "HEADERPICTURE";

// What differs between the pages' windows.
struct WindowFields {
    const char* name = nullptr;
    COLORREF colour = kColourButtonFace;
    bool maximizeBox = false;
    bool centreOnMainForm = false;
};

constexpr FormLayout Window(const WindowFields& window) {
    return {.name = window.name,
            .caption = kCaption,
            .bounds = {0, 0, kPageClientWidth, kPageClientHeight},
            .colour = window.colour,
            .maximizeBox = window.maximizeBox,
            .centreOnMainForm = window.centreOnMainForm};
}

// A shared part's place among its parent's tab stops, and its flags (only
// Next takes any).
struct Slot {
    int tabOrder = -1;
    unsigned flags = kNoFlags;
};

// The button bar: where the page puts it, its place among the page's tab
// stops and, for NavigationBar only, the flags of its Next.
struct ButtonBarFields {
    Bounds bounds;
    int tabOrder = -1;
    unsigned nextFlags = kNoFlags;
};

constexpr ControlLayout ButtonBar(const ButtonBarFields& bar) {
    return {.kind = ControlKind::Panel, .name = "Panel1", .bounds = bar.bounds, .tabOrder = bar.tabOrder};
}
constexpr ControlLayout NextButton(const Slot& slot) {
    return {.kind = ControlKind::Button, .name = "Next", .parent = "Panel1", .bounds = {324, 11, 75, 25},
            .text = "Далее >", .tabOrder = slot.tabOrder, .modalResult = ModalResult::Next, .flags = slot.flags};
}
constexpr ControlLayout CancelButton(const Slot& slot) {
    return {.kind = ControlKind::Button, .name = "Cancel", .parent = "Panel1", .bounds = {420, 11, 75, 25},
            .text = "Отмена", .tabOrder = slot.tabOrder, .modalResult = ModalResult::Cancel};
}
constexpr ControlLayout BackButton(const Slot& slot) {
    return {.kind = ControlKind::Button, .name = "Back", .parent = "Panel1", .bounds = {246, 11, 75, 25},
            .text = "< Назад", .tabOrder = slot.tabOrder, .modalResult = ModalResult::Back};
}
// The bar with Next, Cancel and Back, in that order.
constexpr std::array<ControlLayout, 4> NavigationBar(const ButtonBarFields& bar) {
    return {ButtonBar(bar), NextButton({.tabOrder = 0, .flags = bar.nextFlags}), CancelButton({.tabOrder = 1}),
            BackButton({.tabOrder = 2})};
}

// White header band with the picture, the page title and a hint under it.
struct HeaderFields {
    int tabOrder = -1;  // the band's, among the page's tab stops
    const char* title = "";
    int titleWidth = 177;
    const char* hint = "";
    int hintHeight = 25;
};

constexpr ControlLayout HeaderBand(const HeaderFields& header) {
    return {.kind = ControlKind::Panel, .name = "Panel2", .bounds = {-10, 0, 517, 59}, .tabOrder = header.tabOrder,
            .flags = kWhite};
}
constexpr ControlLayout HeaderPicture() {
    return {.kind = ControlKind::Picture, .name = "Image1", .parent = "Panel2", .bounds = {450, 1, 55, 55},
            .picture = kHeaderPicture};
}
constexpr ControlLayout HeaderTitle(const HeaderFields& header) {
    return {.kind = ControlKind::StaticText, .name = "StaticText1", .parent = "Panel2",
            .bounds = {34, 4, header.titleWidth, 17}, .text = header.title, .tabOrder = 0, .flags = kBold};
}
constexpr ControlLayout HeaderHint(const HeaderFields& header) {
    return {.kind = ControlKind::StaticText, .name = "StaticText2", .parent = "Panel2",
            .bounds = {50, 24, 393, header.hintHeight}, .text = header.hint, .tabOrder = 1};
}
// The band, its picture, the title and the hint, in that order.
constexpr std::array<ControlLayout, 4> Header(const HeaderFields& header) {
    return {HeaderBand(header), HeaderPicture(), HeaderTitle(header), HeaderHint(header)};
}

// Picture strip layout: the side picture and the large centred title.
constexpr ControlLayout SidePicture() {
    return {.kind = ControlKind::Picture, .name = "Image1", .bounds = {0, 0, 161, 356}, .flags = kAlignLeft,
            .picture = kSidePicture};
}

struct StripTitleFields {
    const char* text = "";
    int tabOrder = -1;
};
constexpr ControlLayout StripTitle(const StripTitleFields& title) {
    return {.kind = ControlKind::StaticText, .name = "StaticText1", .bounds = {168, 8, 318, 49}, .text = title.text,
            .tabOrder = title.tabOrder, .flags = kCentred,
            .font = {.face = "Arial", .height = -21, .charset = RUSSIAN_CHARSET}};
}

// A static text of the page itself, positioned and wrapped within its bounds.
struct TextFields {
    const char* name = nullptr;
    Bounds bounds;
    const char* text = "";
    int tabOrder = -1;
};
constexpr ControlLayout Text(const TextFields& row) {
    return {.kind = ControlKind::StaticText, .name = row.name, .bounds = row.bounds, .text = row.text,
            .tabOrder = row.tabOrder};
}

// A page's table put together from runs of rows, in their order: shared
// runs (Header, NavigationBar) and the page's own
// (std::to_array<ControlLayout>({...})).
template <std::size_t... N>
constexpr std::array<ControlLayout, (N + ...)> Rows(const std::array<ControlLayout, N>&... runs) {
    std::array<ControlLayout, (N + ...)> rows{};
    auto next = rows.begin();
    ((next = std::copy(runs.begin(), runs.end(), next)), ...);
    return rows;
}

}  // namespace qv::page
