// The real setup program at the display scales of today's screens (100 %,
// 150 %, 200 %): every control of every form sits where it sits at 96 DPI
// times the scale, and no static text is cut.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pages/page_layout.h"
#include "tests/e2e/driver/scenario.h"
#include "tests/e2e/driver/system_checks.h"
#include "toolkit/program_text.h"
#include "toolkit/scaling.h"
#include "toolkit/win_handles.h"

namespace e2e {
namespace {

const char* const kForms[] = {"Form1", "Form2", "Form3", "Form4", "Form5", "Form6", "Form7", "Form8"};

// A font of the page tables at `dpi`, in a screen DC: its metrics, and the
// extent of a text wrapped at `width`.
struct MeasuredText {
    TEXTMETRICW metrics{};
    RECT extent{};
};
MeasuredText Measure(const qv::FontStyle& style, int dpi, const std::string& text, LONG width) {
    qv::UniqueFont font(CreateFontW(qv::ScaleFontHeight(style.height, dpi), 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL,
                                    FALSE, FALSE, FALSE, style.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, qv::ToWide(style.face).c_str()));
    const qv::ScreenDc screen;
    qv::SelectedObject selected(screen.get(), font.get());
    MeasuredText measured;
    GetTextMetricsW(screen.get(), &measured.metrics);
    measured.extent = {0, 0, width, 0};
    const std::wstring wide = qv::ToWide(text);
    DrawTextW(screen.get(), wide.c_str(), static_cast<int>(wide.size()), &measured.extent,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return measured;
}

// The font of a static text: the page's, but a picture-strip page's title
// has its own and the header band's title is bold.
qv::FontStyle FontOf(const PlacedControl& control, const std::string& form) {
    if (control.name == "StaticText1" && control.parent == form) return qv::page::StripTitle({}).font;
    qv::FontStyle font = qv::page::Window({}).font;
    font.bold = control.name == "StaticText1" && control.parent == "Panel2";
    return font;
}

// Every control of every form at one scale, by "form/control", and the
// forms' client areas; meanwhile every static text is checked: wrapped in
// its font, it fits its width, and its lines fit its height but for the
// last line's descent (as two hints do at 96 DPI, in 25 pixels for two lines).
void Observe(int dpi, std::map<std::string, PlacedControl>& controls, std::map<std::string, RECT>& clients) {
    DisplayScale scale(dpi);
    ASSERT_TRUE(scale.set());
    Wizard wizard{QV_SETUP_EXE};
    ASSERT_TRUE(wizard.WaitShown("Form2", 15s)) << "no welcome page at " << dpi << " DPI";
    // The texts are measured in the fonts the tables give; the program's
    // page font is the one its list of groups is drawn in.
    EXPECT_EQ(SendMessageW(wizard.Control("Form5", "ListGroup"), LB_GETITEMHEIGHT, 0, 0),
              Measure(qv::page::Window({}).font, dpi, "", 0).metrics.tmHeight) << dpi << " DPI";
    for (const char* form : kForms) {
        clients[form] = wizard.ClientRect(form);
        for (const PlacedControl& control : wizard.Controls(form)) {
            controls[std::string(form) + "/" + control.name] = control;
            if (control.className != "Static") continue;
            const RECT& place = control.place;
            const MeasuredText text = Measure(FontOf(control, form), dpi, control.text, place.right - place.left);
            EXPECT_LE(text.extent.right, place.right - place.left) << form << "/" << control.name << " " << dpi;
            EXPECT_LE(text.extent.bottom - text.metrics.tmDescent, place.bottom - place.top)
                << form << "/" << control.name << " at " << dpi << " DPI";
        }
    }
    ASSERT_NO_FATAL_FAILURE(LeaveByCloseBox(wizard, "Form2"));
}

// An edge at `dpi` of an edge at 96: scaled, but one that lay on its
// parent's client edge (a control aligned to it) stays on that edge.
LONG ExpectedEdge(LONG edge, LONG parentEdge, LONG parentEdgeNow, int dpi) {
    return edge == parentEdge ? parentEdgeNow : Scaled(edge, dpi);
}

TEST(Scaling, EveryControlSitsAtItsPlaceTimesTheScaleAndNoTextIsCut) {
    std::map<std::string, PlacedControl> base;
    std::map<std::string, RECT> baseClients;
    ASSERT_NO_FATAL_FAILURE(Observe(96, base, baseClients));
    for (int dpi : {144, 192}) {
        std::map<std::string, PlacedControl> now;
        std::map<std::string, RECT> clients;
        ASSERT_NO_FATAL_FAILURE(Observe(dpi, now, clients));
        for (const char* form : kForms) {
            if (std::string(form) == "Form1") continue;  // it covers the screen at any scale
            EXPECT_EQ(clients[form].right, Scaled(baseClients[form].right, dpi)) << form;
            EXPECT_EQ(clients[form].bottom, Scaled(baseClients[form].bottom, dpi)) << form;
        }
        EXPECT_EQ(now.size(), base.size());
        for (const auto& [key, was] : base) {
            SCOPED_TRACE(key + " at " + std::to_string(dpi) + " DPI");
            ASSERT_EQ(now.count(key), 1u);
            const RECT& is = now[key].place;
            const RECT& parent = now[key].parentClient;
            EXPECT_NEAR(is.left, Scaled(was.place.left, dpi), 1);
            EXPECT_NEAR(is.top, Scaled(was.place.top, dpi), 1);
            EXPECT_NEAR(is.right, ExpectedEdge(was.place.right, was.parentClient.right, parent.right, dpi), 1);
            if (was.className == "ComboBox") continue;  // a drop-down list's field is as high as its font
            EXPECT_NEAR(is.bottom, ExpectedEdge(was.place.bottom, was.parentClient.bottom, parent.bottom, dpi), 1);
        }
    }
}

}  // namespace
}  // namespace e2e
